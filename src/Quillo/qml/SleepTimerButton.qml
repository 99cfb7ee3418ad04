// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// The selected group's sleep timer: a moon, with the time left beside it
// while one runs; a click offers the lengths and, while one runs, turning it
// off.
PlainButton {
    id: button

    readonly property SleepTimer timer: PlayerStore.sleepTimer

    enabled: PlayerStore.household.hasSelectedGroup
    text: timer.isRunning ? timer.label : qsTr("Sleep Timer")
    display: timer.isRunning ? AbstractButton.TextBesideIcon : AbstractButton.IconOnly
    symbol: "moon.fill"
    font.pixelSize: Theme.fontSmall
    helpText: timer.isRunning ? timer.accessibleDescription : qsTr("Sleep Timer")
    onClicked: menu.open()

    Accessible.name: qsTr("Sleep Timer")
    Accessible.description: timer.isRunning ? timer.accessibleDescription : ""

    Menu {
        id: menu
        y: button.height

        MenuItem {
            text: qsTr("15 minutes")
            onTriggered: button.timer.start(15)
        }
        MenuItem {
            text: qsTr("30 minutes")
            onTriggered: button.timer.start(30)
        }
        MenuItem {
            text: qsTr("45 minutes")
            onTriggered: button.timer.start(45)
        }
        MenuItem {
            text: qsTr("1 hour")
            onTriggered: button.timer.start(60)
        }
        MenuItem {
            text: qsTr("2 hours")
            onTriggered: button.timer.start(120)
        }
        MenuItem {
            // Only while a timer runs; a hidden item keeps no room.
            visible: button.timer.isRunning
            height: visible ? implicitHeight : 0
            text: qsTr("Turn Off Sleep Timer")
            onTriggered: button.timer.turnOff()
        }
    }
}
