// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// The footer's line on alarms: the next one to ring, and "Alarms…", which
// opens the Alarms window.
RowLayout {
    spacing: Theme.rowSpacing

    Caption {
        Layout.fillWidth: true
        text: PlayerStore.alarms.nextAlarm
        wrapMode: Text.NoWrap
        elide: Text.ElideRight
    }

    PlainButton {
        text: qsTr("Alarms…")
        symbol: "alarm"
        helpText: qsTr("List, add and change your speakers' alarms")
        onClicked: PlayerStore.alarms.requestWindow()
    }
}
