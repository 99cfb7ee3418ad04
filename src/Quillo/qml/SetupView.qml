import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Shown while no speakers are known: what is happening, the likely cause,
// and the ways forward (a typed address, automatic discovery, settings,
// another try).
Item {
    id: setup

    // The address field's text is the typed host; the flag is whether the
    // user asked for the field.
    property alias typedHost: hostField.text
    property bool showsManualEntry: false

    readonly property bool hasManualHost: typeof PlayerStore.manualHost === "string" && PlayerStore.manualHost !== ""
    readonly property string headline: PlayerStore.isSearching ? "Looking for speakers…"
        : hasManualHost ? "Couldn't reach that speaker"
        : "No Sonos speakers found"
    readonly property string explanation: hasManualHost
        ? PlayerStore.manualHost + " didn't answer. Check the address, or clear it to go back to automatic discovery."
        : "Most often this is macOS Local Network permission. Quillo needs it to see speakers, and without it discovery returns nothing at all — no error."

    implicitWidth: Theme.setupWidth
    implicitHeight: column.implicitHeight + 2 * Theme.panelPadding

    // Each time the view appears, a stored address is put back for correction.
    readonly property bool shown: Window.window?.visible ?? false
    onShownChanged: {
        if (shown)
            typedHost = hasManualHost ? PlayerStore.manualHost : "";
    }
    Component.onCompleted: typedHost = hasManualHost ? PlayerStore.manualHost : ""

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: Theme.panelPadding
        spacing: 10

        RowLayout {
            spacing: 6
            Layout.fillWidth: true

            SymbolIcon {
                symbol: PlayerStore.isSearching ? "antenna.radiowaves.left.and.right" : "exclamationmark.triangle"
                size: Theme.fontHeadline
                color: Theme.secondary
            }

            Text {
                Layout.fillWidth: true
                text: setup.headline
                font.pixelSize: Theme.fontHeadline
                font.weight: Font.Medium
                color: Theme.text
                wrapMode: Text.Wrap
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.ignored: !visible
            }
        }

        BusyIndicator {
            visible: PlayerStore.isSearching
            running: visible
            implicitWidth: 20
            implicitHeight: 20
            Accessible.name: "Searching"
            Accessible.ignored: !visible
        }

        Text {
            Layout.fillWidth: true
            visible: !PlayerStore.isSearching
            text: setup.explanation
            font.pixelSize: Theme.fontSmall
            color: Theme.secondary
            wrapMode: Text.Wrap
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.ignored: !visible
        }

        SmallButton {
            visible: !PlayerStore.isSearching && !setup.hasManualHost
            text: "Open Local Network Settings…"
            onClicked: Support.openLocalNetworkSettings()
        }

        Text {
            Layout.fillWidth: true
            visible: !PlayerStore.isSearching && !setup.hasManualHost
            text: "Also check the Mac is on the same Wi-Fi as the speakers."
            font.pixelSize: Theme.fontCaption
            color: Theme.secondary
            wrapMode: Text.Wrap
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.ignored: !visible
        }

        Divider {}

        LinkButton {
            visible: !setup.showsManualEntry && !setup.hasManualHost
            text: "Enter a speaker's IP address instead…"
            onClicked: setup.showsManualEntry = true
        }

        Text {
            Layout.fillWidth: true
            visible: setup.showsManualEntry || setup.hasManualHost
            text: "Enter any speaker's IP address. One player describes the whole system."
            font.pixelSize: Theme.fontCaption
            color: Theme.secondary
            wrapMode: Text.Wrap
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.ignored: !visible
        }

        RowLayout {
            Layout.fillWidth: true
            visible: setup.showsManualEntry || setup.hasManualHost
            spacing: 6

            TextField {
                id: hostField
                Layout.fillWidth: true
                placeholderText: "192.168.1.50"
                font.pixelSize: Theme.fontSmall
                selectByMouse: true
                inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
                onAccepted: PlayerStore.retryDiscovery(text)
                Accessible.name: "Speaker address"
                Accessible.ignored: !visible
            }

            SmallButton {
                text: "Connect"
                // Only spaces and tabs count as blank here.
                enabled: hostField.text.replace(/^[ \t]+|[ \t]+$/g, "") !== ""
                onClicked: PlayerStore.retryDiscovery(setup.typedHost)
            }
        }

        Text {
            Layout.fillWidth: true
            visible: setup.showsManualEntry || setup.hasManualHost
            text: "Find it in the Sonos app under Settings → System → About My System."
            font.pixelSize: Theme.fontCaption
            color: Theme.secondary
            wrapMode: Text.Wrap
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Accessible.ignored: !visible
        }

        LinkButton {
            visible: setup.hasManualHost
            text: "Use Automatic Discovery"
            onClicked: {
                setup.typedHost = "";
                PlayerStore.retryDiscovery(null);
            }
        }

        RowLayout {
            Layout.fillWidth: true

            SmallButton {
                text: "Try Again"
                onClicked: PlayerStore.retryDiscovery(PlayerStore.manualHost)
            }

            Item { Layout.fillWidth: true }

            PlainButton {
                Layout.rightMargin: 10
                text: "Help"
                onClicked: Qt.openUrlExternally(Support.pageURL)
            }

            PlainButton {
                text: "Quit"
                onClicked: Qt.quit()
            }
        }
    }
}
