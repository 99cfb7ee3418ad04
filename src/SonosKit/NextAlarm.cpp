// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/NextAlarm.h"

#include "SonosKit/Text.h"

#include <QTimeZone>

namespace SonosKit {

namespace {

// A week ahead and a day more: every recurrence rings within it.
constexpr int daysAhead = 8;
constexpr qint64 secondsPerDay = 86400;

QTimeZone zoneOf(const QDateTime &now)
{
    switch (now.timeSpec()) {
    case Qt::TimeZone:
        return now.timeZone();
    case Qt::LocalTime:
        return QTimeZone::systemTimeZone();
    case Qt::UTC:
        return QTimeZone::utc();
    case Qt::OffsetFromUTC:
        return QTimeZone(now.offsetFromUtc());
    }
    return QTimeZone::utc();
}

QDateTime inZoneOf(const QDateTime &now, const QDateTime &instant)
{
    switch (now.timeSpec()) {
    case Qt::TimeZone:
        return instant.toTimeZone(now.timeZone());
    case Qt::LocalTime:
        return instant.toLocalTime();
    case Qt::UTC:
        return instant.toUTC();
    case Qt::OffsetFromUTC:
        return instant.toOffsetFromUtc(now.offsetFromUtc());
    }
    return instant;
}

// The moment the wall clock of `zone` first shows `time` on `date`: of the
// two offsets around that day, the earlier one the zone really has then;
// in a gap, the end of the gap.
QDateTime firstMoment(const QTimeZone &zone, QDate date, QTime time)
{
    // The wall-clock reading taken as if it were UTC.
    const QDateTime wall(date, time, Qt::UTC);
    const int before = zone.offsetFromUtc(wall.addSecs(-secondsPerDay));
    const int after = zone.offsetFromUtc(wall.addSecs(secondsPerDay));
    std::optional<QDateTime> first;
    for (const int offset : {before, after}) {
        const QDateTime instant = wall.addSecs(-offset);
        if (zone.offsetFromUtc(instant) == offset && (!first || instant < *first))
            first = instant;
    }
    if (first)
        return *first;
    // Skipped: the clock jumps from before the time to after it.
    return zone.nextTransition(wall.addSecs(-std::max(before, after))).atUtc;
}

bool idBefore(const QString &a, const QString &b)
{
    const std::optional<qint64> x = Text::parseInteger(a);
    const std::optional<qint64> y = Text::parseInteger(b);
    if (x && y)
        return *x < *y;
    return a < b;
}

} // namespace

std::optional<NextAlarm> nextAlarm(const QList<Alarm> &alarms, const QDateTime &now)
{
    if (!now.isValid())
        return std::nullopt;
    const QTimeZone zone = zoneOf(now);
    const QDate today = now.date();
    std::optional<NextAlarm> next;
    for (const Alarm &alarm : alarms) {
        // Only what decides when it rings: a volume or length it cannot read
        // keeps an alarm from being edited here, not from ringing.
        if (!alarm.enabled || !alarm.startTime.isValid() || !alarm.recurrence.isKnown())
            continue;
        for (int day = -1; day < daysAhead; ++day) {
            // From yesterday: a time skipped late in the day may land after
            // midnight, and a zone's date is not always `now`'s.
            const QDate date = today.addDays(day);
            if (!alarm.recurrence.ringsOn(Qt::DayOfWeek(date.dayOfWeek())))
                continue;
            const QDateTime when = firstMoment(zone, date, alarm.startTime);
            if (when <= now)
                continue;
            if (!next || when < next->when || (when == next->when && idBefore(alarm.id, next->alarm.id)))
                next = NextAlarm{alarm, inZoneOf(now, when)};
            break;
        }
    }
    return next;
}

} // namespace SonosKit
