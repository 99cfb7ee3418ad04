import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// The icon and the chooser of the group the panel controls.
RowLayout {
    id: picker

    SymbolIcon {
        symbol: "hifispeaker.2"
        size: Theme.fontHeadline
        color: Theme.secondary
    }

    ComboBox {
        id: groupBox
        Layout.fillWidth: true
        model: PlayerStore.groups
        textRole: "displayName"
        valueRole: "id"
        currentIndex: PlayerStore.selectedGroupIndex
        enabled: PlayerStore.groupCount > 0
        font.pixelSize: Theme.fontBody

        // The store decides which group is chosen; the binding is put back
        // after each pick so an unknown id leaves the shown entry unchanged.
        onActivated: {
            PlayerStore.selectGroupWithID(currentValue);
            currentIndex = Qt.binding(() => PlayerStore.selectedGroupIndex);
        }

        Accessible.name: "Group"
        Accessible.ignored: !visible
    }
}
