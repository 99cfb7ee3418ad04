// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/PlaybackState.h"
#include "SonosKit/ZoneGroup.h"
#include "SonosKit/events/TransportEvent.h"

#include <QHash>
#include <QString>

#include <optional>

// How the players' events fold into the snapshot the polls read, so that
// both feed the same stored state with the same meaning. Pure.
namespace PlaybackEvents {

// Counts of the events applied so far, per part of the snapshot. A read
// that started before an event counted here must not put back what that
// event replaced.
struct Marks {
    quint64 transport = 0; // state, track, duration
    quint64 track = 0; // a new track: the position restarted
    quint64 volume = 0;
    quint64 mute = 0;
    friend bool operator==(const Marks &, const Marks &) = default;
};

// `state` with what `event` carried; the rest is kept. A different track
// starts at zero: position is not evented, and the old one would be wrong.
// `trackChanged` tells whether it did.
SonosKit::PlaybackState withTransport(SonosKit::PlaybackState state, const SonosKit::TransportEvent &event, bool &trackChanged);

// The group volume as the state query computes it: the members' average,
// rounded down; nothing until every member's own volume is known.
std::optional<int> groupVolume(const SonosKit::ZoneGroup &group, const QHash<QString, int> &memberVolumes);

// A snapshot `read` by a request that began at `atStart`, with every part
// that an event changed since (up to `now`) taken from `stored` instead.
SonosKit::PlaybackState keptFromEvents(
    SonosKit::PlaybackState read, const SonosKit::PlaybackState &stored, const Marks &atStart, const Marks &now);

} // namespace PlaybackEvents
