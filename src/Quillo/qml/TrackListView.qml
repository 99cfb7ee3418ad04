import QtQuick
import QtQuick.Controls
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
        //: %1 is a music service chosen in the provider filter.
        text: PlayerStore.household.isSearching ? qsTr("Loading…")
            : trackList.library.favorites.count > 0 ? qsTr("Nothing from %1").arg(trackList.library.selectedProvider)
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
                text: trackList.list.message
            }

            SmallButton {
                visible: trackList.list.canLoadFromQueue
                text: qsTr("Show tracks")
                onClicked: PlayerStore.showTracks()
            }

            TrackRow {
                Layout.fillWidth: true
                visible: trackList.library.selectedItem.isPlayable
                number: 1
                showsIndex: false
                title: trackList.library.selectedItem.title
                artist: trackList.library.selectedItem.artist
                isUnplayable: trackList.library.selectedItemHelpText !== ""
                helpText: trackList.library.selectedItemHelpText
                onClicked: PlayerStore.playSelectedItem()
            }
        }
    }

    Loader {
        Layout.fillWidth: true
        active: trackList.showsTracks
        visible: active
        sourceComponent: ListView {
            id: tracks

            implicitHeight: Math.min(contentHeight, Theme.trackListMaximumHeight)
            clip: true
            spacing: 0
            boundsBehavior: Flickable.StopAtBounds
            model: trackList.list.tracks
            // Tab reaches the list as one stop; the arrows move through it.
            activeFocusOnTab: true
            keyNavigationEnabled: true
            highlightMoveDuration: 0

            readonly property bool scrolls: contentHeight > height + 0.5
            readonly property real scrollBarWidth: scrolls ? scrollBar.width : 0

            ScrollBar.vertical: ScrollBar {
                id: scrollBar
                policy: tracks.scrolls ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
            }

            delegate: TrackRow {
                required property int index
                required title
                required artist
                required isUnplayable
                required helpText

                // Rows stop short of the scroll bar rather than run under it.
                width: ListView.view.width - ListView.view.scrollBarWidth
                focusPolicy: Qt.NoFocus
                number: index + 1
                showsIndex: ListView.view.count > 1
                highlighted: ListView.isCurrentItem && ListView.view.activeFocus
                onClicked: PlayerStore.playTrackAt(index)
            }

            Keys.onReturnPressed: PlayerStore.playTrackAt(currentIndex)
            Keys.onEnterPressed: PlayerStore.playTrackAt(currentIndex)
            Keys.onSpacePressed: PlayerStore.playTrackAt(currentIndex)

            Accessible.role: Accessible.List
            Accessible.name: qsTr("Tracks")
            Accessible.ignored: !visible
        }
    }
}
