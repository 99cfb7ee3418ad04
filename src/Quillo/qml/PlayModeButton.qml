// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// A small play mode toggle beside the transport (shuffle, repeat,
// crossfade): tinted and underlaid while on, so that being on shows in
// shape as well as in colour, and a check box to assistive technology.
// Whether it is on is the store's to say (a refusal puts the old value
// back): a click's own toggle is bound back to it at once.
PlainButton {
    id: control

    property bool on

    display: AbstractButton.IconOnly
    font.pixelSize: Theme.fontPlayMode
    foreground: on ? Theme.accent : Theme.secondary
    padding: 4

    background: Rectangle {
        radius: Theme.rowRadius
        color: control.down ? Theme.pressedFill : (control.on ? Theme.hoverFill : "transparent")
        border.width: control.visualFocus ? 2 : 0
        border.color: Theme.accent
    }

    checkable: true
    checked: on
    onToggled: checked = Qt.binding(() => control.on)
}
