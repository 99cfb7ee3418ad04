// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// Stands in for the controls while the user reads why the speakers' live
// updates don't arrive: what that means for the panel, the rule for the
// firewall found on this computer, the report and the help page's section.
// Escape or Back returns to the controls.
FocusScope {
    id: liveUpdates

    signal backRequested()

    readonly property ConnectionCheck check: PlayerStore.liveUpdates.firewallCheck

    implicitWidth: Theme.controlsWidth
    implicitHeight: column.implicitHeight + 2 * Theme.panelPadding

    // The footer's link that led here is gone: the keyboard starts on Back,
    // and Escape goes back rather than closing the panel.
    Component.onCompleted: backButton.forceActiveFocus()
    Keys.onEscapePressed: liveUpdates.backRequested()

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: Theme.panelPadding
        spacing: Theme.setupSpacing

        RowLayout {
            spacing: Theme.rowSpacing
            Layout.fillWidth: true

            SymbolIcon {
                Layout.alignment: Qt.AlignTop
                Layout.topMargin: Theme.headlineSymbolOffset
                symbol: "exclamationmark.triangle"
                size: Theme.fontHeadline
                color: Theme.secondary
            }

            Caption {
                text: qsTr("Live updates blocked")
                font.pixelSize: Theme.fontHeadline
                font.weight: Font.Medium
                color: Theme.text
            }
        }

        Caption {
            font.pixelSize: Theme.fontSmall
            text: qsTr("Your speakers' live updates don't reach this computer; a firewall on it is probably blocking them. Meanwhile Quillo keeps the panel current by asking the speakers every few seconds.")
        }

        Caption {
            visible: liveUpdates.check.isExamining
            text: qsTr("Looking for this computer's firewall…")
        }

        Caption {
            visible: liveUpdates.check.vpnActive
            font.pixelSize: Theme.fontSmall
            text: qsTr("A VPN is active; it may keep your speakers' live updates from reaching this computer.")
        }

        FixLine {
            Layout.fillWidth: true
            visible: liveUpdates.check.hasDiagnosis
            text: liveUpdates.check.fixText
            isCommand: liveUpdates.check.fixIsCommand
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: Theme.rowSpacing

            SmallButton {
                text: qsTr("Troubleshooting…")
                onClicked: Qt.openUrlExternally(HelpLinks.liveUpdatesHelpURL)
            }

            Item { Layout.fillWidth: true }

            PlainButton {
                visible: liveUpdates.check.hasDiagnosis
                text: qsTr("Copy diagnostics")
                helpText: qsTr("Copy a short report of what Quillo checked, for a bug report")
                onClicked: Clipboard.copy(liveUpdates.check.diagnosticsText())
            }
        }

        Divider {}

        SmallButton {
            id: backButton
            //: Returns from the explanation to the panel's controls.
            text: qsTr("Back")
            onClicked: liveUpdates.backRequested()
        }
    }
}
