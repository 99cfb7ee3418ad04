// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <SonosKit/Recurrence.h>

#include <QByteArray>
#include <QCoroTask>
#include <QTime>

#include <optional>

namespace zonescout {

// What `alarm` was asked to do, read from its arguments.
struct AlarmRequest {
    enum class Verb { add, on, off, remove };
    Verb verb = Verb::add;
    QString id; // on, off, remove
    // add:
    QTime time;
    QString room;
    SonosKit::Recurrence days = SonosKit::Recurrence::daily();
    std::optional<QString> play; // a favorite's id or title; the chime without
    int volume = 20;
    int durationSeconds = 3600;
};

// `alarm add HH:MM ROOM [--days weekdays|weekends|daily|once|mon,wed,…]
// [--play ITEM] [--volume N] [--duration HH:MM]`, `alarm on|off ID`,
// `alarm remove ID`. Throws UsageError.
AlarmRequest alarmRequest(const Options &options);

bool isAlarmCommand(const QString &command);

// `alarms` lists the household's alarms (with --json {"version", "alarms"});
// `alarm add` prints the new alarm's ID; the others print nothing.
QCoro::Task<QByteArray> runAlarmCommand(Options options);

} // namespace zonescout
