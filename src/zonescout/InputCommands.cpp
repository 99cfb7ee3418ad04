// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "InputCommands.h"

#include "Commands.h"
#include "JsonOutput.h"

#include <SonosKit/GroupController.h>
#include <SonosKit/PlayerInputs.h>
#include <SonosKit/SonosError.h>

#include <QJsonArray>
#include <QJsonObject>

namespace zonescout {

using SonosKit::GroupController;
using SonosKit::InputSource;
using SonosKit::PlayerInputs;
using SonosKit::SonosDevice;
using SonosKit::ZoneGroup;

namespace {

struct Input {
    InputSource::Kind kind;
    SonosDevice player;

    QString name() const { return InputSource::nameFor(kind, player.roomName); }
};

QCoro::Task<PlayerInputs> inputsOf(SonosDevice player)
{
    const std::optional<PlayerInputs> inputs = co_await PlayerInputs::read(player.host);
    if (!inputs)
        throw CommandError("Could not read which inputs \"" + player.roomName.toStdString() + "\" has (its player at "
            + player.host.toStdString() + " did not describe itself).");
    co_return *inputs;
}

QCoro::Task<QByteArray> listInputs(Options options)
{
    const QList<ZoneGroup> groups = co_await householdGroups(options);
    QList<Input> inputs;
    for (const ZoneGroup &group : groups) {
        for (const SonosDevice &member : group.members) {
            // A player that does not answer has no input to offer now.
            const std::optional<PlayerInputs> found = co_await PlayerInputs::read(member.host);
            if (found && found->tv)
                inputs.append({InputSource::Kind::tv, member});
            if (found && found->lineIn)
                inputs.append({InputSource::Kind::lineIn, member});
        }
    }
    if (options.json) {
        QJsonArray list;
        for (const Input &input : inputs)
            list.append(QJsonObject{{"name", input.name()},
                {"kind", input.kind == InputSource::Kind::tv ? QStringLiteral("tv") : QStringLiteral("line-in")},
                {"room", input.player.roomName}, {"uuid", input.player.uuid},
                {"uri", InputSource{input.kind, input.player.uuid}.uri()}});
        co_return JsonOutput::document(list);
    }
    if (inputs.isEmpty())
        co_return QByteArrayLiteral("No player of the household has a line-in or a TV input.\n");
    QByteArray text;
    for (const Input &input : inputs)
        text += input.name().toUtf8() + '\n';
    co_return text;
}

QCoro::Task<QByteArray> playLineIn(Options options)
{
    const QList<ZoneGroup> groups = co_await householdGroups(options);
    const ZoneGroup group = selectedGroup(groups, options.room);
    const QString room = options.arguments.isEmpty() ? group.coordinator.roomName : options.arguments.first();
    std::optional<SonosDevice> source;
    for (const ZoneGroup &candidate : groups)
        if (!source)
            source = SonosKit::memberForRoom(candidate, room);
    if (!source)
        throw SonosKit::SonosError::roomNotFound(room);
    if (!(co_await inputsOf(*source)).lineIn)
        throw CommandError(
            "\"" + source->roomName.toStdString() + "\" has no line-in. Run `zonescout inputs` to list the household's inputs.");
    co_await GroupController(group).playLineIn(*source);
    co_return QByteArray();
}

QCoro::Task<QByteArray> playTV(Options options)
{
    const QList<ZoneGroup> groups = co_await householdGroups(options);
    const ZoneGroup group = selectedGroup(groups, options.room);
    // A soundbar plays its TV on the group it leads only.
    if (!(co_await inputsOf(group.coordinator)).tv)
        throw CommandError("No soundbar with a TV input leads the group \"" + group.displayName().toStdString()
            + "\". Run `zonescout inputs` to list the household's inputs.");
    co_await GroupController(group).playTV(group.coordinator);
    co_return QByteArray();
}

} // namespace

bool isInputCommand(const QString &command)
{
    return command == u"inputs" || command == u"line-in" || command == u"tv";
}

QCoro::Task<QByteArray> runInputCommand(Options options)
{
    if (options.command == u"inputs")
        return listInputs(std::move(options));
    if (options.command == u"line-in")
        return playLineIn(std::move(options));
    return playTV(std::move(options));
}

} // namespace zonescout
