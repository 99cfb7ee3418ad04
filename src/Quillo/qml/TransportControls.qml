// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Previous, play/pause and next, centred.
RowLayout {
    spacing: Theme.transportSpacing
    enabled: PlayerStore.household.hasSelectedGroup

    Item { Layout.fillWidth: true }

    PlainButton {
        text: qsTr("Previous")
        display: AbstractButton.IconOnly
        symbol: "backward.fill"
        font.pixelSize: Theme.fontTransport
        foreground: Theme.text
        enabled: PlayerStore.transportAbilities.canPrevious
        onClicked: PlayerStore.nowPlaying.previous()
    }

    PlainButton {
        // A fixed width keeps the row still when the icon switches.
        Layout.preferredWidth: Theme.playPauseWidth + leftPadding + rightPadding
        text: PlayerStore.nowPlaying.isPlaying ? qsTr("Pause") : qsTr("Play")
        display: AbstractButton.IconOnly
        symbol: PlayerStore.nowPlaying.isPlaying ? "pause.fill" : "play.fill"
        font.pixelSize: Theme.fontPlayPause
        foreground: Theme.text
        enabled: PlayerStore.nowPlaying.isPlaying ? PlayerStore.transportAbilities.canPause
            : PlayerStore.transportAbilities.canPlay
        onClicked: PlayerStore.nowPlaying.togglePlayPause()
    }

    PlainButton {
        text: qsTr("Next")
        display: AbstractButton.IconOnly
        symbol: "forward.fill"
        font.pixelSize: Theme.fontTransport
        foreground: Theme.text
        enabled: PlayerStore.transportAbilities.canNext
        onClicked: PlayerStore.nowPlaying.next()
    }

    Item { Layout.fillWidth: true }
}
