import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Art, title, artist and progress of what the chosen group plays.
RowLayout {
    id: nowPlaying

    spacing: 10
    Layout.preferredHeight: Theme.artworkSize
    Layout.minimumHeight: Theme.artworkSize
    Layout.maximumHeight: Theme.artworkSize

    Artwork {
        source: PlayerStore.playback?.albumArtURI ?? ""
        Layout.preferredWidth: Theme.artworkSize
        Layout.preferredHeight: Theme.artworkSize
    }

    ColumnLayout {
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignVCenter
        spacing: 2

        Text {
            Layout.fillWidth: true
            text: PlayerStore.playback?.title ?? (PlayerStore.isSearching ? "Looking for speakers…" : "Nothing playing")
            font.pixelSize: Theme.fontHeadline
            font.weight: Font.Medium
            color: Theme.text
            elide: Text.ElideRight
            maximumLineCount: 1
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.ignored: !visible
        }

        Text {
            Layout.fillWidth: true
            text: PlayerStore.playback?.artist ?? ""
            font.pixelSize: Theme.fontSmall
            color: Theme.secondary
            elide: Text.ElideRight
            maximumLineCount: 1
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.ignored: !visible
        }

        ProgressBar {
            Layout.fillWidth: true
            Layout.topMargin: 2
            Layout.preferredHeight: 6
            visible: PlayerStore.playback?.hasProgress ?? false
            from: 0
            to: PlayerStore.playback?.durationSeconds ?? 1
            value: PlayerStore.playback?.positionSeconds ?? 0
            Accessible.name: PlayerStore.playback?.progressText ?? ""
            Accessible.ignored: !visible
        }
    }
}
