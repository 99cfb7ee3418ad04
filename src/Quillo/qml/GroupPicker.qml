// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// The icon and the chooser of the group the panel controls.
RowLayout {
    SymbolIcon {
        symbol: "hifispeaker.2"
        size: Theme.fontHeadline
        color: Theme.secondary
    }

    Chooser {
        id: groupBox
        Layout.fillWidth: true
        model: PlayerStore.household.groups
        textRole: "displayName"
        valueRole: "id"
        currentIndex: PlayerStore.household.selectedGroupIndex
        enabled: PlayerStore.household.groups.count > 0
        font.pixelSize: Theme.fontBody

        // The store decides which group is chosen; the binding is put back
        // after each pick so an unknown id leaves the shown entry unchanged.
        onActivated: {
            PlayerStore.household.select(currentValue);
            currentIndex = Qt.binding(() => PlayerStore.household.selectedGroupIndex);
        }

        Accessible.name: qsTr("Group")
        Accessible.ignored: !visible
    }
}
