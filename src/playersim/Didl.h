// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "HouseholdData.h"

namespace playersim {

// DIDL-Lite in the shape real players write it. Every function returns XML
// text; callers escape it once more when it travels inside a SOAP argument.
namespace Didl {

QString escapeAttribute(const QString &text);
// "H:MM:SS", hours unpadded, as AVTransport reports times.
QString duration(qint64 seconds);

QString open();
QString close();
// A whole document around the given elements.
QString document(const QString &elements);

// A track as the queue, a playlist or an album lists it; its art stays
// relative to the player, as real queues give it.
QString trackItem(const SimTrack &track, const QString &id, const QString &parentId);
// A favorite in FV:2, its r:resMD holding the DIDL-Lite to play it with.
// Station logos get `absoluteArtBase` ("http://ADDR:1400") in front.
QString favoriteItem(const SimFavorite &favorite, int index, const QString &absoluteArtBase);
// The DIDL-Lite a controller passes back with the favorite's URI.
QString favoriteMetadata(const SimFavorite &favorite, const QString &absoluteArtBase);
QString playlistContainer(const SimPlaylist &playlist);
QString albumContainer(const SimAlbum &album, const QString &coordinatorUuid);

} // namespace Didl

} // namespace playersim
