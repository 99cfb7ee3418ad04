// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/PlaybackState.h"
#include "SonosKit/Hashing.h"

namespace SonosKit {

std::optional<TransportState> transportStateFromRawValue(QStringView raw)
{
    for (TransportState state : {TransportState::playing, TransportState::paused, TransportState::stopped,
             TransportState::transitioning, TransportState::noMediaPresent}) {
        if (raw == rawValue(state))
            return state;
    }
    return std::nullopt;
}

QString rawValue(TransportState state)
{
    switch (state) {
    case TransportState::playing:
        return QStringLiteral("PLAYING");
    case TransportState::paused:
        return QStringLiteral("PAUSED_PLAYBACK");
    case TransportState::stopped:
        return QStringLiteral("STOPPED");
    case TransportState::transitioning:
        return QStringLiteral("TRANSITIONING");
    case TransportState::noMediaPresent:
        return QStringLiteral("NO_MEDIA_PRESENT");
    }
    return {};
}

bool isPlaying(TransportState state)
{
    return state == TransportState::playing || state == TransportState::transitioning;
}

size_t qHash(const PlaybackState &state, size_t seed)
{
    seed = qHash(state.transportState, seed);
    seed = hashOptional(state.title, seed);
    seed = hashOptional(state.artist, seed);
    seed = hashOptional(state.album, seed);
    seed = hashOptional(state.albumArtURI, seed);
    seed = hashOptional(state.positionSeconds, seed);
    seed = hashOptional(state.durationSeconds, seed);
    seed = hashOptional(state.sourceURI, seed);
    seed = hashOptional(state.trackNumber, seed);
    return qHashMulti(seed, state.volume, state.isMuted);
}

} // namespace SonosKit
