// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace SonosKit {

// One entry of the content directory: a favorite, a Sonos Playlist, a queue
// entry, a track, or the track now playing.
struct ContentItem {
    ContentItem() = default;
    ContentItem(QString id, QString title, QString uri, QString metadata, std::optional<QString> albumArtURI,
        std::optional<QString> artist, bool isContainer, std::optional<qint64> serviceID = std::nullopt)
        : id(std::move(id))
        , title(std::move(title))
        , uri(std::move(uri))
        , metadata(std::move(metadata))
        , albumArtURI(std::move(albumArtURI))
        , artist(std::move(artist))
        , isContainer(isContainer)
        , serviceID(serviceID)
    { }

    QString id; // the DIDL-Lite id, or the URI when there was none; identity in lists
    QString title; // never empty from the parser
    QString uri; // empty when there is nothing to play
    QString metadata; // DIDL-Lite to send along with `uri`
    std::optional<QString> albumArtURI; // as the player gave it, possibly relative
    std::optional<QString> artist;
    bool isContainer = false;
    std::optional<qint64> serviceID;

    bool isPlayable() const { return !uri.isEmpty(); }
    // The object under which this item's children are browsed.
    std::optional<QString> browseID() const;

    // The music service number from a URI's "sid" query parameter.
    static std::optional<qint64> serviceIDFromURI(QStringView uri);
    // The music service number encoded in a "SA_RINCON<n>" account token.
    static std::optional<qint64> serviceIDFromMetadata(QStringView metadata);

    // A name to group items by, from the household's service table.
    QString providerName(const QHash<qint64, QString> &serviceNames) const;

    friend bool operator==(const ContentItem &, const ContentItem &) = default;
};

size_t qHash(const ContentItem &item, size_t seed = 0);

} // namespace SonosKit

template<>
struct std::hash<SonosKit::ContentItem> {
    size_t operator()(const SonosKit::ContentItem &item) const noexcept { return SonosKit::qHash(item); }
};
