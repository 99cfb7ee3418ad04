// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quillo

// The group's volume. A drag shows its value at once through the store's
// pending volume and sends it when released; a change from the keyboard or
// from assistive technology is sent at once.
RowLayout {
    spacing: Theme.volumeSpacing
    enabled: PlayerStore.household.hasSelectedGroup

    SymbolIcon {
        symbol: "speaker.fill"
        size: Theme.fontCaption
        color: enabled ? Theme.secondary : Theme.disabled
    }

    Slider {
        id: slider

        // Read by the accessibility bridge for the value range.
        readonly property real minimumValue: from
        readonly property real maximumValue: to

        Layout.fillWidth: true
        from: 0
        to: 100
        stepSize: 5
        snapMode: Slider.NoSnap
        value: PlayerStore.nowPlaying.volume

        onMoved: {
            if (pressed)
                PlayerStore.previewVolume(Math.trunc(value));
        }
        onValueChanged: {
            if (!pressed && Math.trunc(value) !== PlayerStore.nowPlaying.volume)
                PlayerStore.commitVolume(Math.trunc(value));
        }
        onPressedChanged: {
            if (!pressed)
                PlayerStore.commitVolume(PlayerStore.nowPlaying.volume);
        }

        // As with most desktop sliders, Up and Down work as well as the
        // arrows along it.
        Keys.onUpPressed: increase()
        Keys.onDownPressed: decrease()

        Accessible.name: qsTr("Volume")
        Accessible.ignored: !visible
    }

    SymbolIcon {
        symbol: "speaker.wave.3.fill"
        size: Theme.fontCaption
        color: enabled ? Theme.secondary : Theme.disabled
    }
}
