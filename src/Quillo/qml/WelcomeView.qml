// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// The first-run window's content: four tips on how Quillo behaves, the
// report and help links, and "Got It", which the window treats as its
// default action. The shell closes the window and records that the welcome
// was seen when `dismissed` is emitted.
Item {
    id: welcome

    signal dismissed()

    implicitWidth: Theme.welcomeContentWidth + 2 * Theme.welcomePadding
    implicitHeight: column.implicitHeight + 2 * Theme.welcomePadding

    Rectangle {
        anchors.fill: parent
        color: Theme.window
    }

    ColumnLayout {
        id: column
        x: Theme.welcomePadding
        y: Theme.welcomePadding
        width: Theme.welcomeContentWidth
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.bottomMargin: 16
            spacing: 10

            SymbolIcon {
                symbol: "hifispeaker.2.fill"
                size: Theme.fontWelcomeIcon
                color: Theme.secondary
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 2

                Caption {
                    text: qsTr("Quillo is ready")
                    font.pixelSize: Theme.fontTitle
                    font.weight: Font.DemiBold
                    color: Theme.text
                    Accessible.role: Accessible.Heading
                }

                Caption {
                    text: qsTr("A few things worth knowing")
                    font.pixelSize: Theme.fontBody
                }
            }
        }

        WelcomeTip {
            symbol: "star"
            title: qsTr("Quillo plays what you've saved in Sonos")
            body: qsTr("It shows your Sonos Favorites and Sonos Playlists — it doesn't search Spotify or Apple Music. To reach an album or playlist from here, save it as a Favorite in the Sonos app first, and it appears the next time you open Quillo.")
        }

        WelcomeTip {
            symbol: "list.bullet"
            title: qsTr("Sonos Playlists show their tracks instantly")
            body: qsTr("Streaming services don't hand their track lists to the speakers, so for a Spotify or Apple Music playlist Quillo offers Show tracks — that loads it into the speaker's queue, replacing what was queued there. Playlists you save as Sonos Playlists skip that entirely.")
        }

        WelcomeTip {
            symbol: "exclamationmark.triangle"
            title: qsTr("Greyed-out items need re-authorizing")
            body: qsTr("A favorite pointing at a music service you've unlinked can't play. Quillo greys it rather than failing silently. Re-link that service in the Sonos app, or delete the favorite.")
        }

        WelcomeTip {
            symbol: "menubar.arrow.up.rectangle"
            title: qsTr("Can't find the icon?")
            // Where the icon hides depends on the desktop's tray, not on Quillo.
            body: qsTr("Some desktops keep tray icons out of sight: on GNOME, add the AppIndicator extension; on KDE Plasma and most others, look among the tray's hidden icons. Without any tray, Quillo opens as a window instead.")
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 6
            spacing: 4

            // Wraps where a language needs more room than English does.
            Flow {
                Layout.fillWidth: true
                Layout.preferredWidth: 0
                Layout.alignment: Qt.AlignVCenter
                spacing: 4

                Caption {
                    text: qsTr("Something broken?")
                    font.pixelSize: Theme.fontSmall
                }

                LinkButton {
                    text: qsTr("Report it")
                    onClicked: Qt.openUrlExternally(HelpLinks.reportURL)
                }

                Caption {
                    text: qsTr("or read the")
                    font.pixelSize: Theme.fontSmall
                }

                LinkButton {
                    text: qsTr("help page")
                    onClicked: Qt.openUrlExternally(HelpLinks.pageURL)
                }
            }

            ActionButton {
                id: gotIt
                Layout.alignment: Qt.AlignVCenter
                text: qsTr("Got It")
                highlighted: true
                focus: true
                onClicked: welcome.dismissed()
            }
        }
    }

    // The default action: Return anywhere in the window means "Got It".
    Shortcut {
        sequences: ["Return", "Enter"]
        onActivated: gotIt.clicked()
    }
}
