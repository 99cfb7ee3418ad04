// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/Alarm.h"

#include <QDateTime>
#include <QList>

#include <optional>

namespace SonosKit {

// The alarm that rings next and when.
struct NextAlarm {
    Alarm alarm;
    QDateTime when; // in the time zone of the `now` it was computed from

    friend bool operator==(const NextAlarm &, const NextAlarm &) = default;
};

// The first enabled alarm to ring after `now` of those whose time and days
// are known, computed in `now`'s time zone (the players ring by their own
// clock, which is assumed to agree): a once alarm at the next coming of its
// time, the others on their days. A time the clock skips when daylight
// saving starts rings at the first moment after the gap; a time the clock
// goes through twice when it ends rings the first time only. Alarms ringing
// at the same moment go by ID. Nothing when no alarm will ring.
std::optional<NextAlarm> nextAlarm(const QList<Alarm> &alarms, const QDateTime &now);

} // namespace SonosKit
