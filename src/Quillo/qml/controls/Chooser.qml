// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Quillo

// A drop-down list of names from the network (groups, providers,
// favorites). Its entries are drawn as the style draws them, but in plain
// text: a name is shown as it is, never as markup, which the style's own
// entries would render.
ComboBox {
    id: control

    delegate: MenuItem {
        id: entry

        required property var model
        required property int index

        width: ListView.view.width
        // A list of maps (the providers) names its entries through
        // modelData; a list model through its role.
        text: Array.isArray(control.model) ? model.modelData[control.textRole] : model[control.textRole]
        font.weight: control.currentIndex === index ? Font.DemiBold : Font.Normal
        highlighted: control.highlightedIndex === index
        hoverEnabled: control.hoverEnabled

        contentItem: Text {
            textFormat: Text.PlainText
            text: entry.text
            font: entry.font
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
            color: entry.down || entry.highlighted ? entry.palette.highlightedText : entry.palette.text
        }
    }
}
