// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// The panel's content: the setup view while no speakers are known, else the
// controls, or the explanation of blocked live updates when the footer's
// link asked for it. Its implicit size is what the panel window takes. It
// tells the store when the panel shows and hides, so playback is polled only
// while someone can see it.
Item {
    id: root

    // One line under the content, set by the window that shows it (the
    // plain window of a desktop without a tray says how to get one).
    property string notice

    implicitWidth: content.implicitWidth
    implicitHeight: content.implicitHeight + (noticeLine.visible ? noticeLine.implicitHeight + Theme.panelPadding : 0)

    Rectangle {
        anchors.fill: parent
        color: Theme.window
    }

    Loader {
        id: content
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        height: implicitHeight
        sourceComponent: PlayerStore.household.groups.count > 0 ? controls : setup
    }

    Caption {
        id: noticeLine
        visible: root.notice !== ""
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: Theme.panelPadding
        anchors.topMargin: 0
        text: root.notice
    }

    Component {
        id: setup
        SetupView {}
    }

    Component {
        id: controls

        Item {
            id: panel

            // Asked for through the footer; it lasts while the panel stays
            // open and the updates stay blocked.
            property bool explainsLiveUpdates: false
            readonly property bool showsLiveUpdates: explainsLiveUpdates && PlayerStore.liveUpdates.eventsBlocked
            readonly property bool showsRoomSound: PlayerStore.roomSound.isOpen
            // The panel opens on the controls again.
            readonly property bool shown: Window.window?.visible ?? false
            onShownChanged: {
                if (!shown)
                    explainsLiveUpdates = false;
            }

            implicitWidth: Theme.controlsWidth
            implicitHeight: showsLiveUpdates ? liveUpdates.implicitHeight
                : showsRoomSound ? roomSound.implicitHeight : column.implicitHeight + 2 * Theme.panelPadding

            // Hidden, not unloaded, under the explanation: the track list
            // keeps its place and nothing is read again on the way back.
            ColumnLayout {
                id: column
                visible: !panel.showsLiveUpdates && !panel.showsRoomSound
                anchors.fill: parent
                anchors.margins: Theme.panelPadding
                spacing: Theme.sectionSpacing

                HouseholdChooser { Layout.fillWidth: true }
                GroupPicker { Layout.fillWidth: true }
                Divider {}
                NowPlayingView { Layout.fillWidth: true }
                TransportControls { Layout.fillWidth: true }
                VolumeRow { Layout.fillWidth: true }
                QueueView { Layout.fillWidth: true }
                RoomsSection { Layout.fillWidth: true }
                Divider {}

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: Theme.rowSpacing
                    FavoritesRow { Layout.fillWidth: true }
                    InputsRow { Layout.fillWidth: true }
                    TrackListView { Layout.fillWidth: true }
                }

                Divider {}
                Footer {
                    id: footer
                    Layout.fillWidth: true
                    onLiveUpdatesHelpRequested: panel.explainsLiveUpdates = true
                }
            }

            Loader {
                id: liveUpdates
                anchors.fill: parent
                active: panel.showsLiveUpdates
                visible: active
                sourceComponent: LiveUpdatesView {}
            }

            Loader {
                id: roomSound
                anchors.fill: parent
                active: panel.showsRoomSound && !panel.showsLiveUpdates
                visible: active
                sourceComponent: RoomSoundView {
                    onBackRequested: PlayerStore.roomSound.close()
                }
            }

            Connections {
                target: liveUpdates.item as LiveUpdatesView
                function onBackRequested() {
                    panel.explainsLiveUpdates = false;
                    footer.focusLiveUpdatesLink();
                }
            }
        }
    }

    // The panel window shows and hides this content as a whole, whichever
    // screen it holds.
    readonly property bool shown: Window.window?.visible ?? false
    onShownChanged: shown ? PlayerStore.menuOpened() : PlayerStore.menuClosed()
    Component.onDestruction: {
        if (shown)
            PlayerStore.menuClosed();
    }
}
