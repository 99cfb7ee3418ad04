import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// One clickable track or favorite: optional number, title and artist, and a
// warning mark with its reason when the item cannot be played. Dimmed rows
// still answer clicks; the store explains what went wrong.
AbstractButton {
    id: row

    // The mark carries its own hover state, so its help shows only over it.
    component WarningMark: SymbolIcon {
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

    property int number: 1
    property string title
    property var artist
    property bool isUnplayable: false
    property bool showsIndex: false
    // Why the row is dimmed; shown on the warning mark.
    property string helpText

    readonly property bool hasArtist: typeof artist === "string" && artist !== ""

    hoverEnabled: true
    opacity: isUnplayable ? 0.5 : 1.0
    leftPadding: 6
    rightPadding: 6
    topPadding: 4
    bottomPadding: 4
    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding

    contentItem: RowLayout {
        spacing: 6

        Text {
            visible: row.showsIndex
            Layout.preferredWidth: 20
            horizontalAlignment: Text.AlignRight
            text: row.number
            font.pixelSize: Theme.fontCaption
            color: Theme.secondary
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 1

            Text {
                Layout.fillWidth: true
                text: row.title
                font.pixelSize: Theme.fontBody
                color: Theme.text
                elide: Text.ElideRight
                maximumLineCount: 1
            }

            Text {
                Layout.fillWidth: true
                visible: row.hasArtist
                text: row.hasArtist ? row.artist : ""
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

    background: Rectangle {
        radius: Theme.rowRadius
        color: row.hovered || row.visualFocus || row.highlighted ? Theme.hoverFill : "transparent"
    }

    // Set by a list that moves a current row with the arrow keys.
    property bool highlighted: false

    Accessible.role: Accessible.Button
    Accessible.name: title
    Accessible.ignored: !visible
    Accessible.description: helpText
    Accessible.onPressAction: row.clicked()
    Keys.onReturnPressed: row.clicked()
    Keys.onEnterPressed: row.clicked()
}
