// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
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

    // The icon and the label as IconLabel lays them out, the label in plain
    // text: an input's name from the network shows as it is, never as
    // markup (IconLabel would render it as rich text).
    contentItem: Item {
        implicitWidth: children[0].implicitWidth
        implicitHeight: children[0].implicitHeight

        Row {
            anchors.centerIn: parent
            spacing: control.spacing
            layoutDirection: control.mirrored ? Qt.RightToLeft : Qt.LeftToRight

            IconImage {
                anchors.verticalCenter: parent.verticalCenter
                visible: control.display !== AbstractButton.TextOnly && status !== Image.Null
                source: control.icon.source
                sourceSize.width: control.icon.width
                sourceSize.height: control.icon.height
                color: control.icon.color
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                visible: control.display !== AbstractButton.IconOnly && control.text !== ""
                textFormat: Text.PlainText
                text: control.text
                font: control.font
                color: control.icon.color
            }
        }
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
