// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AlarmCommands.h"

#include "Commands.h"
#include "JsonOutput.h"
#include "Table.h"

#include <SonosKit/AlarmClock.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/Text.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <tuple>

namespace zonescout {

using SonosKit::Alarm;
using SonosKit::Recurrence;

namespace {

constexpr int loudest = 100;
const QString daysFlag = QStringLiteral("--days");
const QString playFlag = QStringLiteral("--play");
const QString volumeFlag = QStringLiteral("--volume");
const QString durationFlag = QStringLiteral("--duration");

// "HH:MM" (the hour may have one digit) as whole seconds from midnight.
std::optional<int> clockMinutes(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):([0-5]\\d)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch() || match.captured(1).toInt() > 23)
        return std::nullopt;
    return (match.captured(1).toInt() * 60 + match.captured(2).toInt()) * 60;
}

Recurrence daysArgument(const QString &text)
{
    const QString lower = text.toLower();
    if (lower == u"weekdays")
        return Recurrence::weekdays();
    if (lower == u"weekends")
        return Recurrence::weekends();
    if (lower == u"daily")
        return Recurrence::daily();
    if (lower == u"once")
        return Recurrence::once();
    static const QStringList names{QStringLiteral("mon"), QStringLiteral("tue"), QStringLiteral("wed"), QStringLiteral("thu"),
        QStringLiteral("fri"), QStringLiteral("sat"), QStringLiteral("sun")};
    QList<Qt::DayOfWeek> days;
    for (const QString &name : lower.split(u',')) {
        const qsizetype index = names.indexOf(name.trimmed());
        if (index < 0)
            throw UsageError(
                "--days takes weekdays, weekends, daily, once or days such as mon,wed,fri, not \"" + text.toStdString() + "\"");
        days.append(Qt::DayOfWeek(index + 1));
    }
    return Recurrence::onDays(days);
}

QString alarmId(const QString &text)
{
    const QString id = text.trimmed();
    if (id.isEmpty())
        throw UsageError("the alarm needs its ID, as `zonescout alarms` lists it");
    return id;
}

QString clockText(const QTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QStringLiteral("?");
}

// Every player's room by its UUID, invisible ones included where listed.
QHash<QString, QString> roomsByUuid(const QList<SonosKit::ZoneGroup> &groups)
{
    QHash<QString, QString> rooms;
    for (const SonosKit::ZoneGroup &group : groups) {
        rooms.insert(group.coordinator.uuid, group.coordinator.roomName);
        for (const SonosKit::SonosDevice &member : group.members)
            rooms.insert(member.uuid, member.roomName);
    }
    return rooms;
}

// Any player serves the household's list: --host, else the chosen group's
// coordinator.
QString alarmHost(const Options &options, const QList<SonosKit::ZoneGroup> &groups)
{
    return options.host ? *options.host : selectedGroup(groups, options.room).coordinator.host;
}

QByteArray listing(const Options &options, const SonosKit::AlarmList &list, const QHash<QString, QString> &rooms)
{
    QList<Alarm> alarms = list.alarms;
    // By time, then room and ID, so that the order is the same at each run.
    std::sort(alarms.begin(), alarms.end(), [&rooms](const Alarm &a, const Alarm &b) {
        const auto key = [&rooms](const Alarm &alarm) {
            return std::tuple(alarm.startTime, rooms.value(alarm.roomUUID, alarm.roomUUID), alarm.id.size(), alarm.id);
        };
        return key(a) < key(b);
    });
    const QLocale english(QLocale::English);
    if (options.json) {
        QJsonArray entries;
        for (const Alarm &alarm : std::as_const(alarms)) {
            const auto room = rooms.constFind(alarm.roomUUID);
            entries.append(QJsonObject{{"id", alarm.id},
                {"startTime", alarm.startTime.isValid() ? clockText(alarm.startTime) : QJsonValue()},
                {"days", alarm.recurrence.toWire()}, {"roomUUID", alarm.roomUUID},
                {"room", room != rooms.cend() ? QJsonValue(*room) : QJsonValue()}, {"enabled", alarm.enabled},
                {"volume", alarm.volume}, {"durationSeconds", alarm.durationSeconds}, {"programURI", alarm.programURI},
                {"programTitle", alarm.programTitle()}, {"playMode", alarm.playMode},
                {"includeLinkedZones", alarm.includeLinkedZones}, {"readable", alarm.readable}});
        }
        return JsonOutput::document(QJsonObject{{"version", list.version}, {"alarms", entries}});
    }
    if (alarms.isEmpty())
        return QByteArrayLiteral("no alarms\n");
    Table table({QStringLiteral("ID"), QStringLiteral("TIME"), QStringLiteral("DAYS"), QStringLiteral("ROOM"),
        QStringLiteral("PLAYS"), QStringLiteral("VOLUME"), QStringLiteral("ON")});
    for (const Alarm &alarm : std::as_const(alarms)) {
        const QString room = rooms.value(alarm.roomUUID, alarm.roomUUID + QStringLiteral(" (not visible)"));
        table.addRow({alarm.id, clockText(alarm.startTime), alarm.recurrence.displayText(english), room, alarm.programTitle(),
            QString::number(alarm.volume), alarm.enabled ? QStringLiteral("on") : QStringLiteral("off")});
    }
    return table.text().toUtf8();
}

QCoro::Task<QByteArray> addAlarm(Options options, AlarmRequest request)
{
    const QList<SonosKit::ZoneGroup> groups = co_await householdGroups(options.host);
    const std::optional<SonosKit::ZoneGroup> group = SonosKit::groupForRoom(groups, request.room);
    const std::optional<SonosKit::SonosDevice> player = group ? SonosKit::memberForRoom(*group, request.room) : std::nullopt;
    if (!player || player->uuid.isEmpty())
        throw SonosKit::SonosError::roomNotFound(request.room);
    Alarm alarm;
    alarm.startTime = request.time;
    alarm.recurrence = request.days;
    alarm.roomUUID = player->uuid;
    alarm.volume = request.volume;
    alarm.durationSeconds = request.durationSeconds;
    alarm.enabled = true;
    if (request.play) {
        const SonosKit::ContentItem item = co_await findItem(group->coordinator.host, *request.play);
        if (!item.isPlayable())
            throw SonosKit::SonosError::notPlayable(item.title);
        alarm.programURI = item.uri;
        alarm.programMetaData = item.metadata;
    }
    const QString id = co_await SonosKit::AlarmClock(alarmHost(options, groups)).create(alarm);
    co_return options.json ? JsonOutput::document(QJsonObject{{"id", id}}) : (id + u'\n').toUtf8();
}

QCoro::Task<QByteArray> changeAlarm(Options options, AlarmRequest request)
{
    const QList<SonosKit::ZoneGroup> groups = co_await householdGroups(options.host);
    const SonosKit::AlarmClock clock(alarmHost(options, groups));
    const SonosKit::AlarmList list = co_await clock.list();
    const auto found = std::find_if(
        list.alarms.cbegin(), list.alarms.cend(), [&request](const Alarm &alarm) { return alarm.id == request.id; });
    if (found == list.alarms.cend())
        throw CommandError("No alarm has the ID \"" + request.id.toStdString() + "\". Run `zonescout alarms` to list them.");
    if (request.verb == AlarmRequest::Verb::remove) {
        co_await clock.destroy(request.id);
        co_return QByteArray();
    }
    if (!found->readable)
        throw CommandError("Alarm " + request.id.toStdString()
            + " holds settings zonescout cannot read; change it in the Sonos app so that nothing is lost.");
    Alarm alarm = *found;
    alarm.enabled = request.verb == AlarmRequest::Verb::on;
    co_await clock.update(alarm);
    co_return QByteArray();
}

QCoro::Task<QByteArray> listAlarms(Options options)
{
    const QList<SonosKit::ZoneGroup> groups = co_await householdGroups(options.host);
    const SonosKit::AlarmList list = co_await SonosKit::AlarmClock(alarmHost(options, groups)).list();
    co_return listing(options, list, roomsByUuid(groups));
}

} // namespace

bool isAlarmCommand(const QString &command)
{
    return command == u"alarms" || command == u"alarm";
}

AlarmRequest alarmRequest(const Options &options)
{
    AlarmRequest request;
    QStringList arguments = options.arguments;
    const QString verb = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (verb == u"on" || verb == u"off" || verb == u"remove") {
        if (arguments.size() != 1)
            throw UsageError("alarm " + verb.toStdString() + " takes the alarm's ID alone");
        request.verb = verb == u"on" ? AlarmRequest::Verb::on
            : verb == u"off"         ? AlarmRequest::Verb::off
                                     : AlarmRequest::Verb::remove;
        request.id = alarmId(arguments.first());
        return request;
    }
    if (verb != u"add")
        throw UsageError("alarm takes add, on, off or remove, not \"" + verb.toStdString() + "\"");
    if (arguments.size() < 2)
        throw UsageError("alarm add needs a time (HH:MM) and a room");
    const std::optional<int> start = clockMinutes(arguments.takeFirst());
    if (!start)
        throw UsageError("alarm add takes the time as HH:MM, from 00:00 to 23:59");
    request.time = QTime(0, 0).addSecs(*start);
    request.room = arguments.takeFirst();
    if (request.room.trimmed().isEmpty())
        throw UsageError("alarm add needs a room name");
    while (!arguments.isEmpty()) {
        const QString flag = arguments.takeFirst();
        if (flag != daysFlag && flag != playFlag && flag != volumeFlag && flag != durationFlag)
            throw UsageError("alarm add takes --days, --play, --volume and --duration, not \"" + flag.toStdString() + "\"");
        if (arguments.isEmpty())
            throw UsageError(flag.toStdString() + " needs a value");
        const QString value = arguments.takeFirst();
        if (flag == daysFlag) {
            request.days = daysArgument(value);
        } else if (flag == playFlag) {
            if (value.isEmpty())
                throw UsageError("--play needs a favorite's id or title");
            request.play = value;
        } else if (flag == volumeFlag) {
            const std::optional<qint64> volume = SonosKit::Text::parseInteger(value);
            if (!volume || *volume < 0 || *volume > loudest || value.startsWith(u'+'))
                throw UsageError("--volume takes a whole number from 0 to 100, not \"" + value.toStdString() + "\"");
            request.volume = int(*volume);
        } else {
            const std::optional<int> length = clockMinutes(value);
            if (!length || *length == 0)
                throw UsageError("--duration takes a length as HH:MM, from 00:01 to 23:59, not \"" + value.toStdString() + "\"");
            request.durationSeconds = *length;
        }
    }
    return request;
}

QCoro::Task<QByteArray> runAlarmCommand(Options options)
{
    if (options.command == u"alarms")
        return listAlarms(std::move(options));
    const AlarmRequest request = alarmRequest(options);
    if (request.verb == AlarmRequest::Verb::add)
        return addAlarm(std::move(options), request);
    return changeAlarm(std::move(options), request);
}

} // namespace zonescout
