import QtQuick
import QtQuick.Layouts
import Quillo

// The one style for informational lines in the list area.
Text {
    Layout.fillWidth: true
    topPadding: 4
    bottomPadding: 4
    font.pixelSize: Theme.fontSmall
    color: Theme.secondary
    wrapMode: Text.Wrap
    horizontalAlignment: Text.AlignLeft
    Accessible.role: Accessible.StaticText
    Accessible.name: text
    Accessible.ignored: !visible
}
