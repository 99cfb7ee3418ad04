// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/SonosDevice.h"

namespace SonosKit {

// How loud one room of a group plays, and whether it is muted, as that
// room's own player reports it.
struct RoomLevel {
    SonosDevice device;
    int volume = 0; // 0 to 100
    bool muted = false;

    friend bool operator==(const RoomLevel &, const RoomLevel &) = default;
};

// The players' rule for a group volume change that keeps the balance between
// rooms: each room's level from the snapshot taken before the change, times
// the new group volume over the snapshot's group volume, rounded and held to
// 0 to 100. From a snapshot whose group volume is 0 every room takes the new
// level, so a group turned all the way down comes back level.
int scaledRoomVolume(int roomVolume, int snapshotGroupVolume, int newGroupVolume);

} // namespace SonosKit
