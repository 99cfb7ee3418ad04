// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// A button drawn as a text link in the accent colour. It is no
// ActionButton: a Button reports itself as a button to assistive
// technology whatever it is told, and this one is a link.
AbstractButton {
    id: control

    padding: 0
    font.pixelSize: Theme.fontSmall

    contentItem: Text {
        textFormat: Text.PlainText
        text: control.text
        font.pixelSize: control.font.pixelSize
        font.underline: control.hovered || control.visualFocus
        color: control.enabled ? Theme.accent : Theme.disabled
        // Wraps rather than cut a longer language short, when the layout
        // gives it a width.
        wrapMode: Text.Wrap
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    Accessible.role: Accessible.Link
    Accessible.name: text
    Accessible.ignored: !visible
    Accessible.onPressAction: control.clicked()
    Keys.onReturnPressed: control.clicked()
    Keys.onEnterPressed: control.clicked()
}
