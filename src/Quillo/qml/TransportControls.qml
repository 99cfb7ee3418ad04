import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Previous, play/pause and next, centred.
RowLayout {
    spacing: 22
    enabled: PlayerStore.selectedGroupIndex >= 0

    Item { Layout.fillWidth: true }

    PlainButton {
        text: "Previous"
        display: AbstractButton.IconOnly
        icon.source: "qrc:/Quillo/icons/backward.fill.svg"
        font.pixelSize: Theme.fontTransport
        foreground: Theme.text
        onClicked: PlayerStore.previous()
    }

    PlainButton {
        // A fixed width keeps the row still when the icon switches.
        Layout.preferredWidth: 26 + leftPadding + rightPadding
        text: PlayerStore.isPlaying ? "Pause" : "Play"
        display: AbstractButton.IconOnly
        icon.source: PlayerStore.isPlaying ? "qrc:/Quillo/icons/pause.fill.svg" : "qrc:/Quillo/icons/play.fill.svg"
        font.pixelSize: Theme.fontPlayPause
        foreground: Theme.text
        onClicked: PlayerStore.togglePlayPause()
    }

    PlainButton {
        text: "Next"
        display: AbstractButton.IconOnly
        icon.source: "qrc:/Quillo/icons/forward.fill.svg"
        font.pixelSize: Theme.fontTransport
        foreground: Theme.text
        onClicked: PlayerStore.next()
    }

    Item { Layout.fillWidth: true }
}
