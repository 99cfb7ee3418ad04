// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Commands.h"

#include "EqCommand.h"
#include "EventsCommand.h"
#include "HouseholdCommands.h"
#include "InputCommands.h"
#include "JsonOutput.h"
#include "PlayModeCommands.h"
#include "QueueCommands.h"
#include "TextOutput.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/GroupController.h>
#include <SonosKit/MusicServices.h>
#include <SonosKit/SonosDiscovery.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/Text.h>
#include <SonosKit/ZoneTopology.h>

#include <QJsonObject>

#include <limits>

namespace zonescout {

using SonosKit::ContentItem;
using SonosKit::GroupController;
using SonosKit::SonosError;
using SonosKit::ZoneGroup;

namespace {

std::optional<qint64> integerArgument(const QString &text)
{
    return SonosKit::Text::parseInteger(text);
}

// How `volume` was asked for: show, set to a level, or change by a delta.
struct VolumeRequest {
    enum class Kind { show, set, adjust } kind = Kind::show;
    int value = 0;
    // Every room at the level, rather than the group's volume keeping the
    // balance between rooms.
    bool levelAll = false;
};

// The flag of `volume N` that levels the rooms.
const QString levelAllFlag = QStringLiteral("--level-all");

VolumeRequest volumeRequest(const Options &options)
{
    QStringList arguments = options.arguments;
    const bool levelAll = arguments.removeAll(levelAllFlag) > 0;
    if (arguments.size() > 1)
        throw UsageError("volume takes one N, +N or -N (and --level-all with an N)");
    if (arguments.isEmpty()) {
        if (levelAll)
            throw UsageError("--level-all needs the level: volume --level-all N");
        return {};
    }
    const QString &text = arguments.first();
    const std::optional<qint64> number = integerArgument(text);
    const bool relative = text.startsWith(u'+') || text.startsWith(u'-');
    if (!number)
        throw UsageError("volume takes N, +N or -N (whole numbers), not \"" + text.toStdString() + "\"");
    if (relative) {
        if (levelAll)
            throw UsageError("--level-all goes with a level N; +N and -N change each room by N already");
        if (*number < -100 || *number > 100)
            throw UsageError("a volume change must be between -100 and +100");
        return {VolumeRequest::Kind::adjust, int(*number)};
    }
    if (*number > 100)
        throw UsageError("a volume must be between 0 and 100");
    return {VolumeRequest::Kind::set, int(*number), levelAll};
}

int seekSeconds(const Options &options)
{
    const std::optional<qint64> seconds = integerArgument(options.arguments.first());
    if (!seconds || *seconds < 0 || *seconds > std::numeric_limits<int>::max())
        throw UsageError("seek takes a whole number of seconds from the start of the track, not \""
            + options.arguments.first().toStdString() + "\"");
    return int(*seconds);
}

bool muteArgument(const Options &options)
{
    const QString &text = options.arguments.first();
    if (text == u"on")
        return true;
    if (text == u"off")
        return false;
    throw UsageError("mute takes on or off, not \"" + text.toStdString() + "\"");
}

int queuePosition(const Options &options)
{
    const std::optional<qint64> position = integerArgument(options.arguments.first());
    if (!position || *position < 1 || *position > std::numeric_limits<int>::max())
        throw UsageError(
            "play-track takes a queue position counting from 1, not \"" + options.arguments.first().toStdString() + "\"");
    return int(*position);
}

QCoro::Task<ZoneGroup> loadSelectedGroup(Options options)
{
    const QList<ZoneGroup> groups = co_await householdGroups(options);
    co_return selectedGroup(groups, options.room);
}

// An unreadable service list counts as empty, as it does in the application:
// provider names then fall back to "Service N".
QCoro::Task<QHash<qint64, QString>> serviceNames(QString host)
{
    return SonosKit::MusicServices(std::move(host)).serviceNamesOrEmpty();
}

// The favorite or Sonos Playlist named by its id or its exact title; ids win.
QCoro::Task<ContentItem> findItem(QString coordinatorHost, QString wanted)
{
    const SonosKit::ContentDirectory directory(coordinatorHost);
    QList<ContentItem> candidates = co_await directory.favorites();
    candidates += co_await directory.playlists();
    for (const ContentItem &item : candidates)
        if (item.id == wanted)
            co_return item;
    for (const ContentItem &item : candidates)
        if (item.title == wanted)
            co_return item;
    throw CommandError("No favorite or Sonos Playlist has the id or title \"" + wanted.toStdString()
        + "\". Run `zonescout favorites` or `zonescout playlists` to list them.");
}

// Streaming playlists and albums behind favorites are no objects of the
// player's content directory: it refuses to browse them (701), and only the
// queue can show their tracks. Say so instead of passing on a transport hint.
QCoro::Task<QList<ContentItem>> childrenOf(SonosKit::ContentDirectory directory, ContentItem item)
{
    try {
        co_return co_await directory.children(item);
    } catch (const SonosError &error) {
        if (error.kind() != SonosError::Kind::upnpFault || error.code() != 701 || !item.isContainer)
            throw;
    }
    throw CommandError("The player does not list the tracks of \"" + item.title.toStdString()
        + "\". `zonescout show-tracks` loads them into the queue (replacing it) and lists them.");
}

QByteArray itemsOutput(const Options &options, const QList<ContentItem> &items, const QHash<qint64, QString> &services)
{
    return options.json ? JsonOutput::document(JsonOutput::items(items, services)) : TextOutput::items(items, services).toUtf8();
}

QCoro::Task<QByteArray> listContent(Options options)
{
    const ZoneGroup group = co_await loadSelectedGroup(options);
    const SonosKit::ContentDirectory directory(group.coordinator.host);
    QList<ContentItem> items;
    if (options.command == u"favorites")
        items = co_await directory.favorites();
    else if (options.command == u"playlists")
        items = co_await directory.playlists();
    else
        items = co_await childrenOf(directory, co_await findItem(group.coordinator.host, options.arguments.first()));
    const QHash<qint64, QString> services = co_await serviceNames(group.coordinator.host);
    co_return itemsOutput(options, items, services);
}

QCoro::Task<QByteArray> transportCommand(Options options)
{
    const GroupController controller(co_await loadSelectedGroup(options));
    const QString &command = options.command;
    if (command == u"play")
        co_await controller.play();
    else if (command == u"pause")
        co_await controller.pause();
    else if (command == u"stop")
        co_await controller.stop();
    else if (command == u"next")
        co_await controller.next();
    else if (command == u"previous")
        co_await controller.previous();
    else if (command == u"toggle")
        co_await controller.togglePlayPause();
    else if (command == u"seek")
        co_await controller.seek(seekSeconds(options));
    else if (command == u"mute")
        co_await controller.setMuted(muteArgument(options));
    else if (command == u"play-track")
        co_await controller.playQueueTrack(queuePosition(options) - 1);
    co_return QByteArray();
}

QCoro::Task<QByteArray> status(Options options)
{
    const GroupController controller(co_await loadSelectedGroup(options));
    const SonosKit::PlaybackState state = co_await controller.state();
    co_return options.json ? JsonOutput::document(JsonOutput::state(state))
                           : TextOutput::state(state, controller.group()).toUtf8();
}

QCoro::Task<QByteArray> volume(Options options)
{
    const VolumeRequest request = volumeRequest(options);
    const GroupController controller(co_await loadSelectedGroup(options));
    switch (request.kind) {
    case VolumeRequest::Kind::set:
        if (request.levelAll)
            co_await controller.setVolume(request.value);
        else
            co_await controller.setBalancedVolume(request.value);
        co_return QByteArray();
    case VolumeRequest::Kind::adjust:
        co_await controller.adjustVolume(request.value);
        co_return QByteArray();
    case VolumeRequest::Kind::show:
        break;
    }
    const int level = co_await controller.volume();
    co_return options.json ? JsonOutput::document(QJsonObject{{"volume", level}}) : QByteArray::number(level) + '\n';
}

QCoro::Task<QByteArray> playContent(Options options)
{
    const GroupController controller(co_await loadSelectedGroup(options));
    const ContentItem item = co_await findItem(controller.group().coordinator.host, options.arguments.first());
    if (options.command == u"play-item") {
        co_await controller.playItem(item);
        co_return QByteArray();
    }
    const QList<ContentItem> queue = co_await controller.loadIntoQueue(item);
    const QHash<qint64, QString> services = co_await serviceNames(controller.group().coordinator.host);
    co_return itemsOutput(options, queue, services);
}

QCoro::Task<QByteArray> grouping(Options options)
{
    const QList<ZoneGroup> groups = co_await householdGroups(options);
    const QString room = options.arguments.first();
    const std::optional<ZoneGroup> target = SonosKit::groupForRoom(groups, room);
    if (!target)
        throw SonosError::roomNotFound(room);

    if (options.command == u"join") {
        const ZoneGroup selected = selectedGroup(groups, options.room);
        if (target->id == selected.id)
            throw CommandError(
                "\"" + room.toStdString() + "\" is already in the group \"" + selected.displayName().toStdString() + "\".");
        // The player that leads ROOM's group is the one that joins; the rest
        // of its old group stays together without it, as players do.
        co_await GroupController(selected).join(target->coordinator);
        co_return QByteArray();
    }

    // The group was found by this room, so one of its members has it.
    const std::optional<SonosKit::SonosDevice> leaving = SonosKit::memberForRoom(*target, room);
    co_await GroupController(*target).leave(leaving.value_or(target->coordinator));
    co_return QByteArray();
}

QCoro::Task<QByteArray> topology(Options options)
{
    const QList<ZoneGroup> groups = co_await householdGroups(options);
    co_return options.json ? JsonOutput::document(JsonOutput::topology(groups)) : TextOutput::topology(groups).toUtf8();
}

QCoro::Task<QByteArray> services(Options options)
{
    QString host;
    if (options.host)
        host = *options.host;
    else
        host = (co_await loadSelectedGroup(options)).coordinator.host;
    const QHash<qint64, QString> names = co_await SonosKit::MusicServices(host).serviceNames();
    co_return options.json ? JsonOutput::document(JsonOutput::services(names)) : TextOutput::services(names).toUtf8();
}

} // namespace

ZoneGroup selectedGroup(const QList<ZoneGroup> &groups, const std::optional<QString> &room)
{
    if (room) {
        if (std::optional<ZoneGroup> group = SonosKit::groupForRoom(groups, *room))
            return *group;
        throw SonosError::roomNotFound(*room);
    }
    if (groups.isEmpty())
        throw CommandError("The household has no groups to control.");
    return groups.first();
}

void validateArguments(const Options &options)
{
    const QString &command = options.command;
    if (command == u"events")
        parseEventsArguments(options.arguments);
    if (isPlayModeCommand(command))
        playModeRequest(options);
    if (command == u"eq")
        eqRequest(options);
    if (command == u"queue")
        queueRequest(options);
    if (command == u"volume")
        volumeRequest(options);
    else if (command == u"seek")
        seekSeconds(options);
    else if (command == u"mute")
        muteArgument(options);
    else if (command == u"play-track")
        queuePosition(options);
    else if ((command == u"join" || command == u"leave" || command == u"line-in") && !options.arguments.isEmpty()
        && options.arguments.first().trimmed().isEmpty())
        throw UsageError(command.toStdString() + " needs a room name");
    else if ((command == u"tracks" || command == u"play-item" || command == u"show-tracks")
        && options.arguments.first().isEmpty())
        throw UsageError(command.toStdString() + " needs a favorite's or playlist's id or title");
}

QCoro::Task<QByteArray> runCommand(Options options)
{
    validateArguments(options);
    const QString command = options.command;
    if (command == u"topology")
        return topology(std::move(options));
    if (command == u"services")
        return services(std::move(options));
    if (command == u"favorites" || command == u"playlists" || command == u"tracks")
        return listContent(std::move(options));
    if (command == u"queue")
        return runQueueCommand(std::move(options));
    if (command == u"status")
        return status(std::move(options));
    if (command == u"volume")
        return volume(std::move(options));
    if (command == u"play-item" || command == u"show-tracks")
        return playContent(std::move(options));
    if (command == u"join" || command == u"leave")
        return grouping(std::move(options));
    if (command == u"discover")
        return discoverHouseholds(std::move(options));
    if (isPlayModeCommand(command))
        return runPlayModeCommand(std::move(options));
    if (isInputCommand(command))
        return runInputCommand(std::move(options));
    if (command == u"eq")
        return runEqCommand(std::move(options));
    return transportCommand(std::move(options));
}

QCoro::Task<ZoneGroup> selectedGroup(Options options)
{
    co_return co_await loadSelectedGroup(std::move(options));
}

} // namespace zonescout
