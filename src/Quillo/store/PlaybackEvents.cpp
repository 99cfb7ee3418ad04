// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/PlaybackEvents.h"

using SonosKit::PlaybackState;

namespace PlaybackEvents {

PlaybackState withTransport(PlaybackState state, const SonosKit::TransportEvent &event, bool &trackChanged)
{
    trackChanged = false;
    if (event.transportState)
        state.transportState = *event.transportState;
    if (event.track) {
        trackChanged = event.track->title != state.title || event.track->artist != state.artist
            || event.track->album != state.album;
        state.title = event.track->title;
        state.artist = event.track->artist;
        state.album = event.track->album;
        state.albumArtURI = event.track->albumArtURI;
    }
    if (event.durationSeconds)
        state.durationSeconds = *event.durationSeconds;
    if (event.trackNumber)
        state.trackNumber = *event.trackNumber > 0 ? event.trackNumber : std::nullopt;
    if (event.transportURI)
        state.sourceURI = event.transportURI->isEmpty() ? std::nullopt : event.transportURI;
    if (trackChanged && state.positionSeconds)
        state.positionSeconds = 0;
    return state;
}

std::optional<int> groupVolume(const SonosKit::ZoneGroup &group, const QHash<QString, int> &memberVolumes)
{
    if (group.members.isEmpty())
        return std::nullopt;
    qint64 sum = 0;
    for (const SonosKit::SonosDevice &member : group.members) {
        const auto found = memberVolumes.constFind(member.host);
        if (found == memberVolumes.cend())
            return std::nullopt;
        sum += *found;
    }
    return int(sum / group.members.size());
}

PlaybackState keptFromEvents(PlaybackState read, const PlaybackState &stored, const Marks &atStart, const Marks &now)
{
    if (now.transport != atStart.transport) {
        read.transportState = stored.transportState;
        read.title = stored.title;
        read.artist = stored.artist;
        read.album = stored.album;
        read.albumArtURI = stored.albumArtURI;
        read.durationSeconds = stored.durationSeconds;
        read.sourceURI = stored.sourceURI;
        read.trackNumber = stored.trackNumber;
    }
    // The read's position belongs to the track it saw.
    if (now.track != atStart.track)
        read.positionSeconds = stored.positionSeconds;
    if (now.volume != atStart.volume)
        read.volume = stored.volume;
    if (now.mute != atStart.mute)
        read.isMuted = stored.isMuted;
    return read;
}

} // namespace PlaybackEvents
