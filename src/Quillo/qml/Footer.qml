import QtQuick
import QtQuick.Layouts
import Quillo

// The last failure, refresh, tips, help and quit, and the fine print.
ColumnLayout {
    spacing: 6

    Text {
        Layout.fillWidth: true
        visible: PlayerStore.statusMessage !== ""
        text: PlayerStore.statusMessage
        font.pixelSize: Theme.fontCaption
        color: Theme.secondary
        wrapMode: Text.Wrap
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.ignored: !visible
    }

    RowLayout {
        Layout.fillWidth: true

        PlainButton {
            text: PlayerStore.isRefreshingFavorites ? "Refreshing…" : "Refresh"
            icon.source: "qrc:/Quillo/icons/arrow.clockwise.svg"
            helpText: "Re-read favorites, playlists and speakers from the system"
            enabled: !PlayerStore.isRefreshingFavorites
            onClicked: PlayerStore.refreshFavorites()
        }

        Item { Layout.fillWidth: true }

        PlainButton {
            Layout.rightMargin: 10
            text: "Tips"
            onClicked: PlayerStore.requestWelcome()
        }

        PlainButton {
            Layout.rightMargin: 10
            text: "Help"
            helpText: "Open the Quillo help page — installing, known quirks, and how to report a problem"
            onClicked: Qt.openUrlExternally(Support.pageURL)
        }

        PlainButton {
            text: "Quit"
            onClicked: Qt.quit()
        }
    }

    Text {
        Layout.fillWidth: true
        text: "Quillo for Sonos — not affiliated with Sonos, Inc."
        font.pixelSize: Theme.fontFootnote
        color: Theme.tertiary
        wrapMode: Text.Wrap
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.ignored: !visible
    }
}
