import QtQuick
import QtQuick.Controls
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

    component Tip: RowLayout {
        id: tip

        property string iconName
        property string title
        property string body

        Layout.fillWidth: true
        Layout.bottomMargin: 14
        spacing: 10

        Item {
            Layout.alignment: Qt.AlignTop
            implicitWidth: 18
            implicitHeight: 16

            SymbolIcon {
                anchors.centerIn: parent
                symbol: tip.iconName
                size: Theme.fontBody
                color: Theme.accent
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignTop
            spacing: 2

            Text {
                Layout.fillWidth: true
                text: tip.title
                font.pixelSize: Theme.fontBody
                font.weight: Font.Medium
                color: Theme.text
                wrapMode: Text.Wrap
                Accessible.role: Accessible.Heading
                Accessible.name: text
                Accessible.ignored: !visible
            }

            Text {
                Layout.fillWidth: true
                text: tip.body
                font.pixelSize: Theme.fontSmall
                color: Theme.secondary
                wrapMode: Text.Wrap
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.ignored: !visible
            }
        }
    }

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

                Text {
                    text: "Quillo is ready"
                    font.pixelSize: Theme.fontTitle
                    font.weight: Font.DemiBold
                    color: Theme.text
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                    Accessible.ignored: !visible
                }

                Text {
                    text: "A few things worth knowing"
                    font.pixelSize: Theme.fontBody
                    color: Theme.secondary
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    Accessible.ignored: !visible
                }
            }
        }

        Tip {
            iconName: "star"
            title: "Quillo plays what you've saved in Sonos"
            body: "It shows your Sonos Favorites and Sonos Playlists — it doesn't search Spotify or Apple Music. To reach an album or playlist from here, save it as a Favorite in the Sonos app first, and it appears the next time you open this menu."
        }

        Tip {
            iconName: "list.bullet"
            title: "Sonos Playlists show their tracks instantly"
            body: "Streaming services don't hand their track lists to the speakers, so for a Spotify or Apple Music playlist Quillo offers Show tracks — that loads it into the speaker's queue, replacing what was queued there. Playlists you save as Sonos Playlists skip that entirely."
        }

        Tip {
            iconName: "exclamationmark.triangle"
            title: "Greyed-out items need re-authorizing"
            body: "A favorite pointing at a music service you've unlinked can't play. Quillo greys it rather than failing silently. Re-link that service in the Sonos app, or delete the favorite."
        }

        Tip {
            iconName: "menubar.arrow.up.rectangle"
            title: "Can't find the icon?"
            // Where the icon hides depends on the desktop's tray, not on Quillo.
            body: "Some desktops keep tray icons out of sight: on GNOME, add the AppIndicator extension; on KDE Plasma and most others, look among the tray's hidden icons. Without any tray, Quillo opens as a window instead."
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 6
            spacing: 4

            Text {
                Layout.alignment: Qt.AlignBaseline
                text: "Something broken?"
                font.pixelSize: Theme.fontSmall
                color: Theme.secondary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.ignored: !visible
            }

            LinkButton {
                Layout.alignment: Qt.AlignBaseline
                text: "Report it"
                onClicked: Qt.openUrlExternally(Support.reportURL)
            }

            Text {
                Layout.alignment: Qt.AlignBaseline
                text: "or read the"
                font.pixelSize: Theme.fontSmall
                color: Theme.secondary
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.ignored: !visible
            }

            LinkButton {
                Layout.alignment: Qt.AlignBaseline
                text: "help page"
                onClicked: Qt.openUrlExternally(Support.pageURL)
            }

            Item { Layout.fillWidth: true }

            Button {
                id: gotIt
                Layout.alignment: Qt.AlignBaseline
                text: "Got It"
                highlighted: true
                focus: true
                onClicked: welcome.dismissed()
                Accessible.name: text
                Accessible.ignored: !visible
                Accessible.onPressAction: gotIt.clicked()
            }
        }
    }

    // The default action: Return anywhere in the window means "Got It".
    Shortcut {
        sequences: ["Return", "Enter"]
        onActivated: gotIt.clicked()
    }
}
