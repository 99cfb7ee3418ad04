// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// Previous, play/pause and next, centred whatever sits beside them: shuffle,
// repeat and Up Next on the left, crossfade and the sleep timer on the right.
Item {
    id: transport

    readonly property PlayModes modes: PlayerStore.playModes

    enabled: PlayerStore.household.hasSelectedGroup
    implicitHeight: Math.max(centre.implicitHeight, left.implicitHeight, right.implicitHeight)
    implicitWidth: centre.implicitWidth + 2 * Math.max(left.implicitWidth, right.implicitWidth)

    RowLayout {
        id: left
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        spacing: Theme.playModeSpacing

        PlayModeButton {
            text: qsTr("Shuffle")
            symbol: "shuffle"
            on: transport.modes.shuffle
            enabled: transport.modes.canShuffle
            onClicked: transport.modes.toggleShuffle()
        }

        PlayModeButton {
            text: qsTr("Repeat")
            symbol: transport.modes.repeat === PlayModes.One ? "repeat.1" : "repeat"
            on: transport.modes.repeat !== PlayModes.Off
            enabled: transport.modes.canRepeat
            onClicked: transport.modes.cycleRepeat()
            Accessible.description: {
                switch (transport.modes.repeat) {
                case PlayModes.All:
                    //: What Repeat repeats: the whole queue.
                    return qsTr("All tracks");
                case PlayModes.One:
                    //: What Repeat repeats: the track that plays.
                    return qsTr("This track");
                default:
                    //: Repeat is off.
                    return qsTr("Off");
                }
            }
        }

        // With shuffle and repeat: all three are about the queue.
        UpNextButton {}
    }

    RowLayout {
        id: centre
        anchors.centerIn: parent
        spacing: Theme.transportSpacing

        PlainButton {
            text: qsTr("Previous")
            display: AbstractButton.IconOnly
            symbol: "backward.fill"
            font.pixelSize: Theme.fontTransport
            foreground: Theme.text
            enabled: PlayerStore.transportAbilities.canPrevious
            onClicked: PlayerStore.nowPlaying.previous()
        }

        PlainButton {
            // A fixed width keeps the row still when the icon switches.
            Layout.preferredWidth: Theme.playPauseWidth + leftPadding + rightPadding
            text: PlayerStore.nowPlaying.isPlaying ? qsTr("Pause") : qsTr("Play")
            display: AbstractButton.IconOnly
            symbol: PlayerStore.nowPlaying.isPlaying ? "pause.fill" : "play.fill"
            font.pixelSize: Theme.fontPlayPause
            foreground: Theme.text
            enabled: PlayerStore.nowPlaying.isPlaying ? PlayerStore.transportAbilities.canPause
                : PlayerStore.transportAbilities.canPlay
            onClicked: PlayerStore.nowPlaying.togglePlayPause()
        }

        PlainButton {
            text: qsTr("Next")
            display: AbstractButton.IconOnly
            symbol: "forward.fill"
            font.pixelSize: Theme.fontTransport
            foreground: Theme.text
            enabled: PlayerStore.transportAbilities.canNext
            onClicked: PlayerStore.nowPlaying.next()
        }
    }

    // Room after crossfade for more (the sleep timer, whose text grows):
    // the centre stays centred however wide this side gets.
    RowLayout {
        id: right
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        spacing: Theme.playModeSpacing

        PlayModeButton {
            text: qsTr("Crossfade")
            symbol: "crossfade"
            on: transport.modes.crossfade
            enabled: transport.modes.canCrossfade
            onClicked: transport.modes.toggleCrossfade()
        }

        SleepTimerButton {}
    }
}
