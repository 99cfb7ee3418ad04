// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The household's alarms: one list, kept by the household and served by
// every player's AlarmClock service, its version counted up by every change
// and told in the AlarmClock events. An alarm rings by starting its room.

#include "Didl.h"
#include "HouseholdState.h"
#include "SoapMessages.h"

#include <QDateTime>
#include <QRegularExpression>

namespace playersim {

namespace {

const QString alarmUrn = QStringLiteral("urn:schemas-upnp-org:service:AlarmClock:1");
// Another alarm of the same room at the same time (assumed: the number is
// the one public protocol documentation gives for it).
constexpr int timeTakenFault = 801;
constexpr int badArgumentFault = 402;
constexpr int chimeSeconds = 30;

bool isClock(const QString &text, int maxHours)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d\\d):([0-5]\\d):([0-5]\\d)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() && match.captured(1).toInt() <= maxHours;
}

bool isRecurrence(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(ONCE|WEEKDAYS|WEEKENDS|DAILY|ON_[0-6]{1,7})$"));
    return pattern.match(text).hasMatch();
}

// Whether `recurrence` rings on `day` (Qt's numbering, Monday 1 to Sunday 7).
bool ringsOn(const QString &recurrence, int day)
{
    if (recurrence == u"ONCE" || recurrence == u"DAILY")
        return true;
    if (recurrence == u"WEEKDAYS")
        return day <= 5;
    if (recurrence == u"WEEKENDS")
        return day >= 6;
    // ON_: 0 is Sunday.
    return recurrence.startsWith(u"ON_") && recurrence.mid(3).contains(QChar(u'0' + day % 7));
}

std::optional<bool> flag(const QString &text)
{
    if (text == u"1")
        return true;
    if (text == u"0")
        return false;
    return std::nullopt;
}

// The fields CreateAlarm and UpdateAlarm both take, checked; nothing when
// one is missing or unreadable.
std::optional<SimAlarm> alarmFrom(const SoapCall &call, const QHash<QString, int> &players)
{
    static const QStringList playModes{QStringLiteral("NORMAL"), QStringLiteral("REPEAT_ALL"), QStringLiteral("REPEAT_ONE"),
        QStringLiteral("SHUFFLE_NOREPEAT"), QStringLiteral("SHUFFLE"), QStringLiteral("SHUFFLE_REPEAT_ONE")};
    SimAlarm alarm;
    alarm.startTime = call.argument(QStringLiteral("StartLocalTime"));
    alarm.duration = call.argument(QStringLiteral("Duration"));
    alarm.recurrence = call.argument(QStringLiteral("Recurrence"));
    alarm.roomUUID = call.argument(QStringLiteral("RoomUUID"));
    alarm.programURI = call.argument(QStringLiteral("ProgramURI"));
    alarm.programMetaData = call.argument(QStringLiteral("ProgramMetaData"));
    alarm.playMode = call.argument(QStringLiteral("PlayMode"));
    bool volumeRead = false;
    const QString volumeText = call.argument(QStringLiteral("Volume"));
    alarm.volume = volumeText.toInt(&volumeRead);
    const std::optional<bool> enabled = flag(call.argument(QStringLiteral("Enabled")));
    const std::optional<bool> include = flag(call.argument(QStringLiteral("IncludeLinkedZones")));
    if (!isClock(alarm.startTime, 23) || !isClock(alarm.duration, 24) || !isRecurrence(alarm.recurrence)
        || !players.contains(alarm.roomUUID) || alarm.programURI.isEmpty() || !playModes.contains(alarm.playMode) || !volumeRead
        || volumeText.startsWith(u'+') || alarm.volume < 0 || alarm.volume > 100 || !enabled || !include)
        return std::nullopt;
    alarm.enabled = *enabled;
    alarm.includeLinkedZones = *include;
    return alarm;
}

std::optional<int> alarmId(const SoapCall &call)
{
    bool ok = false;
    const int id = call.argument(QStringLiteral("ID")).toInt(&ok);
    return ok && id > 0 ? std::optional(id) : std::nullopt;
}

// Whether the player at `index` plays in a group of its own (its bonded
// satellites aside).
bool standsAlone(const std::vector<std::unique_ptr<SimPlayer>> &players, int index)
{
    const SimPlayer &player = *players[index];
    return std::none_of(players.cbegin(), players.cend(), [&player](const auto &other) {
        return other.get() != &player && other->coordinator == player.coordinator && other->record.bondedTo != player.record.uuid;
    });
}

QString attribute(const QString &name, const QString &value)
{
    return QLatin1Char(' ') + name + QStringLiteral("=\"") + Didl::escapeAttribute(value) + QLatin1Char('"');
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

void HouseholdState::raiseNextAlarmIdLocked()
{
    for (const SimAlarm &alarm : std::as_const(content.alarms))
        nextAlarmId = std::max(nextAlarmId, alarm.id + 1);
}

QString HouseholdState::alarmListVersionLocked() const
{
    const QString owner = content.players.isEmpty() ? content.householdId : content.players.first().uuid;
    return owner + QLatin1Char(':') + QString::number(alarmListSerial);
}

QString HouseholdState::alarmListLocked() const
{
    QString list = QStringLiteral("<Alarms>");
    for (const SimAlarm &alarm : content.alarms) {
        list += QStringLiteral("<Alarm") + attribute(QStringLiteral("ID"), QString::number(alarm.id))
            + attribute(QStringLiteral("StartTime"), alarm.startTime) + attribute(QStringLiteral("Duration"), alarm.duration)
            + attribute(QStringLiteral("Recurrence"), alarm.recurrence)
            + attribute(QStringLiteral("Enabled"), flagText(alarm.enabled))
            + attribute(QStringLiteral("RoomUUID"), alarm.roomUUID) + attribute(QStringLiteral("ProgramURI"), alarm.programURI)
            + attribute(QStringLiteral("ProgramMetaData"), alarm.programMetaData)
            + attribute(QStringLiteral("PlayMode"), alarm.playMode)
            + attribute(QStringLiteral("Volume"), QString::number(alarm.volume))
            + attribute(QStringLiteral("IncludeLinkedZones"), flagText(alarm.includeLinkedZones)) + QStringLiteral("/>");
    }
    return list + QStringLiteral("</Alarms>");
}

Answer HouseholdState::answerAlarmClock(const SoapCall &call)
{
    const QString &action = call.action;
    if (action == u"ListAlarms")
        return soapResponse(alarmUrn, action,
            {{QStringLiteral("CurrentAlarmList"), alarmListLocked()},
                {QStringLiteral("CurrentAlarmListVersion"), alarmListVersionLocked()}});

    if (action == u"DestroyAlarm") {
        const std::optional<int> id = alarmId(call);
        const auto found = std::find_if(
            content.alarms.begin(), content.alarms.end(), [&](const SimAlarm &alarm) { return id && alarm.id == *id; });
        if (found == content.alarms.end())
            return soapFault(badArgumentFault);
        alarmRang.remove(found->id);
        content.alarms.erase(found);
        ++alarmListSerial;
        return soapResponse(alarmUrn, action, {});
    }

    if (action != u"CreateAlarm" && action != u"UpdateAlarm")
        return soapFault(401, QStringLiteral("Invalid Action"));
    std::optional<SimAlarm> alarm = alarmFrom(call, indexOfUuid);
    const bool update = action == u"UpdateAlarm";
    const std::optional<int> id = update ? alarmId(call) : std::nullopt;
    SimAlarm *existing = nullptr;
    for (SimAlarm &held : content.alarms) {
        if (id && held.id == *id)
            existing = &held;
    }
    if (!alarm || (update && !existing))
        return soapFault(badArgumentFault);
    for (const SimAlarm &held : std::as_const(content.alarms)) {
        if (&held != existing && held.roomUUID == alarm->roomUUID && held.startTime == alarm->startTime)
            return soapFault(timeTakenFault);
    }
    ++alarmListSerial;
    if (update) {
        alarm->id = existing->id;
        *existing = *alarm;
        return soapResponse(alarmUrn, action, {});
    }
    alarm->id = nextAlarmId++;
    content.alarms.append(*alarm);
    return soapResponse(alarmUrn, action, {{QStringLiteral("AssignedID"), QString::number(alarm->id)}});
}

bool HouseholdState::ringAlarmLocked(int id)
{
    const auto found = std::find_if(
        content.alarms.begin(), content.alarms.end(), [id](const SimAlarm &alarm) { return alarm.id == id; });
    if (found == content.alarms.end() || !indexOfUuid.contains(found->roomUUID))
        return false;
    const SimAlarm alarm = *found;
    const int index = indexOfUuid.value(alarm.roomUUID);
    // A player switched off rings nothing.
    if (events->isSilent(index))
        return false;
    // Without its grouped rooms, the alarm's room plays on its own; one that
    // cannot leave (a bonded satellite, grouping refused) would start the
    // whole group instead, so it does not ring.
    if (!alarm.includeLinkedZones && leaveLocked(index) && !standsAlone(players, index))
        return false;
    players[index]->volume = alarm.volume;
    SimPlayer &group = coordinatorOfLocked(index);
    const auto now = Clock::now();
    if (alarm.programURI == u"x-rincon-buzzer:0") {
        group.transport.loadSingle(
            SimTrack{QStringLiteral("Chime"), {}, {}, alarm.programURI, chimeSeconds, {}}, alarm.programURI, QString());
    } else {
        int refusal = 0;
        const std::optional<QList<SimTrack>> tracks = tracksBehindLocked(alarm.programURI, alarm.programMetaData, &refusal);
        const bool container = alarm.programURI.startsWith(u"x-rincon-cpcontainer:")
            || alarm.programURI.startsWith(u"x-rincon-playlist:") || alarm.programURI.contains(u"savedqueues.rsq");
        if (container && tracks && !tracks->isEmpty()) {
            group.queue = *tracks;
            ++group.queueUpdateId;
            group.transport.loadQueue(group.queueURI());
        } else {
            group.transport.loadSingle(
                trackForLocked(alarm.programURI, alarm.programMetaData), alarm.programURI, alarm.programMetaData);
        }
    }
    group.transport.play(group.queue, now);
    alarmRang.insert(id, {QDate::currentDate(), alarm.startTime});
    // A once alarm has had its day.
    if (alarm.recurrence == u"ONCE") {
        found->enabled = false;
        ++alarmListSerial;
    }
    publishChangesLocked();
    return true;
}

void HouseholdState::ringAlarmsOnTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 toNextMinute = 60000 - (now.time().second() * 1000 + now.time().msec());
    events->schedule(Clock::now() + std::chrono::milliseconds(toNextMinute), [this] { checkAlarmClock(); });
}

void HouseholdState::checkAlarmClock()
{
    {
        std::lock_guard lock(mutex);
        const QDateTime now = QDateTime::currentDateTime();
        const QString minute = now.time().toString(QStringLiteral("HH:mm"));
        // What rang on another day is forgotten.
        for (auto it = alarmRang.begin(); it != alarmRang.end();)
            it = it->first != now.date() ? alarmRang.erase(it) : std::next(it);
        QList<int> due;
        for (const SimAlarm &alarm : std::as_const(content.alarms)) {
            if (alarm.enabled && alarm.startTime.startsWith(minute) && ringsOn(alarm.recurrence, now.date().dayOfWeek())
                && alarmRang.value(alarm.id) != std::pair(now.date(), alarm.startTime))
                due.append(alarm.id);
        }
        for (int id : std::as_const(due))
            ringAlarmLocked(id);
    }
    ringAlarmsOnTime();
}

} // namespace playersim
