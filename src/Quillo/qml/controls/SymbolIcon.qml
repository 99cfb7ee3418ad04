// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls.impl
import Quillo

// A monochrome symbol from the bundled icon set, tinted to `color`. The box
// is `size` square; symbols wider than tall fit inside it.
Item {
    id: icon

    property string symbol
    property int size: Theme.fontBody
    property color color: Theme.secondary

    implicitWidth: size
    implicitHeight: size
    Accessible.ignored: true

    IconImage {
        anchors.fill: parent
        source: Theme.symbolSource(icon.symbol)
        color: icon.color
        sourceSize.width: icon.size
        sourceSize.height: icon.size
        fillMode: Image.PreserveAspectFit
    }
}
