// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "HouseholdCommands.h"

#include "Commands.h"
#include "JsonOutput.h"
#include "Table.h"

#include <SonosKit/SonosDiscovery.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/ZoneTopology.h>

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

namespace zonescout {

using SonosKit::SonosHousehold;
using SonosKit::SonosDiscovery::FoundPlayer;

namespace {

// How many rooms a household's label names before "+N".
constexpr int namedRooms = 2;

QStringList roomsOf(const SonosHousehold &household)
{
    QStringList rooms;
    for (const SonosKit::ZoneGroup &group : household.groups)
        rooms += group.roomNames();
    return rooms;
}

// The room of the visible member at `host`; empty for an invisible one.
QString roomAt(const SonosHousehold &household, const QString &host)
{
    for (const SonosKit::ZoneGroup &group : household.groups)
        for (const SonosKit::SonosDevice &member : group.members)
            if (member.host == host)
                return member.roomName;
    return {};
}

} // namespace

QString householdLabel(const SonosHousehold &household)
{
    const QStringList rooms = roomsOf(household);
    QString label = rooms.mid(0, namedRooms).join(QStringLiteral(", "));
    if (rooms.size() > namedRooms)
        label += QStringLiteral(" +%1").arg(rooms.size() - namedRooms);
    if (household.generation)
        label.prepend(QStringLiteral("S%1 · ").arg(*household.generation));
    return label;
}

SonosHousehold chosenHousehold(const QList<SonosHousehold> &households, const std::optional<QString> &id, QString *note)
{
    if (id) {
        for (const SonosHousehold &household : households)
            if (household.id == *id)
                return household;
        throw CommandError(
            "No household " + id->toStdString() + " answered on this network; `zonescout discover` lists those that did.");
    }
    // Never empty: discovery throws when it finds no household.
    const SonosHousehold &mostRooms = households.first();
    if (households.size() > 1 && note) {
        *note = QStringLiteral("zonescout: %1 households found; using %2 (%3). Choose another with --household ID.")
                    .arg(households.size())
                    .arg(mostRooms.id, householdLabel(mostRooms));
    }
    return mostRooms;
}

QCoro::Task<QList<SonosKit::ZoneGroup>> householdGroups(Options options)
{
    if (options.host)
        co_return co_await SonosKit::ZoneTopology(*options.host).groups();
    const QList<SonosHousehold> households = co_await SonosKit::SonosDiscovery::findHouseholds(
        SonosKit::SonosDiscovery::householdSearchTimeout);
    QString note;
    SonosHousehold chosen = chosenHousehold(households, options.household, &note);
    if (!note.isEmpty())
        std::fputs(qPrintable(Table::printable(note) + u'\n'), stderr);
    co_return chosen.groups;
}

QCoro::Task<QByteArray> discoverHouseholds(Options options)
{
    const QList<FoundPlayer> players = co_await SonosKit::SonosDiscovery::findPlayers(
        SonosKit::SonosDiscovery::householdSearchTimeout);
    if (!options.json && players.isEmpty())
        throw CommandError("No Sonos players answered. Check that this machine is on the speakers' network, "
                           "or name a player with --host.");
    QList<SonosHousehold> households;
    try {
        households = co_await SonosKit::SonosDiscovery::householdsOf(players);
    } catch (const SonosKit::SonosError &) {
        // Players that answered are still worth listing, household or not.
    }
    if (options.household)
        households = {chosenHousehold(households, options.household, nullptr)};

    QJsonArray householdsJson;
    QString text;
    QStringList placed;
    for (const SonosHousehold &household : std::as_const(households)) {
        QJsonArray playersJson;
        text += Table::printable(household.id + QStringLiteral("  ") + householdLabel(household)) + u'\n';
        for (const FoundPlayer &player : players) {
            if (player.householdID != household.id)
                continue;
            placed.append(player.host);
            const QString room = roomAt(household, player.host);
            QJsonObject playerJson{{QStringLiteral("host"), player.host}};
            if (!room.isEmpty())
                playerJson.insert(QStringLiteral("room"), room);
            playersJson.append(playerJson);
            text += Table::printable(
                        QStringLiteral("  ") + player.host + (room.isEmpty() ? QString() : QStringLiteral("  ") + room))
                + u'\n';
        }
        householdsJson.append(QJsonObject{{QStringLiteral("id"), household.id},
            {QStringLiteral("generation"), household.generation ? QJsonValue(*household.generation) : QJsonValue()},
            {QStringLiteral("rooms"), QJsonArray::fromStringList(roomsOf(household))}, {QStringLiteral("players"), playersJson}});
    }
    QStringList unplaced;
    for (const FoundPlayer &player : players)
        if (!placed.contains(player.host) && !options.household)
            unplaced.append(player.host);
    if (!unplaced.isEmpty()) {
        text += QStringLiteral("No household known:\n");
        for (const QString &host : std::as_const(unplaced))
            text += QStringLiteral("  ") + host + u'\n';
    }
    if (options.json) {
        co_return JsonOutput::document(QJsonObject{
            {QStringLiteral("households"), householdsJson}, {QStringLiteral("unplaced"), QJsonArray::fromStringList(unplaced)}});
    }
    co_return text.toUtf8();
}

} // namespace zonescout
