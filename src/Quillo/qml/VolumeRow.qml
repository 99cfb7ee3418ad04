// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
import QtQuick
import QtQuick.Layouts
import Quillo

// The group's volume. The players keep the balance between its rooms.
RowLayout {
    spacing: Theme.volumeSpacing
    enabled: PlayerStore.household.hasSelectedGroup

    SymbolIcon {
        symbol: "speaker.fill"
        size: Theme.fontCaption
        color: enabled ? Theme.secondary : Theme.disabled
    }

    LevelSlider {
        Layout.fillWidth: true
        level: PlayerStore.nowPlaying.volume
        onPreviewed: level => PlayerStore.nowPlaying.previewVolume(level)
        onCommitted: level => PlayerStore.nowPlaying.commitVolume(level)
        Accessible.name: qsTr("Volume")
    }

    SymbolIcon {
        symbol: "speaker.wave.3.fill"
        size: Theme.fontCaption
        color: enabled ? Theme.secondary : Theme.disabled
    }
}
