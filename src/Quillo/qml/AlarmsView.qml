// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// The Alarms window's content: every alarm of the household, earliest
// first, each with its switch; "Add Alarm…"; and the editor in their place
// while it is open. Escape closes the editor, else the window.
FocusScope {
    id: view

    signal closeRequested()

    readonly property Alarms alarms: PlayerStore.alarms

    implicitWidth: Theme.alarmsWidth
    implicitHeight: Theme.alarmsHeight
    focus: true

    Component.onCompleted: addButton.forceActiveFocus()
    Keys.onEscapePressed: {
        if (view.alarms.draft.isOpen)
            view.alarms.cancelEdit();
        else
            view.closeRequested();
    }

    Rectangle {
        anchors.fill: parent
        color: Theme.window
    }

    ColumnLayout {
        id: listPage

        anchors.fill: parent
        anchors.margins: Theme.panelPadding
        visible: !view.alarms.draft.isOpen
        spacing: Theme.rowSpacing

        // Back from the editor, the keyboard is where it was: on the row
        // edited, or on "Add Alarm…".
        onVisibleChanged: {
            if (!visible)
                return;
            if (list.editedRow && list.count > 0)
                list.forceActiveFocus();
            else
                addButton.forceActiveFocus();
        }

        Caption {
            text: qsTr("Alarms")
            font.pixelSize: Theme.fontHeadline
            font.weight: Font.Medium
            color: Theme.text
            Accessible.role: Accessible.Heading
        }

        Caption {
            visible: text !== ""
            text: view.alarms.failureText
        }

        ListMessage {
            visible: view.alarms.list.count === 0
            text: view.alarms.isLoading ? qsTr("Reading the alarms…")
                : view.alarms.readFailed ? qsTr("The alarms couldn't be read from your speakers.")
                : qsTr("No alarms yet.")
        }

        SmallButton {
            visible: view.alarms.readFailed && view.alarms.list.count === 0
            text: qsTr("Try Again")
            onClicked: view.alarms.reload()
        }

        ListView {
            id: list

            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 2
            model: view.alarms.list
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
            // One Tab stop; the arrows move through the rows, and the
            // current one is scrolled into view.
            activeFocusOnTab: true
            keyNavigationEnabled: true
            highlightMoveDuration: 0

            // The editor was opened from a row (not by "Add Alarm…").
            property bool editedRow: false

            function editAt(index: int) {
                const row = list.itemAtIndex(index) as AlarmRow;
                if (!row || !row.readable)
                    return;
                list.currentIndex = index;
                list.editedRow = true;
                view.alarms.edit(row.alarmID);
            }

            function switchCurrent() {
                const row = list.currentItem as AlarmRow;
                if (row && row.readable && !view.alarms.busy)
                    view.alarms.setEnabled(row.alarmID, !row.on);
            }

            delegate: AlarmRow {
                required property int index

                width: ListView.view.width
                busy: view.alarms.busy
                current: ListView.isCurrentItem && list.activeFocus
                onEditRequested: list.editAt(index)
                onSwitched: on => view.alarms.setEnabled(alarmID, on)
            }

            Keys.onReturnPressed: list.editAt(list.currentIndex)
            Keys.onEnterPressed: list.editAt(list.currentIndex)
            Keys.onSpacePressed: list.switchCurrent()

            Accessible.role: Accessible.List
            Accessible.name: qsTr("Alarms")
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: Theme.rowSpacing

            SmallButton {
                id: addButton
                text: qsTr("Add Alarm…")
                enabled: PlayerStore.household.hasSelectedGroup
                onClicked: {
                    list.editedRow = false;
                    view.alarms.add();
                }
            }

            Item { Layout.fillWidth: true }

            SmallButton {
                text: qsTr("Close")
                onClicked: view.closeRequested()
            }
        }

        Caption {
            font.pixelSize: Theme.fontFootnote
            color: Theme.tertiary
            text: qsTr("Your speakers ring by their own clock; the next alarm is worked out on this computer.")
        }
    }

    AlarmEditor {
        anchors.fill: parent
        visible: view.alarms.draft.isOpen
        draft: view.alarms.draft
        busy: view.alarms.busy
        failureText: view.alarms.failureText
        onSaveRequested: view.alarms.save()
        onCancelRequested: view.alarms.cancelEdit()
        onRemoveRequested: view.alarms.remove(view.alarms.draft.alarmID)
    }
}
