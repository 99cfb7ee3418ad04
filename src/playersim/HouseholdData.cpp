// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "HouseholdData.h"

#include <QUrl>

#include <array>

namespace playersim {

namespace {

struct KindName {
    FavoriteKind kind;
    const char16_t *name;
};

constexpr std::array<KindName, 7> kindNames{{
    {FavoriteKind::station, u"station"},
    {FavoriteKind::radio, u"radio"},
    {FavoriteKind::streamingContainer, u"container"},
    {FavoriteKind::track, u"track"},
    {FavoriteKind::sonosPlaylist, u"sonosPlaylist"},
    {FavoriteKind::libraryAlbum, u"libraryAlbum"},
    {FavoriteKind::shortcut, u"shortcut"},
}};

} // namespace

QString favoriteKindName(FavoriteKind kind)
{
    for (const auto &entry : kindNames)
        if (entry.kind == kind)
            return QString::fromUtf16(entry.name);
    return {};
}

bool favoriteKindFromName(const QString &name, FavoriteKind *kind)
{
    for (const auto &entry : kindNames) {
        if (name == QString::fromUtf16(entry.name)) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

QString SimAlbum::objectId() const
{
    return QStringLiteral("A:ALBUM/") + QString::fromLatin1(QUrl::toPercentEncoding(title));
}

QString upnpClassOf(FavoriteKind kind)
{
    switch (kind) {
    case FavoriteKind::station:
        return QStringLiteral("object.item.audioItem.audioBroadcast");
    case FavoriteKind::radio:
        return QStringLiteral("object.item.audioItem.audioBroadcast.#artistRadio");
    case FavoriteKind::streamingContainer:
        return QStringLiteral("object.container.playlistContainer");
    case FavoriteKind::track:
        return QStringLiteral("object.item.audioItem.musicTrack");
    case FavoriteKind::sonosPlaylist:
        return QStringLiteral("object.container.playlistContainer");
    case FavoriteKind::libraryAlbum:
        return QStringLiteral("object.container.album.musicAlbum");
    case FavoriteKind::shortcut:
        return QStringLiteral("object.container");
    }
    return QStringLiteral("object.item");
}

QString serviceToken(int serviceId)
{
    return QStringLiteral("SA_RINCON%1_X_#Svc%1-0-Token").arg(serviceId * 256 + 7);
}

QString relativeArtworkFor(const QString &uri)
{
    return QStringLiteral("/getaa?s=1&u=") + QString::fromLatin1(QUrl::toPercentEncoding(uri));
}

} // namespace playersim
