// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <SonosKit/PlayMode.h>

#include <QByteArray>
#include <QCoroTask>

#include <optional>

namespace zonescout {

// What `shuffle on|off`, `repeat off|all|one` or `crossfade on|off` asks
// for; without an argument, the current value is shown.
struct PlayModeRequest {
    enum class Setting { shuffle, repeat, crossfade };
    Setting setting = Setting::shuffle;
    std::optional<bool> on; // shuffle, crossfade
    std::optional<SonosKit::Repeat> repeat; // repeat

    bool shows() const { return !on && !repeat; }
};

bool isPlayModeCommand(const QString &command);
// Throws UsageError.
PlayModeRequest playModeRequest(const Options &options);
// Sets it at the group's coordinator (shuffle and repeat keep each other,
// as read just before), or prints it: "on"/"off", "off"/"all"/"one", or with
// --json {"shuffle": true}, {"repeat": "all"}, {"crossfade": false}.
QCoro::Task<QByteArray> runPlayModeCommand(Options options);

} // namespace zonescout
