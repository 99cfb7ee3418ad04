// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Quillo

// The Rooms list: it grows with the household up to a few rows, then
// scrolls.
ListView {
    id: rooms

    implicitHeight: Math.min(contentHeight, Theme.roomRowHeight * Theme.roomsVisibleRows)
    clip: true
    spacing: 0
    boundsBehavior: Flickable.StopAtBounds
    model: PlayerStore.rooms.list
    // Every control of every row is a Tab stop of its own.
    activeFocusOnTab: false

    readonly property bool scrolls: contentHeight > height + 0.5
    readonly property real scrollBarWidth: scrolls ? scrollBar.width : 0

    ScrollBar.vertical: ScrollBar {
        id: scrollBar
        policy: rooms.scrolls ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    }

    delegate: RoomRow {
        // Rows stop short of the scroll bar rather than run under it.
        width: rooms.width - rooms.scrollBarWidth
    }

    Accessible.role: Accessible.List
    Accessible.name: qsTr("Rooms")
    Accessible.ignored: !visible
}
