// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// What to do about a cause: a setting in words, or a command line in a
// monospace field the user can select, with a button that copies it.
RowLayout {
    id: fix

    property string text
    property bool isCommand: false

    spacing: Theme.rowSpacing

    TextEdit {
        Layout.fillWidth: true
        text: fix.text
        readOnly: true
        selectByMouse: true
        wrapMode: TextEdit.Wrap
        font: fix.isCommand ? Theme.commandFont : Theme.smallFont
        color: Theme.text
        selectedTextColor: Theme.window
        selectionColor: Theme.accent
        Accessible.role: Accessible.StaticText
        Accessible.name: text
        Accessible.ignored: !visible
    }

    SmallButton {
        visible: fix.isCommand
        //: Copies the command shown beside it.
        text: qsTr("Copy")
        onClicked: Clipboard.copy(fix.text)
    }
}
