// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// A small play mode toggle beside the transport (shuffle, repeat,
// crossfade): tinted and underlaid while on, so that being on shows in
// shape as well as in colour, and checkable for assistive technology. It
// does not check itself: the store's value, which a refusal puts back,
// decides.
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

    Accessible.checkable: true
    Accessible.checked: on
}
