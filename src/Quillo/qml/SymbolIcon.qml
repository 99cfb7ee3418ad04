import QtQuick
import QtQuick.Controls.impl
import Quillo

// A monochrome symbol from the bundled icon set, tinted to `color`. The box
// is `size` square; symbols wider than tall fit inside it.
IconImage {
    id: icon

    property string name
    property int size: Theme.fontBody

    source: name === "" ? "" : "qrc:/Quillo/icons/" + name + ".svg"
    color: Theme.secondary
    width: size
    height: size
    sourceSize.width: size
    sourceSize.height: size
    fillMode: Image.PreserveAspectFit
    implicitWidth: size
    implicitHeight: size
    Accessible.ignored: true
}
