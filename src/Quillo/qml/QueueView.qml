// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Up Next: the selected group's queue under what plays, while the Up Next
// button shows it. Rows are made only where the list shows, and only their
// entries are read, so a long queue opens as fast as a short one; it opens
// at the entry that plays. Return or a click plays an entry, Delete removes
// it, Alt+Up and Alt+Down move it (as does its context menu). Clearing asks
// once; saving asks for a title.
ColumnLayout {
    id: upNext

    readonly property Queue queue: PlayerStore.queue
    // The inline question or title field in place of the buttons.
    property bool confirmsClear: false
    property bool namesPlaylist: false
    property bool showsSaved: false

    visible: queue.shown
    spacing: Theme.rowSpacing
    onVisibleChanged: {
        confirmsClear = false;
        namesPlaylist = false;
        showsSaved = false;
    }

    // A question answered or put away: the keyboard goes back to the list.
    function endQuestion() {
        confirmsClear = false;
        namesPlaylist = false;
        if (list.visible)
            list.forceActiveFocus();
    }

    RowLayout {
        Layout.fillWidth: true
        visible: !upNext.confirmsClear && !upNext.namesPlaylist
        spacing: Theme.rowSpacing

        Caption {
            Layout.fillWidth: true
            // The heading stays whole; the buttons' texts are kept short.
            Layout.minimumWidth: implicitWidth
            text: qsTr("Up Next")
            font.pixelSize: Theme.fontBody
            font.weight: Font.Medium
            color: Theme.text
            wrapMode: Text.NoWrap
            elide: Text.ElideRight
        }

        SmallButton {
            text: qsTr("Save as Playlist…")
            enabled: upNext.queue.count > 0
            onClicked: {
                upNext.namesPlaylist = true;
                title.clear();
                title.forceActiveFocus();
            }
        }

        SmallButton {
            text: qsTr("Clear Queue")
            enabled: upNext.queue.count > 0 && !upNext.queue.busy
            onClicked: {
                upNext.confirmsClear = true;
                cancelClear.forceActiveFocus();
            }
        }
    }

    RowLayout {
        Layout.fillWidth: true
        visible: upNext.confirmsClear
        spacing: Theme.rowSpacing

        Caption {
            Layout.fillWidth: true
            text: qsTr("Remove every entry from the queue?")
        }

        SmallButton {
            text: qsTr("Clear")
            enabled: !upNext.queue.busy
            Keys.onEscapePressed: upNext.endQuestion()
            onClicked: {
                upNext.queue.clear();
                upNext.endQuestion();
            }
        }

        SmallButton {
            id: cancelClear
            text: qsTr("Cancel")
            Keys.onEscapePressed: upNext.endQuestion()
            onClicked: upNext.endQuestion()
        }
    }

    RowLayout {
        Layout.fillWidth: true
        visible: upNext.namesPlaylist
        spacing: Theme.rowSpacing

        TextField {
            id: title
            Layout.fillWidth: true
            font.pixelSize: Theme.fontSmall
            placeholderText: qsTr("Playlist title")
            Accessible.name: qsTr("Playlist title")
            Accessible.ignored: !visible
            Keys.onEscapePressed: upNext.endQuestion()
            onAccepted: save.press()
        }

        SmallButton {
            id: save
            text: qsTr("Save")
            enabled: title.text.trim() !== ""
            Keys.onEscapePressed: upNext.endQuestion()
            onClicked: {
                upNext.queue.saveAs(title.text);
                upNext.showsSaved = true;
                upNext.endQuestion();
            }
        }

        SmallButton {
            text: qsTr("Cancel")
            Keys.onEscapePressed: upNext.endQuestion()
            onClicked: upNext.endQuestion()
        }
    }

    ListMessage {
        visible: upNext.showsSaved && upNext.queue.savedText !== ""
        text: upNext.queue.savedText
    }

    ListMessage {
        visible: upNext.queue.isLoading || upNext.queue.count === 0
        text: upNext.queue.isLoading ? qsTr("Loading…") : upNext.queue.readFailed ? qsTr("The queue could not be read")
                                                                                  : qsTr("The queue is empty")
    }

    ListView {
        id: list

        readonly property bool scrolls: contentHeight > height + 0.5
        // The playing entry, to be shown once the list has its height.
        property int pendingIndex: -1

        // The rows in view, and a few on either side, are read; not before
        // the list stands at the playing entry.
        function askForRowsInView() {
            if (pendingIndex >= 0 || count === 0 || height <= 0)
                return;
            const first = indexAt(0, contentY);
            const last = indexAt(0, contentY + height - 1);
            upNext.queue.entries.want((first < 0 ? 0 : first) - Theme.queueRowsReadAhead,
                (last < 0 ? count - 1 : last) + Theme.queueRowsReadAhead);
        }

        function showPending() {
            if (pendingIndex < 0 || height <= 0)
                return;
            // Centred first: the current row, already in view, is not
            // followed to the list's edge. A number past the end (an old
            // track number) is dropped, and the rows in view read.
            if (pendingIndex < count) {
                positionViewAtIndex(pendingIndex, ListView.Center);
                currentIndex = pendingIndex;
            }
            pendingIndex = -1;
            askSoon.restart();
        }

        Layout.fillWidth: true
        Layout.preferredHeight: Math.min(count, Theme.queueVisibleRows) * Theme.queueRowHeight
        visible: count > 0
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: upNext.queue.entries
        activeFocusOnTab: true
        keyNavigationEnabled: true
        highlightMoveDuration: 0
        // A row or two made beyond the view, within the rows read ahead.
        cacheBuffer: Theme.queueRowHeight * 2

        ScrollBar.vertical: ScrollBar {
            id: scrollBar
            policy: list.scrolls ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        }

        delegate: QueueRow {
            // Rows stop short of the scroll bar rather than run under it.
            width: list.width - (list.scrolls ? scrollBar.width : 0)
            count: list.count
            numberWidth: Math.max(Theme.trackNumberWidth, Math.ceil(digits.advanceWidth))
            focusPolicy: Qt.NoFocus
            highlighted: ListView.isCurrentItem && list.activeFocus
            editable: !upNext.queue.busy
            onClicked: upNext.queue.playAt(index)
            onRemoveRequested: upNext.queue.remove(index)
            onMoveRequested: to => list.move(index, to)
        }

        // The current row goes with its entry, when the move went out.
        function move(from: int, to: int) {
            if (upNext.queue.move(from, to))
                currentIndex = to;
        }

        onHeightChanged: {
            showPending();
            askSoon.restart();
        }
        onContentYChanged: askSoon.restart()
        onCountChanged: askSoon.restart()

        TextMetrics {
            id: digits
            font.pixelSize: Theme.fontCaption
            text: String(list.count)
        }

        // Several changes in one go (a scroll step, a read) ask once; a
        // scroll or a drag of the scroll bar asks once it pauses.
        Timer {
            id: askSoon
            interval: list.moving || scrollBar.pressed ? Theme.queueScrollAskDelay : 0
            onTriggered: list.askForRowsInView()
        }

        Keys.onReturnPressed: upNext.queue.playAt(currentIndex)
        Keys.onEnterPressed: upNext.queue.playAt(currentIndex)
        Keys.onDeletePressed: upNext.queue.remove(currentIndex)
        Keys.onUpPressed: event => {
            event.accepted = (event.modifiers & Qt.AltModifier) !== 0;
            if (event.accepted)
                move(currentIndex, currentIndex - 1);
        }
        Keys.onDownPressed: event => {
            event.accepted = (event.modifiers & Qt.AltModifier) !== 0;
            if (event.accepted)
                move(currentIndex, currentIndex + 1);
        }

        Accessible.role: Accessible.List
        Accessible.name: qsTr("Up Next")
        Accessible.ignored: !visible
    }

    // A fresh read opens at the entry that plays.
    Connections {
        target: upNext.queue
        function onOpened() {
            list.pendingIndex = upNext.queue.currentIndex;
            list.showPending();
        }
    }
}
