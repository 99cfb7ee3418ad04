// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Quillo

// The Rooms list: it grows with the household up to a few rows, then
// scrolls. Only the rows in view are made, so a large household opens its
// list quickly; a control reached by Tab is scrolled into view.
Item {
    id: rooms

    implicitHeight: Math.min(rows.contentHeight, Theme.roomRowHeight * Theme.roomsVisibleRows)

    ListView {
        id: rows

        // Found by name by the figures that scroll it.
        objectName: "roomRows"

        readonly property bool scrolls: contentHeight > height + 0.5

        anchors.fill: parent
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        // Every control of a row is a Tab stop of its own; the list takes no
        // keys for itself.
        keyNavigationEnabled: false
        // A row or two beyond the view are made ahead, so Tab always finds
        // the next room, which the view then scrolls to.
        cacheBuffer: Theme.roomRowHeight * Theme.roomsMadeAhead
        model: PlayerStore.rooms.list

        ScrollBar.vertical: ScrollBar {
            id: scrollBar
            policy: rows.scrolls ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        }

        delegate: RoomRow {
            // Rows stop short of the scroll bar rather than run under it.
            width: rows.width - (rows.scrolls ? scrollBar.width : 0)
        }
    }

    // The row holding the control that took the keyboard focus comes into
    // view; a control elsewhere in the panel leaves the list as it is.
    Connections {
        target: rooms.Window.window
        function onActiveFocusItemChanged() {
            let row = rooms.Window.window.activeFocusItem;
            while (row && row.parent !== rows.contentItem)
                row = row.parent;
            if (row)
                rows.positionViewAtIndex((row as RoomRow).index, ListView.Contain);
        }
    }

    Accessible.role: Accessible.List
    Accessible.name: qsTr("Rooms")
    Accessible.ignored: !visible
}
