// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import Quillo

// The mark of an item that cannot play, with its reason on hover.
SymbolIcon {
    id: mark

    property string helpText

    symbol: "exclamationmark.triangle"
    size: Theme.fontFootnote
    color: Theme.secondary

    HoverHandler {
        id: markHover
    }

    HelpTip {
        text: mark.helpText
        visible: markHover.hovered && mark.helpText !== ""
    }
}
