// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// One tip of the welcome window: a symbol, a title and a paragraph.
RowLayout {
    id: tip

    property string symbol
    property string title
    property string body

    Layout.fillWidth: true
    Layout.bottomMargin: Theme.welcomeTipSpacing
    spacing: Theme.nowPlayingSpacing

    Item {
        Layout.alignment: Qt.AlignTop
        implicitWidth: Theme.welcomeSymbolWidth
        implicitHeight: Theme.fontBody + 4

        SymbolIcon {
            anchors.centerIn: parent
            symbol: tip.symbol
            size: Theme.fontBody
            color: Theme.accent
        }
    }

    ColumnLayout {
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignTop
        spacing: 2

        Caption {
            text: tip.title
            font.pixelSize: Theme.fontBody
            font.weight: Font.Medium
            color: Theme.text
            Accessible.role: Accessible.Heading
        }

        Caption {
            text: tip.body
            font.pixelSize: Theme.fontSmall
        }
    }
}
