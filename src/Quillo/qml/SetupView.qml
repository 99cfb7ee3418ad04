// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Shown while no speakers are known: what is happening, the likely cause,
// and the ways forward (a typed address, automatic discovery, the help
// page's troubleshooting, another try).
Item {
    id: setup

    // The address field's text is the typed host; the flag is whether the
    // user asked for the field.
    property alias typedHost: hostField.text
    property bool showsManualEntry: false

    readonly property bool searching: PlayerStore.household.isSearching
    readonly property bool hasManualHost: PlayerStore.preferences.hasManualHost
    readonly property ConnectionCheck check: PlayerStore.household.connectionCheck
    readonly property bool showsAddress: showsManualEntry || hasManualHost

    implicitWidth: Theme.setupWidth
    implicitHeight: column.implicitHeight + 2 * Theme.panelPadding

    // Each time the view appears, a stored address is put back for correction.
    readonly property bool shown: Window.window?.visible ?? false
    onShownChanged: {
        if (shown)
            typedHost = PlayerStore.preferences.manualHost;
    }
    Component.onCompleted: typedHost = PlayerStore.preferences.manualHost

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: Theme.panelPadding
        spacing: Theme.setupSpacing

        RowLayout {
            spacing: Theme.rowSpacing
            Layout.fillWidth: true

            SymbolIcon {
                // Beside the headline's first line, however many it wraps to.
                Layout.alignment: Qt.AlignTop
                Layout.topMargin: Theme.headlineSymbolOffset
                symbol: setup.searching ? "antenna.radiowaves.left.and.right" : "exclamationmark.triangle"
                size: Theme.fontHeadline
                color: Theme.secondary
            }

            Caption {
                text: setup.searching ? qsTr("Looking for speakers…")
                    : setup.hasManualHost ? qsTr("Couldn't reach that speaker")
                    : qsTr("No Sonos speakers found")
                font.pixelSize: Theme.fontHeadline
                font.weight: Font.Medium
                color: Theme.text
            }
        }

        BusyIndicator {
            visible: setup.searching
            running: visible
            implicitWidth: Theme.busyIndicatorSize
            implicitHeight: Theme.busyIndicatorSize
            Accessible.name: qsTr("Searching")
            Accessible.ignored: !visible
        }

        // The cause the connection check found, where it found one, stands
        // in for the general explanation.
        Caption {
            visible: !setup.searching
            font.pixelSize: Theme.fontSmall
            text: setup.hasManualHost
                ? (setup.check.explainsAddress ? setup.check.causeText
                    //: %1 is the address the user typed.
                    : qsTr("%1 didn't answer. Check the address, or clear it to go back to automatic discovery.").arg(PlayerStore.preferences.manualHost))
                : setup.check.hasCause ? setup.check.causeText
                : qsTr("Quillo searched your network and no speaker answered. Check that this computer is on the same network as your speakers, or enter a speaker's address below.")
        }

        FixLine {
            Layout.fillWidth: true
            visible: !setup.searching && setup.check.hasCause && (!setup.hasManualHost || setup.check.explainsAddress)
            text: setup.check.fixText
            isCommand: setup.check.fixIsCommand
        }

        Repeater {
            model: setup.searching ? [] : setup.check.hints
            delegate: Caption {
                required property string modelData
                text: modelData
                textFormat: Text.PlainText
            }
        }

        SmallButton {
            // A typed address that refuses has a cause worth reading about.
            visible: !setup.searching && (!setup.hasManualHost || setup.check.explainsAddress)
            text: qsTr("Troubleshooting…")
            onClicked: Qt.openUrlExternally(HelpLinks.troubleshootingURL(setup.check.causeName))
        }

        Divider {}

        LinkButton {
            Layout.fillWidth: true
            visible: !setup.showsAddress
            text: qsTr("Enter a speaker's IP address instead…")
            onClicked: setup.showsManualEntry = true
        }

        Caption {
            visible: setup.showsAddress
            text: qsTr("Enter any speaker's IP address. One player describes the whole system.")
        }

        RowLayout {
            Layout.fillWidth: true
            visible: setup.showsAddress
            spacing: Theme.rowSpacing

            TextField {
                id: hostField
                Layout.fillWidth: true
                placeholderText: "192.168.1.50"
                font.pixelSize: Theme.fontSmall
                selectByMouse: true
                inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhNoPredictiveText
                onAccepted: PlayerStore.household.retry(text)
                Accessible.name: qsTr("Speaker address")
                Accessible.ignored: !visible
            }

            SmallButton {
                text: qsTr("Connect")
                // Only spaces and tabs count as blank here.
                enabled: hostField.text.replace(/^[ \t]+|[ \t]+$/g, "") !== ""
                onClicked: PlayerStore.household.retry(setup.typedHost)
            }
        }

        Caption {
            visible: setup.showsAddress
            text: qsTr("Find it in the Sonos app under Settings → System → About My System.")
        }

        LinkButton {
            Layout.fillWidth: true
            visible: setup.hasManualHost
            text: qsTr("Use Automatic Discovery")
            onClicked: {
                setup.typedHost = "";
                PlayerStore.household.retry("");
            }
        }

        RowLayout {
            Layout.fillWidth: true

            SmallButton {
                text: qsTr("Try Again")
                onClicked: PlayerStore.household.retry(PlayerStore.preferences.manualHost)
            }

            Item { Layout.fillWidth: true }

            PlainButton {
                Layout.rightMargin: Theme.footerButtonGap
                text: qsTr("Help")
                onClicked: Qt.openUrlExternally(HelpLinks.pageURL)
            }

            PlainButton {
                text: qsTr("Quit")
                onClicked: Qt.quit()
            }
        }

        PlainButton {
            visible: setup.check.hasDiagnostics
            text: qsTr("Copy diagnostics")
            helpText: qsTr("Copy a short report of what Quillo checked, for a bug report")
            onClicked: Clipboard.copy(setup.check.diagnosticsText())
        }
    }
}
