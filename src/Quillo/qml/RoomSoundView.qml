// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// One room's sound in place of the controls: bass and treble, loudness, and
// night sound and speech enhancement where its player has them. The
// switches show what the player reports; a click asks the store. Escape or
// Back returns to the controls.
FocusScope {
    id: page

    signal backRequested()

    readonly property RoomSound sound: PlayerStore.roomSound

    implicitWidth: Theme.controlsWidth
    implicitHeight: column.implicitHeight + 2 * Theme.panelPadding

    Component.onCompleted: backButton.forceActiveFocus()
    Keys.onEscapePressed: page.backRequested()

    // "+3", "0", "-2": the level as a sound setting reads.
    function signedLevel(level: int): string {
        return level > 0 ? "+" + level : String(level);
    }

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: Theme.panelPadding
        spacing: Theme.setupSpacing

        Caption {
            Layout.fillWidth: true
            text: page.sound.roomName
            wrapMode: Text.NoWrap
            elide: Text.ElideRight
            font.pixelSize: Theme.fontHeadline
            font.weight: Font.Medium
            color: Theme.text
            Accessible.role: Accessible.Heading
        }

        GridLayout {
            Layout.fillWidth: true
            columns: 3
            columnSpacing: Theme.volumeSpacing

            Caption {
                Layout.fillWidth: false
                //: A room's bass, from -10 to +10.
                text: qsTr("Bass")
                color: Theme.text
            }
            LevelSlider {
                Layout.fillWidth: true
                from: -10
                to: 10
                stepSize: 1
                enabled: !page.sound.isLoading
                level: page.sound.bass
                onPreviewed: level => page.sound.previewBass(level)
                onCommitted: level => page.sound.commitBass(level)
                Accessible.name: qsTr("Bass")
            }
            Caption {
                Layout.fillWidth: false
                Layout.preferredWidth: Theme.roomRowHeight
                horizontalAlignment: Text.AlignRight
                text: page.signedLevel(page.sound.bass)
                Accessible.ignored: true
            }

            Caption {
                Layout.fillWidth: false
                //: A room's treble, from -10 to +10.
                text: qsTr("Treble")
                color: Theme.text
            }
            LevelSlider {
                Layout.fillWidth: true
                from: -10
                to: 10
                stepSize: 1
                enabled: !page.sound.isLoading
                level: page.sound.treble
                onPreviewed: level => page.sound.previewTreble(level)
                onCommitted: level => page.sound.commitTreble(level)
                Accessible.name: qsTr("Treble")
            }
            Caption {
                Layout.fillWidth: false
                Layout.preferredWidth: Theme.roomRowHeight
                horizontalAlignment: Text.AlignRight
                text: page.signedLevel(page.sound.treble)
                Accessible.ignored: true
            }
        }

        SettingSwitch {
            enabled: !page.sound.isLoading
            //: Louder bass and treble at low volume.
            text: qsTr("Loudness")
            on: page.sound.loudness
            onSwitched: wanted => page.sound.setLoudness(wanted)
        }

        SettingSwitch {
            visible: page.sound.hasNightMode
            //: A soundbar's night mode: quiet sounds louder, loud ones softer.
            text: qsTr("Night Sound")
            on: page.sound.nightMode
            onSwitched: wanted => page.sound.setNightMode(wanted)
        }

        SettingSwitch {
            visible: page.sound.hasSpeechEnhancement
            //: A soundbar's dialogue enhancement.
            text: qsTr("Speech Enhancement")
            on: page.sound.speechEnhancement
            onSwitched: wanted => page.sound.setSpeechEnhancement(wanted)
        }

        Divider {}

        RowLayout {
            Layout.fillWidth: true
            spacing: Theme.rowSpacing

            SmallButton {
                id: backButton
                //: Returns from a room's sound settings to the panel's controls.
                text: qsTr("Back")
                onClicked: page.backRequested()
            }

            Item { Layout.fillWidth: true }

            SmallButton {
                //: Bass and treble back to 0, loudness on.
                text: qsTr("Reset")
                ToolTip.visible: hovered
                ToolTip.text: Accessible.description
                Accessible.description: qsTr("Bass and treble to 0, loudness on")
                enabled: !page.sound.isLoading
                onClicked: page.sound.reset()
            }
        }
    }
}
