// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// One room as the Rooms list shows it.
struct RoomRecord {
    QString id; // what the Rooms verbs take: the player's id, stable across renames
    QString name;
    bool inGroup = false; // plays in the selected group
    bool canLeave = false; // in the group, and not its only room
    bool hasLevel = false; // its volume and mute are known
    int volume = 0; // what the slider shows: a pending choice or the room's own
    bool muted = false;

    friend bool operator==(const RoomRecord &, const RoomRecord &) = default;
};
