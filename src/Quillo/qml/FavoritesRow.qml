// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Provider filter, favorite chooser and the button that plays the choice.
RowLayout {
    spacing: Theme.rowSpacing

    Chooser {
        id: providerBox
        Layout.preferredWidth: Theme.providerChooserWidth
        model: PlayerStore.library.providerChoices
        textRole: "text"
        valueRole: "value"
        currentIndex: PlayerStore.library.selectedProviderIndex
        enabled: PlayerStore.library.favorites.count > 0
        font.pixelSize: Theme.fontSmall

        onActivated: {
            PlayerStore.library.selectProvider(currentValue);
            currentIndex = Qt.binding(() => PlayerStore.library.selectedProviderIndex);
        }

        Accessible.name: qsTr("Provider")
        Accessible.ignored: !visible
    }

    Chooser {
        id: favoriteBox
        Layout.fillWidth: true
        model: PlayerStore.library.visibleFavorites
        textRole: "title"
        valueRole: "id"
        currentIndex: PlayerStore.library.selectedItemIndex
        enabled: PlayerStore.library.visibleFavorites.count > 0
        font.pixelSize: Theme.fontSmall

        onActivated: {
            PlayerStore.library.selectItem(currentValue);
            currentIndex = Qt.binding(() => PlayerStore.library.selectedItemIndex);
        }

        Accessible.name: qsTr("Favorite")
        Accessible.ignored: !visible
    }

    PlainButton {
        text: qsTr("Play this selection")
        helpText: text
        display: AbstractButton.IconOnly
        symbol: "play.circle"
        font.pixelSize: Theme.fontTransport
        foreground: Theme.text
        enabled: PlayerStore.library.selectedItem.isPlayable
        onClicked: PlayerStore.library.playSelected()
    }
}
