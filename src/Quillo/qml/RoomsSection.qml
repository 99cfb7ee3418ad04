// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// Every room of the household under a disclosure that remembers whether it
// was open: which rooms play in the selected group, and each one's own
// volume and mute. A household of one room has nothing to show here.
ColumnLayout {
    id: section

    readonly property bool open: PlayerStore.preferences.showsRooms

    visible: PlayerStore.rooms.hasSeveral
    spacing: Theme.rowSpacing

    DisclosureButton {
        text: qsTr("Rooms")
        expanded: section.open
        onClicked: PlayerStore.rooms.setShown(!section.open)
    }

    // Built only while open, so closed rows never reach assistive technology.
    Loader {
        Layout.fillWidth: true
        active: section.open && section.visible
        visible: active
        sourceComponent: RoomRows {}
    }
}
