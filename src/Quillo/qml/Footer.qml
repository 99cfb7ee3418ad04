// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// The last failure, refresh, tips, help and quit, and the fine print.
ColumnLayout {
    id: footer

    // The link on blocked live updates asks the panel for its explanation.
    signal liveUpdatesHelpRequested()

    // Back from that explanation, the keyboard returns to the link.
    function focusLiveUpdatesLink(): void {
        liveUpdatesLink.forceActiveFocus();
    }

    spacing: Theme.rowSpacing

    Caption {
        visible: PlayerStore.household.statusMessage !== ""
        text: PlayerStore.household.statusMessage
    }

    // The players' events do not get through: the panel still follows them,
    // more slowly, by asking; the link says what keeps them out.
    LinkButton {
        id: liveUpdatesLink
        visible: PlayerStore.liveUpdates.eventsBlocked
        text: qsTr("Live updates blocked by a firewall")
        font.pixelSize: Theme.fontCaption
        onClicked: footer.liveUpdatesHelpRequested()
    }

    AlarmsLine {
        Layout.fillWidth: true
        visible: PlayerStore.household.hasSelectedGroup
    }

    RowLayout {
        Layout.fillWidth: true

        PlainButton {
            text: PlayerStore.library.isRefreshing ? qsTr("Refreshing…") : qsTr("Refresh")
            symbol: "arrow.clockwise"
            helpText: qsTr("Re-read favorites, playlists and speakers from the system")
            enabled: !PlayerStore.library.isRefreshing
            onClicked: PlayerStore.library.refresh()
        }

        Item { Layout.fillWidth: true }

        PlainButton {
            Layout.rightMargin: Theme.footerButtonGap
            //: Opens the window with tips on using Quillo.
            text: qsTr("Tips")
            onClicked: PlayerStore.requestWelcome()
        }

        PlainButton {
            Layout.rightMargin: Theme.footerButtonGap
            text: qsTr("Help")
            helpText: qsTr("Open the Quillo help page — installing, known quirks, and how to report a problem")
            onClicked: Qt.openUrlExternally(HelpLinks.pageURL)
        }

        PlainButton {
            text: qsTr("Quit")
            onClicked: Qt.quit()
        }
    }

    Caption {
        text: qsTr("Quillo for Sonos — not affiliated with Sonos, Inc.")
        font.pixelSize: Theme.fontFootnote
        color: Theme.tertiary
    }
}
