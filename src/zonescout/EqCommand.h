// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <QByteArray>
#include <QCoroTask>

#include <optional>

namespace zonescout {

// What `eq [ROOM [SETTING VALUE]]` asks for: every room's sound, one room's,
// or one setting of one room: bass N, treble N (-10 to 10), loudness,
// night or speech on|off.
struct EqRequest {
    enum class Setting { bass, treble, loudness, night, speech };
    std::optional<QString> room;
    std::optional<Setting> setting;
    int value = 0; // the level, or 1 for on and 0 for off
};

// Throws UsageError.
EqRequest eqRequest(const Options &options);
// Shows the rooms' sound as a table (ROOM, BASS, TREBLE, LOUDNESS, NIGHT,
// SPEECH; "-" where a player has no such control), or with --json an array
// of {"room", "bass", "treble", "loudness", "nightMode"?, "speechEnhancement"?};
// or sets one setting. A room without night sound or speech enhancement
// fails with a CommandError.
QCoro::Task<QByteArray> runEqCommand(Options options);

} // namespace zonescout
