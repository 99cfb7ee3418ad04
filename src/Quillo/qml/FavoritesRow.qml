import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Provider filter, favorite chooser and the button that plays the choice.
RowLayout {
    spacing: 6

    ComboBox {
        id: providerBox
        Layout.preferredWidth: 122
        model: PlayerStore.availableProviders
        currentIndex: PlayerStore.availableProviders.indexOf(PlayerStore.selectedProvider)
        enabled: PlayerStore.favoriteCount > 0
        font.pixelSize: Theme.fontSmall

        onActivated: {
            PlayerStore.selectedProvider = currentText;
            currentIndex = Qt.binding(() => PlayerStore.availableProviders.indexOf(PlayerStore.selectedProvider));
        }

        Accessible.name: "Provider"
        Accessible.ignored: !visible
    }

    ComboBox {
        id: favoriteBox
        Layout.fillWidth: true
        model: PlayerStore.visibleFavorites
        textRole: "title"
        valueRole: "id"
        currentIndex: PlayerStore.selectedItemIndex
        enabled: PlayerStore.visibleFavoriteCount > 0
        font.pixelSize: Theme.fontSmall

        onActivated: {
            PlayerStore.selectItem(currentValue);
            currentIndex = Qt.binding(() => PlayerStore.selectedItemIndex);
        }

        Accessible.name: "Favorite"
        Accessible.ignored: !visible
    }

    PlainButton {
        text: "Play this selection"
        helpText: "Play this selection"
        display: AbstractButton.IconOnly
        icon.source: "qrc:/Quillo/icons/play.circle.svg"
        font.pixelSize: Theme.fontTransport
        foreground: Theme.text
        enabled: (PlayerStore.selectedItem?.uri ?? "") !== ""
        onClicked: PlayerStore.playSelectedItem()
    }
}
