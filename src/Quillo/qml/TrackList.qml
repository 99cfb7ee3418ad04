import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// What sits under the favorites row: a message when there is nothing to
// list, the loading line, the store's explanation with the ways forward it
// offers, or the tracks themselves.
ColumnLayout {
    id: trackList

    readonly property bool hasFavorites: PlayerStore.visibleFavoriteCount > 0
    readonly property bool hasMessage: typeof PlayerStore.tracksMessage === "string"
    readonly property bool showsMessage: hasFavorites && !PlayerStore.isLoadingTracks && hasMessage
    readonly property bool showsTracks: hasFavorites && !PlayerStore.isLoadingTracks && !hasMessage

    spacing: 0

    ListMessage {
        visible: !trackList.hasFavorites
        text: PlayerStore.isSearching ? "Loading…"
            : PlayerStore.favoriteCount > 0 ? "Nothing from " + PlayerStore.selectedProvider
            : "No favorites found"
    }

    ListMessage {
        visible: trackList.hasFavorites && PlayerStore.isLoadingTracks
        text: "Loading tracks…"
    }

    // Built only while shown, so hidden rows never reach assistive technology.
    Loader {
        Layout.fillWidth: true
        active: trackList.showsMessage
        visible: active
        sourceComponent: ColumnLayout {
            spacing: 2

            ListMessage {
                text: PlayerStore.tracksMessage ?? ""
            }

            SmallButton {
                visible: PlayerStore.canLoadTracksFromQueue
                text: "Show tracks"
                onClicked: PlayerStore.showTracks()
            }

            TrackRow {
                Layout.fillWidth: true
                visible: (PlayerStore.selectedItem?.uri ?? "") !== ""
                number: 1
                showsIndex: false
                title: PlayerStore.selectedItem?.title ?? ""
                artist: PlayerStore.selectedItem?.artist
                isUnplayable: PlayerStore.selectedItemHelpText !== ""
                helpText: PlayerStore.selectedItemHelpText
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

            implicitHeight: Math.min(contentHeight, 200)
            clip: true
            spacing: 0
            boundsBehavior: Flickable.StopAtBounds
            model: PlayerStore.tracks
            // Tab reaches the list as one stop; the arrows move through it.
            activeFocusOnTab: true
            keyNavigationEnabled: true
            highlightMoveDuration: 0

            readonly property bool scrolls: contentHeight > height + 0.5

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
                width: ListView.view.width - (tracks.scrolls ? scrollBar.width : 0)
                focusPolicy: Qt.NoFocus
                number: index + 1
                showsIndex: PlayerStore.trackCount > 1
                highlighted: ListView.isCurrentItem && ListView.view.activeFocus
                onClicked: PlayerStore.playTrackAt(index)
            }

            Keys.onReturnPressed: PlayerStore.playTrackAt(currentIndex)
            Keys.onEnterPressed: PlayerStore.playTrackAt(currentIndex)
            Keys.onSpacePressed: PlayerStore.playTrackAt(currentIndex)

            Accessible.role: Accessible.List
            Accessible.name: "Tracks"
            Accessible.ignored: !visible
        }
    }
}
