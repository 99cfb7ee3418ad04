// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// Which of the households on the network the panel controls; shown only
// when there are several. Lined up with the group chooser below it.
RowLayout {
    visible: PlayerStore.household.choice.hasSeveral

    Item {
        implicitWidth: Theme.fontHeadline
        implicitHeight: Theme.fontHeadline
    }

    Chooser {
        Layout.fillWidth: true
        model: PlayerStore.household.choice.list
        textRole: "label"
        valueRole: "id"
        currentIndex: PlayerStore.household.choice.shownIndex
        font.pixelSize: Theme.fontBody

        // As the group chooser: the store decides which entry is shown.
        onActivated: {
            PlayerStore.household.choice.select(currentValue);
            currentIndex = Qt.binding(() => PlayerStore.household.choice.shownIndex);
        }

        Accessible.name: qsTr("System")
        Accessible.ignored: !visible
    }
}
