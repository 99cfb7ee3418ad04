// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <QByteArray>
#include <QCoroTask>
#include <QString>

#include <chrono>
#include <optional>

namespace zonescout {

// `sleep`'s argument: a length such as 30m, 1h, 1h15m or 90s (hours, minutes
// and seconds, each at most once and in that order), or "off" (zero).
// Throws UsageError for anything else, and for a length outside what a
// player keeps (a second to 23h59m59s).
std::chrono::seconds sleepLength(const QString &text);

// Throws UsageError when `sleep`'s argument is unreadable; other commands
// pass.
void validateSleepArguments(const Options &options);

// `sleep [LENGTH|off]`: sets or cancels the group's sleep timer when asked
// to, then prints the time left (or that none runs); with --json
// {"running", "remainingSeconds" (null when none runs), "generation"}.
QCoro::Task<QByteArray> runSleep(Options options);

} // namespace zonescout
