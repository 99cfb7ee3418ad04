// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/TrackMetadata.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/GroupController.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"

namespace SonosKit {

namespace {

// The first item of a DIDL-Lite text; unreadable metadata is no item.
std::optional<ContentItem> firstItem(const std::optional<QString> &didl)
{
    if (!didl || didl->isEmpty())
        return std::nullopt;
    try {
        const QList<ContentItem> items = ContentDirectory::parseDIDL(*didl);
        if (!items.isEmpty())
            return items.first();
    } catch (const SonosError &) {
    }
    return std::nullopt;
}

} // namespace

TrackMetadata TrackMetadata::fromDIDL(
    const std::optional<QString> &trackMetaData, const std::optional<QString> &mediaMetaData, const QString &coordinatorHost)
{
    std::optional<ContentItem> current = firstItem(trackMetaData);
    if (!current)
        current = firstItem(mediaMetaData);

    TrackMetadata metadata;
    if (current) {
        metadata.title = current->title;
        metadata.albumArtURI = GroupController::absoluteArtworkURL(current->albumArtURI, coordinatorHost);
    }
    // Artist and album describe the track, never the station behind it.
    if (trackMetaData && !trackMetaData->isEmpty()) {
        try {
            const XMLNode track = XMLText::document(*trackMetaData).root();
            if (!track.isNull()) {
                metadata.artist = XMLText::text(track, u"creator");
                metadata.album = XMLText::text(track, u"album");
            }
        } catch (const SonosError &) {
        }
    }
    return metadata;
}

} // namespace SonosKit
