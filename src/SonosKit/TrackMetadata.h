// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace SonosKit {

// What a person sees of the track now playing: read from the track's
// DIDL-Lite, with the loaded media's DIDL-Lite standing in for a stream
// whose track carries none. Shared by the state query (GetPositionInfo,
// GetMediaInfo) and the transport events (CurrentTrackMetaData,
// AVTransportURIMetaData), so both describe a track the same way.
struct TrackMetadata {
    std::optional<QString> title;
    std::optional<QString> artist;
    std::optional<QString> album;
    std::optional<QString> albumArtURI; // absolute, resolved against the coordinator

    // Unreadable metadata reads as none; never throws.
    static TrackMetadata fromDIDL(
        const std::optional<QString> &trackMetaData, const std::optional<QString> &mediaMetaData, const QString &coordinatorHost);

    friend bool operator==(const TrackMetadata &, const TrackMetadata &) = default;
};

} // namespace SonosKit
