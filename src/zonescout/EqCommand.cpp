// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "EqCommand.h"

#include "Commands.h"
#include "JsonOutput.h"
#include "Table.h"

#include <SonosKit/RoomSound.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/Text.h>

#include <QJsonArray>
#include <QJsonObject>

namespace zonescout {

using SonosKit::EQType;
using SonosKit::RoomSound;
using SonosKit::RoomSoundControl;
using SonosKit::SonosDevice;
using SonosKit::ZoneGroup;

namespace {

constexpr std::pair<QLatin1StringView, EqRequest::Setting> settingNames[] = {
    {QLatin1StringView("bass"), EqRequest::Setting::bass},
    {QLatin1StringView("treble"), EqRequest::Setting::treble},
    {QLatin1StringView("loudness"), EqRequest::Setting::loudness},
    {QLatin1StringView("night"), EqRequest::Setting::night},
    {QLatin1StringView("speech"), EqRequest::Setting::speech},
};

bool isTone(EqRequest::Setting setting)
{
    return setting == EqRequest::Setting::bass || setting == EqRequest::Setting::treble;
}

QString signedLevel(int level)
{
    return level > 0 ? QStringLiteral("+%1").arg(level) : QString::number(level);
}

QString onOff(std::optional<bool> on)
{
    if (!on)
        return QStringLiteral("-");
    return *on ? QStringLiteral("on") : QStringLiteral("off");
}

struct Room {
    SonosDevice player;
    RoomSound sound;
};

QList<SonosDevice> roomsOf(const QList<ZoneGroup> &groups)
{
    QList<SonosDevice> rooms;
    for (const ZoneGroup &group : groups)
        for (const SonosDevice &member : group.members)
            rooms.append(member);
    return rooms;
}

QByteArray show(const QList<Room> &rooms, bool json)
{
    if (json) {
        QJsonArray list;
        for (const Room &room : rooms) {
            QJsonObject entry{{"room", room.player.roomName}, {"bass", room.sound.bass}, {"treble", room.sound.treble},
                {"loudness", room.sound.loudness}};
            if (room.sound.nightMode)
                entry.insert(QStringLiteral("nightMode"), *room.sound.nightMode);
            if (room.sound.speechEnhancement)
                entry.insert(QStringLiteral("speechEnhancement"), *room.sound.speechEnhancement);
            list.append(entry);
        }
        return JsonOutput::document(list);
    }
    Table table({QStringLiteral("ROOM"), QStringLiteral("BASS"), QStringLiteral("TREBLE"), QStringLiteral("LOUDNESS"),
        QStringLiteral("NIGHT"), QStringLiteral("SPEECH")});
    for (const Room &room : rooms)
        table.addRow({Table::printable(room.player.roomName), signedLevel(room.sound.bass), signedLevel(room.sound.treble),
            onOff(room.sound.loudness), onOff(room.sound.nightMode), onOff(room.sound.speechEnhancement)});
    return table.text().toUtf8();
}

QCoro::Task<QByteArray> set(SonosDevice player, EqRequest request)
{
    const RoomSoundControl control(player);
    switch (*request.setting) {
    case EqRequest::Setting::bass:
        co_await control.setBass(request.value);
        break;
    case EqRequest::Setting::treble:
        co_await control.setTreble(request.value);
        break;
    case EqRequest::Setting::loudness:
        co_await control.setLoudness(request.value != 0);
        break;
    case EqRequest::Setting::night:
    case EqRequest::Setting::speech: {
        const bool night = request.setting == EqRequest::Setting::night;
        const EQType type = night ? EQType::nightMode : EQType::speechEnhancement;
        // Asked first, so that a player without it gets a clear answer
        // rather than the fault it would give.
        const std::optional<bool> has = co_await control.eq(type);
        if (!has)
            throw CommandError("\"" + player.roomName.toStdString() + "\" has no "
                + (night ? "night sound" : "speech enhancement") + " (only home-theatre players have it).");
        co_await control.setEQ(type, request.value != 0);
        break;
    }
    }
    co_return QByteArray();
}

} // namespace

EqRequest eqRequest(const Options &options)
{
    EqRequest request;
    const QStringList &arguments = options.arguments;
    if (arguments.isEmpty())
        return request;
    request.room = arguments.first();
    if (request.room->trimmed().isEmpty())
        throw UsageError("eq needs a room name");
    if (arguments.size() == 1)
        return request;
    if (arguments.size() != 3)
        throw UsageError("eq ROOM takes a setting and its value, as in \"eq Kitchen bass 3\"");
    const QString name = arguments.at(1).trimmed().toLower();
    for (const auto &[settingName, setting] : settingNames)
        if (name == settingName)
            request.setting = setting;
    if (!request.setting)
        throw UsageError("eq sets bass, treble, loudness, night or speech, not \"" + arguments.at(1).toStdString() + "\"");
    const QString value = arguments.at(2).trimmed().toLower();
    if (isTone(*request.setting)) {
        const std::optional<qint64> level = SonosKit::Text::parseInteger(value);
        if (!level || *level < RoomSound::lowestTone || *level > RoomSound::highestTone)
            throw UsageError(name.toStdString() + " takes a level from -10 to 10, not \"" + arguments.at(2).toStdString() + "\"");
        request.value = int(*level);
    } else if (value == u"on" || value == u"off") {
        request.value = value == u"on" ? 1 : 0;
    } else {
        throw UsageError(name.toStdString() + " takes on or off, not \"" + arguments.at(2).toStdString() + "\"");
    }
    return request;
}

QCoro::Task<QByteArray> runEqCommand(Options options)
{
    const EqRequest request = eqRequest(options);
    const QList<ZoneGroup> groups = co_await householdGroups(options);
    QList<SonosDevice> players = roomsOf(groups);
    if (request.room) {
        std::optional<SonosDevice> player;
        for (const ZoneGroup &group : groups)
            if (!player)
                player = SonosKit::memberForRoom(group, *request.room);
        if (!player)
            throw SonosKit::SonosError::roomNotFound(*request.room);
        if (request.setting)
            co_return co_await set(*player, request);
        players = {*player};
    }
    QList<Room> rooms;
    for (const SonosDevice &player : std::as_const(players)) {
        // Made before the wait: a temporary in a wait's expression lives in
        // the coroutine's frame, which GCC 12 gets wrong.
        const RoomSoundControl control(player);
        const RoomSound sound = co_await control.read();
        rooms.append({player, sound});
    }
    co_return show(rooms, options.json);
}

} // namespace zonescout
