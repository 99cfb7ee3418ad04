// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// What sits under the favorites row: a message when there is nothing to
// list, the loading line, the store's explanation with the ways forward it
// offers, or the tracks themselves.
ColumnLayout {
    id: trackList

    readonly property Library library: PlayerStore.library
    readonly property TrackList list: PlayerStore.trackList
    readonly property bool hasFavorites: library.visibleFavorites.count > 0
    readonly property bool showsMessage: hasFavorites && !list.isLoading && list.hasMessage
    readonly property bool showsTracks: hasFavorites && !list.isLoading && !list.hasMessage

    spacing: 0

    ListMessage {
        visible: !trackList.hasFavorites
        text: PlayerStore.household.isSearching ? qsTr("Loading…")
            : trackList.library.favorites.count > 0
                //: %1 is a music service chosen in the provider filter.
                ? qsTr("Nothing from %1").arg(trackList.library.selectedProvider)
            : qsTr("No favorites found")
    }

    ListMessage {
        visible: trackList.hasFavorites && trackList.list.isLoading
        text: qsTr("Loading tracks…")
    }

    // Built only while shown, so hidden rows never reach assistive technology.
    Loader {
        Layout.fillWidth: true
        active: trackList.showsMessage
        visible: active
        sourceComponent: ColumnLayout {
            spacing: 2

            ListMessage {
                text: PlayerStore.trackList.message
            }

            SmallButton {
                visible: PlayerStore.trackList.canLoadFromQueue
                text: qsTr("Show tracks")
                onClicked: PlayerStore.trackList.showTracks()
            }

            TrackRow {
                Layout.fillWidth: true
                visible: PlayerStore.library.selectedItem.isPlayable
                number: 1
                showsIndex: false
                title: PlayerStore.library.selectedItem.title
                artist: PlayerStore.library.selectedItem.artist
                isUnplayable: PlayerStore.library.selectedItemHelpText !== ""
                helpText: PlayerStore.library.selectedItemHelpText
                onClicked: PlayerStore.library.playSelected()
            }
        }
    }

    Loader {
        Layout.fillWidth: true
        active: trackList.showsTracks
        visible: active
        sourceComponent: TrackRows {}
    }
}
