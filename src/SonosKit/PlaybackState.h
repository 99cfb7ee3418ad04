// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace SonosKit {

// The transport state as AVTransport reports it in CurrentTransportState.
enum class TransportState {
    playing,
    paused,
    stopped,
    transitioning,
    noMediaPresent,
};

// Exact, case-sensitive; anything else is no state, and each caller decides
// what that means.
std::optional<TransportState> transportStateFromRawValue(QStringView raw);
QString rawValue(TransportState state);
// A group that is buffering or changing tracks counts as playing.
bool isPlaying(TransportState state);

inline size_t qHash(TransportState state, size_t seed = 0)
{
    return ::qHash(int(state), seed);
}

// What one group is doing, as the state query last read it.
struct PlaybackState {
    TransportState transportState = TransportState::stopped;
    std::optional<QString> title;
    std::optional<QString> artist;
    std::optional<QString> album;
    std::optional<QString> albumArtURI; // absolute, resolved against the coordinator
    std::optional<qint64> positionSeconds;
    std::optional<qint64> durationSeconds;
    // The group's source (AVTransportURI): the queue, a stream, an input.
    std::optional<QString> sourceURI;
    // The track's place in the queue, from 1, while the queue is the source.
    std::optional<int> trackNumber;
    int volume = 0; // 0 to 100
    bool isMuted = false;

    friend bool operator==(const PlaybackState &, const PlaybackState &) = default;
};

size_t qHash(const PlaybackState &state, size_t seed = 0);

} // namespace SonosKit

template<>
struct std::hash<SonosKit::PlaybackState> {
    size_t operator()(const SonosKit::PlaybackState &state) const noexcept { return SonosKit::qHash(state); }
};
