// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// An on/off setting that shows what the player reports: a click asks for
// the other state through `switched`, and the switch follows `on` again, so
// a refusal leaves it where the player is.
Switch {
    id: control

    required property bool on

    signal switched(bool wanted)

    leftPadding: 0
    topPadding: 2
    bottomPadding: 2
    font.pixelSize: Theme.fontSmall
    checked: on
    onToggled: {
        const wanted = checked;
        checked = Qt.binding(() => control.on);
        control.switched(wanted);
    }

    // The label in the palette's text colour, which the style's own does
    // not follow under a dark palette.
    contentItem: Text {
        textFormat: Text.PlainText
        leftPadding: control.indicator.width + control.spacing
        text: control.text
        font: control.font
        color: control.enabled ? Theme.text : Theme.disabled
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    Accessible.name: text
    Accessible.ignored: !visible
}
