// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import Quillo

// A standard push button in the small control size.
ActionButton {
    id: control

    font.pixelSize: Theme.fontSmall
    topPadding: 3
    bottomPadding: 3
    leftPadding: 10
    rightPadding: 10
    implicitHeight: Math.max(implicitContentHeight + topPadding + bottomPadding, Theme.smallButtonHeight)
    implicitWidth: implicitContentWidth + leftPadding + rightPadding
}
