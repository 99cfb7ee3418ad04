// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Art, title, artist and progress of what the chosen group plays.
RowLayout {
    id: nowPlaying

    readonly property var playback: PlayerStore.nowPlaying.playback

    spacing: Theme.nowPlayingSpacing
    Layout.preferredHeight: Theme.artworkSize
    Layout.minimumHeight: Theme.artworkSize
    Layout.maximumHeight: Theme.artworkSize

    Artwork {
        source: nowPlaying.playback.albumArtURI
        symbol: nowPlaying.playback.inputKind === "tv" ? "tv"
            : nowPlaying.playback.inputKind === "lineIn" ? "cable.connector"
            : "music.note"
        Layout.preferredWidth: Theme.artworkSize
        Layout.preferredHeight: Theme.artworkSize
    }

    ColumnLayout {
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignVCenter
        spacing: 2

        Caption {
            text: nowPlaying.playback.hasTitle ? nowPlaying.playback.title
                : PlayerStore.household.isSearching ? qsTr("Looking for speakers…")
                : qsTr("Nothing playing")
            font.pixelSize: Theme.fontHeadline
            font.weight: Font.Medium
            color: Theme.text
            wrapMode: Text.NoWrap
            elide: Text.ElideRight
            maximumLineCount: 1
        }

        Caption {
            text: nowPlaying.playback.artist
            font.pixelSize: Theme.fontSmall
            wrapMode: Text.NoWrap
            elide: Text.ElideRight
            maximumLineCount: 1
        }

        ProgressBar {
            Layout.fillWidth: true
            Layout.topMargin: 2
            Layout.preferredHeight: Theme.progressHeight
            visible: nowPlaying.playback.hasProgress
            from: 0
            to: Math.max(nowPlaying.playback.durationSeconds, 1)
            value: nowPlaying.playback.positionSeconds
            Accessible.name: nowPlaying.playback.progressText
            Accessible.ignored: !visible
        }
    }
}
