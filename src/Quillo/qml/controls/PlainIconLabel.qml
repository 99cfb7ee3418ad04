// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl

// A button's icon beside its label, laid out as the style's IconLabel lays
// them out, but with the label in plain text: a name from the network (an
// input's) shows as it is, never as markup, which IconLabel would render,
// fetching any image the name points at.
Item {
    id: content

    // What IconLabel takes from its button.
    property int display: AbstractButton.TextBesideIcon
    property real spacing
    property bool mirrored
    property string text
    property font font
    property color color
    property url iconSource
    property int iconWidth
    property int iconHeight

    readonly property bool showsIcon: display !== AbstractButton.TextOnly && glyph.status !== Image.Null
    readonly property bool showsText: display !== AbstractButton.IconOnly && text !== ""
    readonly property real gap: showsIcon && showsText && glyph.implicitWidth > 0 ? spacing : 0
    readonly property real shownIconWidth: showsIcon ? glyph.width : 0
    // Icon and label centred as one, to the fraction of a pixel.
    readonly property real combinedWidth: shownIconWidth + gap + (showsText ? label.width : 0)
    readonly property real contentX: (width - combinedWidth) / 2

    implicitWidth: (showsIcon ? glyph.implicitWidth : 0) + gap + (showsText ? label.implicitWidth : 0)
    implicitHeight: Math.max(showsIcon ? glyph.implicitHeight : 0, showsText ? label.implicitHeight : 0)

    IconImage {
        id: glyph

        visible: content.showsIcon
        x: content.mirrored ? content.contentX + content.combinedWidth - width : content.contentX
        y: (content.height - height) / 2
        width: Math.min(implicitWidth, content.width)
        height: Math.min(implicitHeight, content.height)
        source: content.iconSource
        sourceSize.width: content.iconWidth
        sourceSize.height: content.iconHeight
        color: content.color
    }

    Text {
        id: label

        visible: content.showsText
        x: content.mirrored ? content.contentX : content.contentX + content.combinedWidth - width
        y: (content.height - height) / 2
        width: Math.min(implicitWidth, content.width - content.shownIconWidth - content.gap)
        height: Math.min(implicitHeight, content.height)
        textFormat: Text.PlainText
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        text: content.text
        font: content.font
        color: content.color
    }
}
