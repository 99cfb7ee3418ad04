// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// One clickable track or favorite: optional number, title and artist, and a
// warning mark with its reason when the item cannot be played. Dimmed rows
// still answer clicks; the store explains what went wrong.
ActionButton {
    id: row

    property int number: 1
    property string artist
    property bool isUnplayable: false
    property bool showsIndex: false
    // Why the row is dimmed; shown on the warning mark.
    property string helpText
    property string title

    text: title
    hoverEnabled: true
    opacity: isUnplayable ? Theme.dimmedOpacity : 1.0
    leftPadding: Theme.rowHorizontalPadding
    rightPadding: Theme.rowHorizontalPadding
    topPadding: Theme.rowVerticalPadding
    bottomPadding: Theme.rowVerticalPadding
    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding

    contentItem: RowLayout {
        spacing: Theme.rowSpacing

        Text {
            textFormat: Text.PlainText
            visible: row.showsIndex
            Layout.preferredWidth: Theme.trackNumberWidth
            horizontalAlignment: Text.AlignRight
            text: row.number
            font.pixelSize: Theme.fontCaption
            color: Theme.secondary
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 1

            Text {
                textFormat: Text.PlainText
                Layout.fillWidth: true
                text: row.title
                font.pixelSize: Theme.fontBody
                color: Theme.text
                elide: Text.ElideRight
                maximumLineCount: 1
            }

            Text {
                textFormat: Text.PlainText
                Layout.fillWidth: true
                visible: row.artist !== ""
                text: row.artist
                font.pixelSize: Theme.fontCaption
                color: Theme.secondary
                elide: Text.ElideRight
                maximumLineCount: 1
            }
        }

        WarningMark {
            visible: row.isUnplayable
            helpText: row.helpText
        }
    }

    // `highlighted` is set by a list that moves a current row with the
    // arrow keys.
    background: Rectangle {
        radius: Theme.rowRadius
        color: row.hovered || row.visualFocus || row.highlighted ? Theme.hoverFill : "transparent"
    }

    Accessible.description: helpText
}
