// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// A help text shown while the pointer rests on its parent. Narrowed so long
// texts wrap inside the small panel instead of running past its edge.
ToolTip {
    delay: Theme.helpDelay
    width: Math.min(implicitWidth, Theme.helpTipWidth)
    font.pixelSize: Theme.fontSmall
}
