// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import Quillo

// A heading that opens and closes the section under it: a chevron that
// points down when open, and the section's name. Assistive technology hears
// a toggle, pressed while open.
ActionButton {
    id: control

    required property bool expanded

    readonly property int closedRotation: -90

    flat: true
    padding: 2
    font.pixelSize: Theme.fontSmall

    contentItem: Row {
        spacing: Theme.disclosureSpacing

        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            symbol: "chevron.down"
            size: control.font.pixelSize
            rotation: control.expanded ? 0 : control.closedRotation
        }

        Text {
            textFormat: Text.PlainText
            anchors.verticalCenter: parent.verticalCenter
            text: control.text
            font: control.font
            color: control.enabled ? Theme.secondary : Theme.disabled
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

    Accessible.checkable: true
    Accessible.checked: expanded
}
