// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls

// The base of every button of the panel: Return and Enter press it as Space
// does, assistive technology's Press action reaches it (but, as a click,
// never while it is disabled), and a hidden button is hidden from assistive
// technology too.
Button {
    id: control

    Accessible.name: text
    Accessible.ignored: !visible
    Accessible.onPressAction: control.press()
    Keys.onReturnPressed: control.press()
    Keys.onEnterPressed: control.press()

    function press() {
        if (control.enabled)
            control.clicked();
    }
}
