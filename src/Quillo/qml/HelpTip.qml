import QtQuick
import QtQuick.Controls
import Quillo

// A help text shown while the pointer rests on its parent. Narrowed so long
// texts wrap inside the small panel instead of running past its edge.
ToolTip {
    id: tip

    delay: Theme.helpDelay
    width: Math.min(implicitWidth, 260)
    font.pixelSize: Theme.fontSmall
}
