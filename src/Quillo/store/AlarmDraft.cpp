// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/AlarmDraft.h"

#include "SonosKit/Recurrence.h"

#include <QLocale>

#include <algorithm>

using SonosKit::Alarm;
using SonosKit::Recurrence;

namespace {

// What a new alarm starts with.
constexpr int defaultHour = 7;
constexpr int defaultVolume = 20;
constexpr int defaultDurationMinutes = 60;
constexpr int daysInWeek = 7;

int bitOf(int day)
{
    return 1 << (day - 1);
}

Recurrence recurrenceOf(int bits)
{
    switch (bits) {
    case 0:
        return Recurrence::once();
    case AlarmDraft::weekdayBits:
        return Recurrence::weekdays();
    case AlarmDraft::weekendBits:
        return Recurrence::weekends();
    case AlarmDraft::everyDayBits:
        return Recurrence::daily();
    default:
        break;
    }
    QList<Qt::DayOfWeek> days;
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        if (bits & bitOf(day))
            days.append(Qt::DayOfWeek(day));
    }
    return Recurrence::onDays(days);
}

} // namespace

AlarmDraft::AlarmDraft(QObject *parent)
    : QObject(parent)
{ }

template<typename T>
void AlarmDraft::assign(T &member, T value)
{
    if (member == value)
        return;
    member = value;
    Q_EMIT valuesChanged();
}

int AlarmDraft::bitsOf(const Recurrence &recurrence)
{
    int bits = 0;
    for (const Qt::DayOfWeek day : recurrence.days())
        bits |= bitOf(day);
    return bits;
}

void AlarmDraft::open(const std::optional<Alarm> &alarm, const QList<SonosKit::SonosDevice> &rooms, const QString &defaultRoom,
    const QList<SonosKit::ContentItem> &favorites)
{
    m_original = alarm;
    m_rooms.clear();
    for (const SonosKit::SonosDevice &room : rooms)
        m_rooms.append({room.roomName, room.uuid, {}});
    std::sort(m_rooms.begin(), m_rooms.end(),
        [](const Choice &a, const Choice &b) { return QString::localeAwareCompare(a.text, b.text) < 0; });
    const QString roomID = alarm ? alarm->roomUUID : defaultRoom;
    const auto room = std::find_if(
        m_rooms.cbegin(), m_rooms.cend(), [&](const Choice &choice) { return choice.value == roomID; });
    if (room == m_rooms.cend() && !roomID.isEmpty()) {
        // Kept as it is: saving the alarm must not move it to another room.
        m_rooms.prepend({tr("Room not available"), roomID, {}});
        m_roomIndex = 0;
    } else {
        m_roomIndex = room == m_rooms.cend() ? (m_rooms.isEmpty() ? -1 : 0) : int(room - m_rooms.cbegin());
    }
    if (alarm) {
        m_hour = alarm->startTime.hour();
        m_minute = alarm->startTime.minute();
        m_days = bitsOf(alarm->recurrence);
        m_includeGroupedRooms = alarm->includeLinkedZones;
        m_volume = alarm->volume;
        m_durationMinutes = std::clamp(alarm->durationSeconds / 60, 0, longestMinutes);
        buildPrograms(favorites, alarm->programURI, alarm->programMetaData, alarm->programTitle());
    } else {
        m_hour = defaultHour;
        m_minute = 0;
        m_days = weekdayBits;
        m_includeGroupedRooms = false;
        m_volume = defaultVolume;
        m_durationMinutes = defaultDurationMinutes;
        buildPrograms(favorites, Alarm::chimeURI, {}, {});
    }
    m_opened = values();
    Q_EMIT choicesChanged();
    Q_EMIT valuesChanged();
    // Also when it showed another alarm: whether it is a new one may differ.
    m_open = true;
    Q_EMIT openChanged();
}

void AlarmDraft::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_original.reset();
    Q_EMIT openChanged();
}

void AlarmDraft::buildPrograms(
    const QList<SonosKit::ContentItem> &favorites, const QString &uri, const QString &metadata, const QString &title)
{
    // A new alarm is the chime, and says so.
    m_programs = {{Alarm().programTitle(), Alarm::chimeURI, {}}};
    for (const SonosKit::ContentItem &favorite : favorites) {
        if (favorite.isPlayable())
            m_programs.append({favorite.title, favorite.uri, favorite.metadata});
    }
    auto chosen = std::find_if(m_programs.cbegin(), m_programs.cend(), [&](const Choice &choice) { return choice.value == uri; });
    if (chosen == m_programs.cend()) {
        // Something that is no favorite (any more): it stays what plays
        // until the user chooses another.
        //: What an alarm plays when it is none of the Sonos Favorites and has no title.
        m_programs.insert(1, {title.isEmpty() ? tr("Other music") : title, uri, metadata});
        chosen = m_programs.cbegin() + 1;
    }
    m_programIndex = int(chosen - m_programs.cbegin());
}

void AlarmDraft::setFavorites(const QList<SonosKit::ContentItem> &favorites)
{
    if (!m_open || m_programIndex < 0 || m_programIndex >= m_programs.size())
        return;
    const Choice current = m_programs.at(m_programIndex);
    buildPrograms(favorites, current.value, current.metadata, current.text);
    Q_EMIT choicesChanged();
    Q_EMIT valuesChanged();
}

QString AlarmDraft::valueAt(const QList<Choice> &choices, int index)
{
    return index >= 0 && index < choices.size() ? choices.at(index).value : QString();
}

AlarmDraft::Values AlarmDraft::values() const
{
    return {m_hour, m_minute, m_days, valueAt(m_rooms, m_roomIndex), m_includeGroupedRooms, valueAt(m_programs, m_programIndex),
        m_volume, m_durationMinutes};
}

Alarm AlarmDraft::result() const
{
    Alarm alarm;
    alarm.enabled = true;
    return applyTo(alarm);
}

Alarm AlarmDraft::applyTo(Alarm alarm) const
{
    // A new alarm takes every value; a changed one only those the user
    // changed, so one changed elsewhere meanwhile stays as it is there.
    const bool whole = !m_original;
    const Values now = values();
    if (whole || now.hour != m_opened.hour || now.minute != m_opened.minute)
        alarm.startTime = QTime(m_hour, m_minute);
    if (whole || now.days != m_opened.days)
        alarm.recurrence = recurrenceOf(m_days);
    if ((whole || now.room != m_opened.room) && !now.room.isEmpty())
        alarm.roomUUID = now.room;
    if (whole || now.includeGroupedRooms != m_opened.includeGroupedRooms)
        alarm.includeLinkedZones = m_includeGroupedRooms;
    if ((whole || now.program != m_opened.program) && !now.program.isEmpty()) {
        alarm.programURI = now.program;
        alarm.programMetaData = m_programs.at(m_programIndex).metadata;
    }
    if (whole || now.volume != m_opened.volume)
        alarm.volume = m_volume;
    if (whole || now.durationMinutes != m_opened.durationMinutes)
        alarm.durationSeconds = m_durationMinutes * 60;
    return alarm;
}

AlarmDraft::Preset AlarmDraft::preset() const
{
    // Days in a form not known here are none of the presets until chosen.
    if (m_original && !m_original->recurrence.isKnown() && m_days == bitsOf(m_original->recurrence))
        return Preset::Custom;
    switch (m_days) {
    case 0:
        return Preset::Once;
    case weekdayBits:
        return Preset::Weekdays;
    case weekendBits:
        return Preset::Weekends;
    case everyDayBits:
        return Preset::EveryDay;
    default:
        return Preset::Custom;
    }
}

void AlarmDraft::setPreset(Preset preset)
{
    switch (preset) {
    case Preset::Once:
        setDays(0);
        break;
    case Preset::Weekdays:
        setDays(weekdayBits);
        break;
    case Preset::Weekends:
        setDays(weekendBits);
        break;
    case Preset::EveryDay:
        setDays(everyDayBits);
        break;
    case Preset::Custom:
        break;
    }
}

void AlarmDraft::toggleDay(int day)
{
    if (day >= Qt::Monday && day <= Qt::Sunday)
        setDays(m_days ^ bitOf(day));
}

QVariantList AlarmDraft::entries(const QList<Choice> &choices)
{
    QVariantList list;
    for (const Choice &choice : choices)
        list.append(QVariantMap{{QStringLiteral("text"), choice.text}, {QStringLiteral("value"), choice.value}});
    return list;
}

QVariantList AlarmDraft::roomChoices() const
{
    return entries(m_rooms);
}

QVariantList AlarmDraft::programChoices() const
{
    return entries(m_programs);
}

QVariantList AlarmDraft::dayChoices() const
{
    const QLocale locale;
    QVariantList days;
    for (int step = 0; step < daysInWeek; ++step) {
        const int day = (int(locale.firstDayOfWeek()) - 1 + step) % daysInWeek + 1;
        days.append(
            QVariantMap{{QStringLiteral("value"), day}, {QStringLiteral("text"), locale.dayName(day, QLocale::ShortFormat)},
                {QStringLiteral("name"), locale.dayName(day, QLocale::LongFormat)}});
    }
    return days;
}

void AlarmDraft::setHour(int hour)
{
    assign(m_hour, std::clamp(hour, 0, 23));
}

void AlarmDraft::setMinute(int minute)
{
    assign(m_minute, std::clamp(minute, 0, 59));
}

void AlarmDraft::setDays(int days)
{
    assign(m_days, days & everyDayBits);
}

void AlarmDraft::setRoomIndex(int index)
{
    if (index >= 0 && index < m_rooms.size())
        assign(m_roomIndex, index);
}

void AlarmDraft::setIncludeGroupedRooms(bool include)
{
    assign(m_includeGroupedRooms, include);
}

void AlarmDraft::setProgramIndex(int index)
{
    if (index >= 0 && index < m_programs.size())
        assign(m_programIndex, index);
}

void AlarmDraft::setVolume(int volume)
{
    assign(m_volume, std::clamp(volume, 0, 100));
}

void AlarmDraft::setDurationMinutes(int minutes)
{
    assign(m_durationMinutes, std::clamp(minutes, 0, longestMinutes));
}
