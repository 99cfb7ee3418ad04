// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import Quillo

// Shows and hides the selected group's queue under what plays. A station or
// an input plays from no queue: the button is disabled and says why.
PlayModeButton {
    readonly property Queue queue: PlayerStore.queue

    text: qsTr("Up Next")
    symbol: "list.bullet"
    on: queue.shown
    enabled: PlayerStore.household.hasSelectedGroup && queue.available
    helpText: queue.available ? qsTr("Up Next") : queue.unavailableReason
    onClicked: queue.shown = !queue.shown

    Accessible.description: queue.available ? "" : queue.unavailableReason
}
