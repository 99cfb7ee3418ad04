// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// The Rooms list: it grows with the household up to a few rows, then
// scrolls. Every control of every row is a Tab stop of its own, so the rows
// sit in a plain column rather than a list view, which would take Tab for
// itself; a row reached by Tab is scrolled into view.
Flickable {
    id: rooms

    implicitHeight: Math.min(contentHeight, Theme.roomRowHeight * Theme.roomsVisibleRows)
    contentHeight: column.implicitHeight
    clip: true
    boundsBehavior: Flickable.StopAtBounds

    readonly property bool scrolls: contentHeight > height + 0.5

    ScrollBar.vertical: ScrollBar {
        id: scrollBar
        policy: rooms.scrolls ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    }

    Column {
        id: column
        // Rows stop short of the scroll bar rather than run under it.
        width: rooms.width - (rooms.scrolls ? scrollBar.width : 0)

        Repeater {
            model: PlayerStore.rooms.list
            delegate: RoomRow {
                width: column.width
            }
        }
    }

    Connections {
        target: rooms.Window.window
        function onActiveFocusItemChanged() {
            const item = rooms.Window.window.activeFocusItem;
            if (!item || !rooms.scrolls || !column.contains(column.mapFromItem(item, 0, 0)))
                return;
            const top = column.mapFromItem(item, 0, 0).y;
            if (top < rooms.contentY)
                rooms.contentY = top;
            else if (top + item.height > rooms.contentY + rooms.height)
                rooms.contentY = top + item.height - rooms.height;
        }
    }

    Accessible.role: Accessible.List
    Accessible.name: qsTr("Rooms")
    Accessible.ignored: !visible
}
