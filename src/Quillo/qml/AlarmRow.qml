// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// One alarm in the Alarms window: "07:00 · Bedroom · Weekdays · Chime",
// which opens the editor (a click, or Return on the current row), and its
// switch (Space on the current row). One
// the players gave in a form not understood here is shown, never changed.
RowLayout {
    id: row

    required property string alarmID
    required property string summary
    required property string switchName
    required property bool on
    required property bool readable
    // A change is on its way: the next waits for it.
    required property bool busy
    // The list's current row while the list has the keyboard.
    property bool current: false

    signal editRequested()
    signal switched(bool on)

    spacing: Theme.rowSpacing

    ActionButton {
        id: summaryButton

        Layout.fillWidth: true
        // The list is the Tab stop; its arrows choose the row.
        focusPolicy: Qt.NoFocus
        flat: true
        text: row.summary
        font.pixelSize: Theme.fontBody
        leftPadding: Theme.rowHorizontalPadding
        rightPadding: Theme.rowHorizontalPadding
        topPadding: Theme.rowVerticalPadding
        bottomPadding: Theme.rowVerticalPadding
        Accessible.description: row.readable ? qsTr("Opens the alarm's editor") : qsTr("This alarm can't be changed here")
        onClicked: {
            if (row.readable)
                row.editRequested();
        }

        // The room's name and what plays come from the network: plain text.
        contentItem: Text {
            textFormat: Text.PlainText
            text: summaryButton.text
            font: summaryButton.font
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
            color: row.on ? Theme.text : Theme.secondary
        }

        background: Rectangle {
            radius: Theme.rowRadius
            color: summaryButton.down ? Theme.pressedFill : summaryButton.hovered ? Theme.hoverFill : "transparent"
            border.width: row.current ? 2 : 0
            border.color: Theme.accent
        }
    }

    SettingSwitch {
        on: row.on
        enabled: row.readable && !row.busy
        focusPolicy: Qt.NoFocus
        Accessible.name: row.switchName
        onSwitched: wanted => {
            if (enabled)
                row.switched(wanted);
        }
    }
}
