import QtQuick
import QtQuick.Controls
import Quillo

// A standard push button in the small control size.
Button {
    id: control

    font.pixelSize: Theme.fontSmall
    topPadding: 3
    bottomPadding: 3
    leftPadding: 10
    rightPadding: 10
    implicitHeight: Math.max(implicitContentHeight + topPadding + bottomPadding, 22)
    implicitWidth: implicitContentWidth + leftPadding + rightPadding

    Accessible.name: text
    Accessible.ignored: !visible
    Accessible.onPressAction: control.clicked()
    Keys.onReturnPressed: control.clicked()
    Keys.onEnterPressed: control.clicked()
}
