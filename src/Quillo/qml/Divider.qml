import QtQuick
import QtQuick.Layouts
import Quillo

Rectangle {
    Layout.fillWidth: true
    implicitHeight: 1
    color: Theme.separator
    Accessible.ignored: true
}
