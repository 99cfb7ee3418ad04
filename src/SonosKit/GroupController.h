// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/ContentItem.h"
#include "SonosKit/PlayMode.h"
#include "SonosKit/PlaybackState.h"
#include "SonosKit/PlayerInputs.h"
#include "SonosKit/RoomLevel.h"
#include "SonosKit/SOAPClient.h"
#include "SonosKit/SonosDevice.h"
#include "SonosKit/TransportActions.h"
#include "SonosKit/ZoneGroup.h"

#include <QCoroTask>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

namespace SonosKit {

// A group's sleep timer as its coordinator reports it. The generation changes
// with every set, cancel and run-out, whichever controller caused it.
struct SleepTimer {
    // A player keeps a timer up to 23:59:59.
    static constexpr std::chrono::seconds longest{24 * 3600 - 1};

    std::optional<std::chrono::seconds> remaining; // none when no timer runs
    quint32 generation = 0;

    friend bool operator==(const SleepTimer &, const SleepTimer &) = default;
};

// The handle through which one speaker group is driven: its playback
// snapshot, transport, volume, grouping and playing content. A small value
// made afresh for each operation; it keeps no connection or cache, and every
// operation works on its own copy, so the handle may be dropped while an
// operation is still running.
//
// Transport and queue requests go to the coordinator; join and leave go to
// the player that moves. The group's volume and mute are the coordinator's
// GroupRenderingControl, which keeps the balance between rooms; a player
// without that service is read as the members' average and written member by
// member.
class GroupController
{
public:
    explicit GroupController(ZoneGroup group);

    const ZoneGroup &group() const { return m_group; }
    // Addressed to the coordinator, on port 1400 with the usual six seconds.
    SOAPClient coordinator;

    // The group's snapshot from five requests that run at the same time. The
    // first failure, in the order transport, position, media, volume, mute,
    // fails the whole call, and no request outlives it. Cancelling `cancel`
    // aborts every request still running.
    QCoro::Task<PlaybackState> state(CancellationToken cancel = {}) const;

    // A cover-art reference made fetchable: relative references are resolved
    // against the coordinator on port 1400; absolute http(s) URLs pass.
    static std::optional<QString> absoluteArtworkURL(const std::optional<QString> &path, const QString &coordinatorHost);

    // Transport, all on the coordinator.
    QCoro::Task<void> play() const;
    QCoro::Task<void> pause() const;
    QCoro::Task<void> stop() const;
    QCoro::Task<void> next() const;
    QCoro::Task<void> previous() const;
    // An unrecognised state reads as stopped.
    QCoro::Task<TransportState> transportState() const;
    // Pause while playing or transitioning, Play otherwise.
    QCoro::Task<void> togglePlayPause() const;
    // Whole seconds from the start of the track; negative means the start.
    QCoro::Task<void> seek(int seconds) const;
    // The group pauses once `length` has passed; zero cancels. Longer than
    // 23:59:59 or negative fails with sleepTimerOutOfRange before anything
    // is sent.
    QCoro::Task<void> configureSleepTimer(std::chrono::seconds length) const;
    // A time left the player writes unreadably counts as no timer.
    QCoro::Task<SleepTimer> sleepTimer(CancellationToken cancel = {}) const;

    // Shuffle, repeat and crossfade, at the coordinator. A mode the loaded
    // source does not allow (radio, line-in, TV) fails with
    // playModeNotAllowed.
    QCoro::Task<void> setPlayMode(PlayMode mode) const;
    // GetTransportSettings; a mode this system does not know reads as NORMAL.
    QCoro::Task<PlayMode> playMode(CancellationToken cancel = {}) const;
    QCoro::Task<void> setCrossfade(bool on) const;
    QCoro::Task<bool> crossfade(CancellationToken cancel = {}) const;
    // What the loaded source allows, from its URI (GetMediaInfo): for when
    // no event has listed the valid modes.
    QCoro::Task<ValidPlayModes> validPlayModes(CancellationToken cancel = {}) const;

    // The group's volume: the players' own GroupVolume, or the members'
    // average from a player that has no group rendering service.
    QCoro::Task<int> volume(CancellationToken cancel = {}) const;
    // The coordinator's own mute.
    QCoro::Task<bool> isMuted(CancellationToken cancel = {}) const;
    // Every member ends at the same level, clamped to 0 to 100: the
    // balance between rooms is lost.
    QCoro::Task<void> setVolume(int level) const;
    // The group to `level` (clamped to 0 to 100) keeping the balance between
    // rooms: a snapshot of every member's level, then the group volume, which
    // the players scale each member by (scaledRoomVolume).
    QCoro::Task<void> setBalancedVolume(int level) const;
    // Each member applies `delta` to its own volume.
    QCoro::Task<void> adjustVolume(int delta) const;
    // Every member, in turn.
    QCoro::Task<void> setMuted(bool muted) const;

    // The group rendering service at the coordinator, one request each.
    QCoro::Task<int> groupVolume(CancellationToken cancel = {}) const;
    QCoro::Task<bool> isGroupMuted(CancellationToken cancel = {}) const;
    QCoro::Task<void> setGroupMuted(bool muted) const;
    // Remembers each member's level as the base of the next setGroupVolume.
    QCoro::Task<void> snapshotGroupVolume() const;
    QCoro::Task<void> setGroupVolume(int level) const;

    // One room's own volume and mute, at that player's rendering service.
    QCoro::Task<void> setVolumeOnDevice(int level, SonosDevice device) const;
    QCoro::Task<void> setMutedOnDevice(bool muted, SonosDevice device) const;
    // Every member's volume and mute, read at the same time, in member order.
    QCoro::Task<QList<RoomLevel>> roomLevels(CancellationToken cancel = {}) const;

    // Grouping: the request goes to the player that moves.
    QCoro::Task<void> join(SonosDevice device) const;
    QCoro::Task<void> leave(SonosDevice device) const;

    // Inputs: `source`'s line-in, or the TV of the soundbar that leads the
    // group, set with empty metadata and played. The players refuse an input
    // the player lacks (UPnP 714); a fault to Play on a TV set is no failure.
    QCoro::Task<void> playLineIn(SonosDevice source) const;
    QCoro::Task<void> playTV(SonosDevice soundbar) const;
    // GetCurrentTransportActions: what the current source allows.
    QCoro::Task<TransportActions> transportActions(CancellationToken cancel = {}) const;

    // Content and the queue.
    QCoro::Task<void> setTransportURI(QString uri, QString metadata) const;
    // A track or stream is set and played; a container replaces the queue,
    // which then plays from its first track. An item without a URI fails with
    // notPlayable before anything is sent.
    QCoro::Task<void> playItem(ContentItem item) const;
    // Replaces the queue with the item's tracks and returns the new queue
    // (at most about a thousand entries); nothing starts playing.
    QCoro::Task<QList<ContentItem>> loadIntoQueue(ContentItem item) const;
    // `index` counts from 0, as the queue lists its entries.
    QCoro::Task<void> playQueueTrack(int index) const;
    // Queue edits, positions counted from 0. Removing and moving name the
    // queue's version (QueuePage::updateID) they were made against; when
    // the queue has changed since, the player refuses and the call fails
    // with queueChanged, nothing changed. 0 edits whatever the queue is now.
    // The track that plays goes on playing wherever its entry moves.
    QCoro::Task<void> removeQueueTrack(int index, quint32 updateID) const;
    // The entry at `from` ends at `to`.
    QCoro::Task<void> moveQueueTrack(int from, int to, quint32 updateID) const;
    QCoro::Task<void> clearQueue() const;
    // Saves the queue as a new Sonos Playlist and returns its id ("SQ:12").
    // An empty title fails with playlistTitleMissing before anything is sent.
    QCoro::Task<QString> saveQueue(QString title) const;

    // "x-rincon-queue:<coordinator UUID>#0", the group's own queue as a source.
    QString queueURI() const;

private:
    ZoneGroup m_group;
};

} // namespace SonosKit
