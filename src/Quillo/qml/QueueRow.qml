// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// One entry of Up Next: its number, title and artist, a mark on the entry
// that plays, and a small button that removes it. A click plays it; the
// context menu moves or removes it. An entry not read yet shows its number
// alone.
ActionButton {
    id: row

    required property int index
    required property string title
    required property string artist
    required property bool isLoaded
    required property bool isCurrent
    // The rows around it, for moving it.
    property int count
    // False while an edit is on its way: the next waits for its result.
    property bool editable: true
    // Wide enough for the longest number in the list.
    property real numberWidth: Theme.trackNumberWidth

    signal removeRequested
    signal moveRequested(int to)

    text: isLoaded ? title : qsTr("Loading…")
    hoverEnabled: true
    leftPadding: Theme.rowHorizontalPadding
    rightPadding: Theme.rowHorizontalPadding
    topPadding: 0
    bottomPadding: 0
    implicitHeight: Theme.queueRowHeight

    contentItem: RowLayout {
        spacing: Theme.rowSpacing

        Item {
            Layout.preferredWidth: row.numberWidth
            Layout.fillHeight: true

            Text {
                anchors.fill: parent
                visible: !row.isCurrent
                horizontalAlignment: Text.AlignRight
                verticalAlignment: Text.AlignVCenter
                text: row.index + 1
                textFormat: Text.PlainText
                font.pixelSize: Theme.fontCaption
                color: Theme.secondary
            }

            SymbolIcon {
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                visible: row.isCurrent
                symbol: "speaker.wave.3.fill"
                color: Theme.accent
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 1

            Text {
                Layout.fillWidth: true
                text: row.isLoaded ? row.title : "…"
                // Titles come from the network: never markup.
                textFormat: Text.PlainText
                font.pixelSize: Theme.fontBody
                font.weight: row.isCurrent ? Font.Medium : Font.Normal
                color: row.isCurrent ? Theme.accent : Theme.text
                elide: Text.ElideRight
                maximumLineCount: 1
            }

            Text {
                Layout.fillWidth: true
                visible: row.artist !== ""
                text: row.artist
                textFormat: Text.PlainText
                font.pixelSize: Theme.fontCaption
                color: Theme.secondary
                elide: Text.ElideRight
                maximumLineCount: 1
            }
        }

        PlainButton {
            visible: row.isLoaded
            enabled: row.editable
            focusPolicy: Qt.NoFocus
            display: AbstractButton.IconOnly
            symbol: "xmark"
            //: %1 is the title of an entry of Up Next.
            text: qsTr("Remove %1").arg(row.title)
            onClicked: row.removeRequested()
        }
    }

    background: Rectangle {
        radius: Theme.rowRadius
        color: row.hovered || row.visualFocus || row.highlighted ? Theme.hoverFill : "transparent"
    }

    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: menu.popup()
    }

    // Dragged up or down, the row follows the pointer and, let go, the
    // entry moves by the rows it was dragged.
    DragHandler {
        id: drag
        enabled: row.isLoaded && row.editable
        xAxis.enabled: false
        grabPermissions: PointerHandler.CanTakeOverFromAnything
        onActiveChanged: {
            if (active)
                return;
            const rows = Math.round(translation.y / row.height);
            const to = Math.max(0, Math.min(row.count - 1, row.index + rows));
            if (to !== row.index)
                row.moveRequested(to);
        }
    }
    z: drag.active ? 1 : 0
    transform: Translate {
        y: drag.active ? drag.translation.y : 0
    }

    Menu {
        id: menu

        MenuItem {
            text: qsTr("Move Up")
            enabled: row.isLoaded && row.editable && row.index > 0
            onTriggered: row.moveRequested(row.index - 1)
        }
        MenuItem {
            text: qsTr("Move Down")
            enabled: row.isLoaded && row.editable && row.index < row.count - 1
            onTriggered: row.moveRequested(row.index + 1)
        }
        MenuItem {
            text: qsTr("Remove")
            enabled: row.isLoaded && row.editable
            onTriggered: row.removeRequested()
        }
    }

    Accessible.description: isCurrent ? qsTr("Playing") : ""
}
