// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Editing a group's queue at its coordinator's AVTransport: removing,
// moving and clearing entries, and saving the queue as a Sonos Playlist.
// Each edit names the queue's version it was made against (UpdateID); the
// transport goes on with the track it played wherever that entry moves.

#include "HouseholdState.h"
#include "SoapMessages.h"

namespace playersim {

namespace {

const QString transportUrn = QStringLiteral("urn:schemas-upnp-org:service:AVTransport:1");

// What a player answers for an edit made against an older queue: assumed
// (no capture shows the number); SonosKit reads the queue's version again
// rather than trusting it.
constexpr int staleQueueFault = 800;
// An entry the queue does not have.
constexpr int noSuchEntryFault = 701;

std::optional<qint64> integerArgument(const SoapCall &call, const QString &name)
{
    bool ok = false;
    const QString text = call.argument(name);
    const qint64 value = text.toLongLong(&ok);
    if (!ok || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return value;
}

// "Q:0/<n>", n counted from 1.
std::optional<qint64> entryNumber(const QString &objectId)
{
    const QString prefix = QStringLiteral("Q:0/");
    if (!objectId.startsWith(prefix))
        return std::nullopt;
    bool ok = false;
    const qint64 number = objectId.mid(prefix.size()).toLongLong(&ok);
    return ok ? std::optional(number) : std::nullopt;
}

} // namespace

bool HouseholdState::isQueueEdit(const QString &action)
{
    return action == u"RemoveTrackFromQueue" || action == u"ReorderTracksInQueue" || action == u"RemoveAllTracksFromQueue"
        || action == u"SaveQueue";
}

Answer HouseholdState::answerQueueEdit(SimPlayer &group, const SoapCall &call, Clock::time_point now)
{
    const QString &action = call.action;
    QList<SimTrack> &queue = group.queue;
    SimTransport &transport = group.transport;
    const Answer done = soapResponse(transportUrn, action, {});

    if (action == u"RemoveAllTracksFromQueue") {
        queue.clear();
        ++group.queueUpdateId;
        transport.queueCleared();
        return done;
    }
    if (action == u"SaveQueue") {
        const QString title = call.argument(QStringLiteral("Title")).trimmed();
        const QString target = call.argument(QStringLiteral("ObjectID"));
        if (title.isEmpty())
            return soapFault(402);
        SimPlaylist *saved = nullptr;
        if (target.isEmpty()) {
            int number = 0;
            for (const SimPlaylist &playlist : std::as_const(content.playlists))
                number = std::max(number, playlist.number);
            content.playlists.append(SimPlaylist{number + 1, title, {}});
            saved = &content.playlists.last();
        } else {
            // Saving over a playlist replaces its tracks.
            for (SimPlaylist &playlist : content.playlists)
                if (playlist.objectId() == target)
                    saved = &playlist;
            if (!saved)
                return soapFault(noSuchEntryFault);
            saved->title = title;
        }
        saved->tracks = queue;
        ++playlistsUpdateId;
        return soapResponse(transportUrn, action, {{QStringLiteral("AssignedObjectID"), saved->objectId()}});
    }

    // Removing and moving name the version they were made against; 0 edits
    // whatever the queue is now.
    const std::optional<qint64> updateId = integerArgument(call, QStringLiteral("UpdateID"));
    if (!updateId || *updateId < 0)
        return soapFault(402);
    if (*updateId != 0 && *updateId != group.queueUpdateId)
        return soapFault(staleQueueFault);
    const std::optional<int> playing = transport.queueIndex();

    if (action == u"RemoveTrackFromQueue") {
        const std::optional<qint64> number = entryNumber(call.argument(QStringLiteral("ObjectID")));
        if (!number)
            return soapFault(402);
        if (*number < 1 || *number > queue.size())
            return soapFault(noSuchEntryFault);
        const int index = int(*number - 1);
        queue.removeAt(index);
        ++group.queueUpdateId;
        if (playing && index < *playing)
            transport.queueTrackMoved(*playing - 1);
        else if (playing && index == *playing)
            transport.queueTrackRemoved(queue, now);
        return done;
    }

    // ReorderTracksInQueue: the block of NumberOfTracks from StartingIndex
    // goes before the entry InsertBefore (both counted from 1 in the queue as
    // it was; one past the end appends).
    const std::optional<qint64> start = integerArgument(call, QStringLiteral("StartingIndex"));
    const std::optional<qint64> count = integerArgument(call, QStringLiteral("NumberOfTracks"));
    const std::optional<qint64> before = integerArgument(call, QStringLiteral("InsertBefore"));
    if (!start || !count || !before)
        return soapFault(402);
    if (*start < 1 || *count < 1 || *start + *count - 1 > queue.size() || *before < 1 || *before > queue.size() + 1)
        return soapFault(noSuchEntryFault);
    const int first = int(*start - 1);
    const int length = int(*count);
    if (*before - 1 >= first && *before - 1 <= first + length)
        return done; // already there
    const int at = *before - 1 < first ? int(*before - 1) : int(*before - 1 - length);
    const QList<SimTrack> block = queue.mid(first, length);
    queue.remove(first, length);
    for (int i = 0; i < length; ++i)
        queue.insert(at + i, block.at(i));
    ++group.queueUpdateId;
    if (playing) {
        int index = *playing;
        if (index >= first && index < first + length) {
            index = at + (index - first);
        } else {
            if (index >= first + length)
                index -= length;
            if (index >= at)
                index += length;
        }
        transport.queueTrackMoved(index);
    }
    return done;
}

} // namespace playersim
