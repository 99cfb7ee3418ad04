// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Quillo

// The track list's rows: one Tab stop, the arrows move through it, Return,
// Enter or Space plays the current row; a scroll bar once it is taller than
// the panel allows.
ListView {
    id: tracks

    implicitHeight: Math.min(contentHeight, Theme.trackListMaximumHeight)
    clip: true
    spacing: 0
    boundsBehavior: Flickable.StopAtBounds
    model: PlayerStore.trackList.tracks
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
        width: tracks.width - tracks.scrollBarWidth
        focusPolicy: Qt.NoFocus
        number: index + 1
        showsIndex: tracks.count > 1
        highlighted: ListView.isCurrentItem && tracks.activeFocus
        onClicked: PlayerStore.trackList.playAt(index)
    }

    Keys.onReturnPressed: PlayerStore.trackList.playAt(currentIndex)
    Keys.onEnterPressed: PlayerStore.trackList.playAt(currentIndex)
    Keys.onSpacePressed: PlayerStore.trackList.playAt(currentIndex)

    Accessible.role: Accessible.List
    Accessible.name: qsTr("Tracks")
    Accessible.ignored: !visible
}
