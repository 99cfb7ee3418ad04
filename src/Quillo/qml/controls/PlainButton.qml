// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// A borderless button: icon, text or both, with no bezel until pressed.
// `symbol` names a bundled icon; `helpText`, when set, shows as a tooltip on
// hover and describes the button to assistive technology.
ActionButton {
    id: control

    property color foreground: Theme.secondary
    property string helpText
    property string symbol

    flat: true
    padding: 2
    spacing: 4
    font.pixelSize: Theme.fontSmall
    icon.source: Theme.symbolSource(symbol)
    icon.width: font.pixelSize
    icon.height: font.pixelSize
    icon.color: enabled ? foreground : Theme.disabled

    contentItem: PlainIconLabel {
        display: control.display
        spacing: control.spacing
        mirrored: control.mirrored
        text: control.text
        font: control.font
        color: control.icon.color
        iconSource: control.icon.source
        iconWidth: control.icon.width
        iconHeight: control.icon.height
    }

    background: Rectangle {
        radius: Theme.rowRadius
        color: control.down ? Theme.pressedFill : "transparent"
        border.width: control.visualFocus ? 2 : 0
        border.color: Theme.accent
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    HelpTip {
        text: control.helpText
        visible: control.hovered && control.helpText !== ""
    }

    Accessible.description: helpText
}
