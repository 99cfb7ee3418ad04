// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls

// The base of every button of the panel: Return and Enter press it as Space
// does, assistive technology's Press action reaches it, and a hidden button
// is hidden from assistive technology too.
Button {
    id: control

    Accessible.name: text
    Accessible.ignored: !visible
    Accessible.onPressAction: control.clicked()
    Keys.onReturnPressed: control.clicked()
    Keys.onEnterPressed: control.clicked()
}
