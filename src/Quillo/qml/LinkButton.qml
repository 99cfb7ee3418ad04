import QtQuick
import QtQuick.Controls
import Quillo

// A button drawn as a text link in the accent colour.
AbstractButton {
    id: control

    padding: 0
    font.pixelSize: Theme.fontSmall

    contentItem: Text {
        text: control.text
        font.pixelSize: control.font.pixelSize
        font.underline: control.hovered || control.visualFocus
        color: control.enabled ? Theme.accent : Theme.disabled
        elide: Text.ElideRight
    }

    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }

    Accessible.role: Accessible.Link
    Accessible.name: text
    Accessible.ignored: !visible
    Accessible.onPressAction: control.clicked()
    Keys.onReturnPressed: control.clicked()
    Keys.onEnterPressed: control.clicked()
}
