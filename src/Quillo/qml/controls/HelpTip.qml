// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import Quillo

// A help text shown while the pointer rests on its parent. Narrowed so long
// texts wrap inside the small panel instead of running past its edge. Plain
// text, as the style's own but for the format: a tip may name an input or
// a track, and a name from the network is never markup.
ToolTip {
    id: tip

    delay: Theme.helpDelay
    width: Math.min(implicitWidth, Theme.helpTipWidth)
    font.pixelSize: Theme.fontSmall

    contentItem: Text {
        textFormat: Text.PlainText
        text: tip.text
        font: tip.font
        wrapMode: Text.Wrap
        color: tip.palette.toolTipText
    }
}
