// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/PlayMode.h"
#include "SonosKit/PlaybackState.h"
#include "SonosKit/TrackMetadata.h"
#include "SonosKit/TransportActions.h"
#include "SonosKit/events/PropertySet.h"

#include <QString>

#include <optional>

namespace SonosKit {

// A change of a group's transport, from the coordinator's AVTransport
// events. Only what the event carried is present, so that an owner merges
// it into what it holds; the first event of a subscription carries
// everything.
struct TransportEvent {
    std::optional<TransportState> transportState; // absent too when the player sent a state this system does not know
    // Present when the event carried CurrentTrackMetaData; its fields are
    // then what the track (or, for a stream, the loaded media) says.
    std::optional<TrackMetadata> track;
    // Outer: the event carried CurrentTrackDuration; inner: the track has a
    // known length (a stream has none).
    std::optional<std::optional<qint64>> durationSeconds;
    std::optional<int> trackNumber;
    std::optional<QString> trackURI;
    std::optional<QString> transportURI;
    // Changes whenever the group's sleep timer is set, cancelled or runs
    // out, by any controller: the time left is then read afresh.
    std::optional<quint32> sleepTimerGeneration;
    // Shuffle and repeat, crossfade, and what the source allows of them;
    // absent as well when the player sent a value this system does not know.
    std::optional<PlayMode> playMode;
    std::optional<bool> crossfade;
    std::optional<ValidPlayModes> validPlayModes;
    // CurrentTransportActions: what the source allows now.
    std::optional<TransportActions> transportActions;
    // The queue's version, where a player tells it here as well as in its
    // Queue events.
    std::optional<quint32> queueUpdateID;

    // From the properties of an AVTransport event; throws
    // SonosError::malformedResponse when its LastChange cannot be read.
    static TransportEvent fromProperties(const PropertySet &properties, const QString &coordinatorHost);

    friend bool operator==(const TransportEvent &, const TransportEvent &) = default;
};

} // namespace SonosKit
