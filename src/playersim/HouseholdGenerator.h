// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "HouseholdData.h"

namespace playersim {

// Sizes for a large household, as benchmarks want them.
struct GeneratorOptions {
    int players = 32;
    int favorites = 1000;
    int playlistTracks = 5000; // tracks of the largest Sonos Playlist
    QString firstAddress = QStringLiteral("127.0.0.11");
    quint16 port = 1400;
    quint32 seed = 1; // also makes the household's id
    int softwareGeneration = 2; // 1 for an S1 system
};

// A household of the given size: players in groups of one to four, a
// favorite of every kind in turn, Sonos Playlists up to `playlistTracks`
// long and a queue on every coordinator. Sizes below their minimum (one
// player, no favorites, no tracks) are raised to it.
HouseholdData generateHousehold(const GeneratorOptions &options);

} // namespace playersim
