// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "HouseholdJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace playersim {

namespace {

// Thrown inside the reader only; parse() turns it into its error text.
struct Invalid {
    QString reason;
};

[[noreturn]] void fail(const QString &where, const QString &what)
{
    throw Invalid{where + QStringLiteral(": ") + what};
}

QString textAt(
    const QJsonObject &object, const QString &key, const QString &where, bool required = false, const QString &fallback = {})
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull()) {
        if (required)
            fail(where, QStringLiteral("\"%1\" is missing").arg(key));
        return fallback;
    }
    if (!value.isString())
        fail(where, QStringLiteral("\"%1\" must be a text").arg(key));
    return value.toString();
}

qint64 integerAt(const QJsonObject &object, const QString &key, const QString &where, qint64 minimum, qint64 maximum,
    std::optional<qint64> fallback)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull()) {
        if (!fallback)
            fail(where, QStringLiteral("\"%1\" is missing").arg(key));
        return *fallback;
    }
    const double number = value.toDouble(-1e300);
    if (!value.isDouble() || number != double(qint64(number)))
        fail(where, QStringLiteral("\"%1\" must be a whole number").arg(key));
    if (qint64(number) < minimum || qint64(number) > maximum)
        fail(where, QStringLiteral("\"%1\" must be between %2 and %3").arg(key).arg(minimum).arg(maximum));
    return qint64(number);
}

bool boolAt(const QJsonObject &object, const QString &key, const QString &where, bool fallback)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return fallback;
    if (!value.isBool())
        fail(where, QStringLiteral("\"%1\" must be true or false").arg(key));
    return value.toBool();
}

QJsonArray arrayAt(const QJsonObject &object, const QString &key, const QString &where)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isArray())
        fail(where, QStringLiteral("\"%1\" must be a list").arg(key));
    return value.toArray();
}

QJsonObject objectIn(const QJsonArray &array, qsizetype index, const QString &where)
{
    if (!array.at(index).isObject())
        fail(where, QStringLiteral("must be an object"));
    return array.at(index).toObject();
}

QList<SimTrack> readTracks(const QJsonObject &object, const QString &where)
{
    const QJsonArray array = arrayAt(object, QStringLiteral("tracks"), where);
    QList<SimTrack> tracks;
    tracks.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QString at = QStringLiteral("%1.tracks[%2]").arg(where).arg(i);
        const QJsonObject t = objectIn(array, i, at);
        SimTrack track;
        track.title = textAt(t, QStringLiteral("title"), at, true);
        track.artist = textAt(t, QStringLiteral("artist"), at);
        track.album = textAt(t, QStringLiteral("album"), at);
        track.uri = textAt(t, QStringLiteral("uri"), at, true);
        if (track.uri.isEmpty())
            fail(at, QStringLiteral("\"uri\" must not be empty"));
        track.durationSeconds = int(integerAt(t, QStringLiteral("duration"), at, 0, 24 * 3600, 0));
        track.albumArtURI = textAt(t, QStringLiteral("albumArtURI"), at);
        tracks.append(track);
    }
    return tracks;
}

QJsonArray writeTracks(const QList<SimTrack> &tracks)
{
    QJsonArray array;
    for (const SimTrack &track : tracks) {
        QJsonObject t{{QStringLiteral("title"), track.title}, {QStringLiteral("uri"), track.uri},
            {QStringLiteral("duration"), track.durationSeconds}};
        if (!track.artist.isEmpty())
            t.insert(QStringLiteral("artist"), track.artist);
        if (!track.album.isEmpty())
            t.insert(QStringLiteral("album"), track.album);
        if (!track.albumArtURI.isEmpty())
            t.insert(QStringLiteral("albumArtURI"), track.albumArtURI);
        array.append(t);
    }
    return array;
}

HouseholdData read(const QJsonObject &root)
{
    HouseholdData household;
    household.householdId = textAt(
        root, QStringLiteral("householdId"), QStringLiteral("household"), false, household.householdId);
    const QString form = textAt(
        root, QStringLiteral("topologyForm"), QStringLiteral("household"), false, QStringLiteral("current"));
    if (form == u"current")
        household.topologyForm = TopologyForm::current;
    else if (form == u"legacy")
        household.topologyForm = TopologyForm::legacy;
    else
        fail(QStringLiteral("household"), QStringLiteral("\"topologyForm\" must be \"current\" or \"legacy\""));
    household.softwareGeneration = int(
        integerAt(root, QStringLiteral("softwareGeneration"), QStringLiteral("household"), 1, 2, 2));

    const QJsonArray players = arrayAt(root, QStringLiteral("players"), QStringLiteral("household"));
    if (players.isEmpty())
        fail(QStringLiteral("household"), QStringLiteral("\"players\" must list at least one player"));
    QSet<QString> uuids;
    for (qsizetype i = 0; i < players.size(); ++i) {
        const QString at = QStringLiteral("players[%1]").arg(i);
        const QJsonObject p = objectIn(players, i, at);
        SimPlayerRecord player;
        player.uuid = textAt(p, QStringLiteral("uuid"), at, false, HouseholdJson::uuidFor(quint64(i) + 1));
        if (player.uuid.isEmpty() || player.uuid.contains(QLatin1Char(':')))
            fail(at, QStringLiteral("\"uuid\" must be a non-empty text without ':'"));
        if (uuids.contains(player.uuid))
            fail(at, QStringLiteral("the UUID %1 is used twice").arg(player.uuid));
        uuids.insert(player.uuid);
        player.roomName = textAt(p, QStringLiteral("room"), at, true);
        player.modelName = textAt(p, QStringLiteral("model"), at, false, QStringLiteral("Sonos One"));
        player.modelNumber = textAt(p, QStringLiteral("modelNumber"), at, false, QStringLiteral("S18"));
        player.softwareVersion = textAt(p, QStringLiteral("softwareVersion"), at, false, player.softwareVersion);
        player.invisible = boolAt(p, QStringLiteral("invisible"), at, false);
        player.bondedTo = textAt(p, QStringLiteral("bondedTo"), at);
        player.lineIn = boolAt(p, QStringLiteral("lineIn"), at, false);
        player.tv = boolAt(p, QStringLiteral("tv"), at, false);
        player.volume = int(integerAt(p, QStringLiteral("volume"), at, 0, 100, 20));
        player.muted = boolAt(p, QStringLiteral("muted"), at, false);
        {
            QJsonObject queueHolder{{QStringLiteral("tracks"), p.value(QStringLiteral("queue"))}};
            player.queue = readTracks(queueHolder, at + QStringLiteral(".queue"));
        }
        household.players.append(player);
    }
    for (qsizetype i = 0; i < household.players.size(); ++i) {
        const QString &bond = household.players[i].bondedTo;
        if (!bond.isEmpty() && (!uuids.contains(bond) || bond == household.players[i].uuid))
            fail(QStringLiteral("players[%1]").arg(i), QStringLiteral("\"bondedTo\" names no other player"));
    }

    const QJsonArray groups = arrayAt(root, QStringLiteral("groups"), QStringLiteral("household"));
    QSet<QString> grouped;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QString at = QStringLiteral("groups[%1]").arg(i);
        const QJsonObject g = objectIn(groups, i, at);
        SimGroupRecord group;
        group.coordinator = textAt(g, QStringLiteral("coordinator"), at, true);
        const QJsonArray members = arrayAt(g, QStringLiteral("members"), at);
        for (const QJsonValue &member : members) {
            if (!member.isString())
                fail(at, QStringLiteral("\"members\" must list UUIDs"));
            group.members.append(member.toString());
        }
        if (!group.members.contains(group.coordinator))
            group.members.prepend(group.coordinator);
        for (const QString &uuid : std::as_const(group.members)) {
            if (!uuids.contains(uuid))
                fail(at, QStringLiteral("no player has the UUID %1").arg(uuid));
            if (grouped.contains(uuid))
                fail(at, QStringLiteral("the player %1 is in two groups").arg(uuid));
            grouped.insert(uuid);
        }
        household.groups.append(group);
    }

    const QJsonArray services = arrayAt(root, QStringLiteral("services"), QStringLiteral("household"));
    QSet<int> serviceIds;
    for (qsizetype i = 0; i < services.size(); ++i) {
        const QString at = QStringLiteral("services[%1]").arg(i);
        const QJsonObject s = objectIn(services, i, at);
        SimService service;
        service.id = int(integerAt(s, QStringLiteral("id"), at, 1, 1 << 20, std::nullopt));
        service.name = textAt(s, QStringLiteral("name"), at, true);
        service.authorized = boolAt(s, QStringLiteral("authorized"), at, true);
        if (serviceIds.contains(service.id))
            fail(at, QStringLiteral("the service id %1 is used twice").arg(service.id));
        serviceIds.insert(service.id);
        household.services.append(service);
    }

    const QJsonArray favorites = arrayAt(root, QStringLiteral("favorites"), QStringLiteral("household"));
    for (qsizetype i = 0; i < favorites.size(); ++i) {
        const QString at = QStringLiteral("favorites[%1]").arg(i);
        const QJsonObject f = objectIn(favorites, i, at);
        SimFavorite favorite;
        const QString kind = textAt(f, QStringLiteral("kind"), at, true);
        if (!favoriteKindFromName(kind, &favorite.kind))
            fail(at, QStringLiteral("unknown kind \"%1\"").arg(kind));
        favorite.title = textAt(f, QStringLiteral("title"), at, true);
        favorite.uri = textAt(f, QStringLiteral("uri"), at);
        if (favorite.uri.isEmpty() != (favorite.kind == FavoriteKind::shortcut))
            fail(at, QStringLiteral("only a shortcut goes without \"uri\""));
        favorite.itemId = textAt(f, QStringLiteral("itemId"), at, true);
        favorite.description = textAt(f, QStringLiteral("description"), at);
        favorite.albumArtURI = textAt(f, QStringLiteral("albumArtURI"), at);
        favorite.serviceId = int(integerAt(f, QStringLiteral("serviceId"), at, 0, 1 << 20, 0));
        if (favorite.serviceId != 0 && !serviceIds.contains(favorite.serviceId))
            fail(at, QStringLiteral("no service has the id %1").arg(favorite.serviceId));
        favorite.tracks = readTracks(f, at);
        household.favorites.append(favorite);
    }

    const QJsonArray playlists = arrayAt(root, QStringLiteral("playlists"), QStringLiteral("household"));
    QSet<int> numbers;
    for (qsizetype i = 0; i < playlists.size(); ++i) {
        const QString at = QStringLiteral("playlists[%1]").arg(i);
        const QJsonObject p = objectIn(playlists, i, at);
        SimPlaylist playlist;
        playlist.number = int(integerAt(p, QStringLiteral("number"), at, 0, 1 << 20, std::nullopt));
        if (numbers.contains(playlist.number))
            fail(at, QStringLiteral("the playlist number %1 is used twice").arg(playlist.number));
        numbers.insert(playlist.number);
        playlist.title = textAt(p, QStringLiteral("title"), at, true);
        playlist.tracks = readTracks(p, at);
        household.playlists.append(playlist);
    }

    const QJsonArray albums = arrayAt(root, QStringLiteral("albums"), QStringLiteral("household"));
    for (qsizetype i = 0; i < albums.size(); ++i) {
        const QString at = QStringLiteral("albums[%1]").arg(i);
        const QJsonObject a = objectIn(albums, i, at);
        SimAlbum album;
        album.title = textAt(a, QStringLiteral("title"), at, true);
        album.artist = textAt(a, QStringLiteral("artist"), at);
        album.tracks = readTracks(a, at);
        household.albums.append(album);
    }
    return household;
}

} // namespace

QString HouseholdJson::uuidFor(quint64 number)
{
    // 000E58 is the prefix of Sonos's own hardware addresses.
    return QStringLiteral("RINCON_000E58%1").arg(number & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper() + QStringLiteral("01400");
}

std::optional<HouseholdData> HouseholdJson::parse(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        if (error)
            *error = QStringLiteral("not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
        return std::nullopt;
    }
    if (!document.isObject()) {
        if (error)
            *error = QStringLiteral("household: the top level must be an object");
        return std::nullopt;
    }
    try {
        return read(document.object());
    } catch (const Invalid &invalid) {
        if (error)
            *error = invalid.reason;
        return std::nullopt;
    }
}

QByteArray HouseholdJson::serialize(const HouseholdData &household)
{
    QJsonObject root;
    root.insert(QStringLiteral("householdId"), household.householdId);
    root.insert(QStringLiteral("topologyForm"),
        household.topologyForm == TopologyForm::legacy ? QStringLiteral("legacy") : QStringLiteral("current"));
    root.insert(QStringLiteral("softwareGeneration"), household.softwareGeneration);

    QJsonArray players;
    for (const SimPlayerRecord &player : household.players) {
        QJsonObject p{{QStringLiteral("uuid"), player.uuid}, {QStringLiteral("room"), player.roomName},
            {QStringLiteral("model"), player.modelName}, {QStringLiteral("modelNumber"), player.modelNumber},
            {QStringLiteral("softwareVersion"), player.softwareVersion}, {QStringLiteral("volume"), player.volume},
            {QStringLiteral("muted"), player.muted}};
        if (player.invisible)
            p.insert(QStringLiteral("invisible"), true);
        if (!player.bondedTo.isEmpty())
            p.insert(QStringLiteral("bondedTo"), player.bondedTo);
        if (player.lineIn)
            p.insert(QStringLiteral("lineIn"), true);
        if (player.tv)
            p.insert(QStringLiteral("tv"), true);
        if (!player.queue.isEmpty())
            p.insert(QStringLiteral("queue"), writeTracks(player.queue));
        players.append(p);
    }
    root.insert(QStringLiteral("players"), players);

    QJsonArray groups;
    for (const SimGroupRecord &group : household.groups)
        groups.append(QJsonObject{{QStringLiteral("coordinator"), group.coordinator},
            {QStringLiteral("members"), QJsonArray::fromStringList(group.members)}});
    root.insert(QStringLiteral("groups"), groups);

    QJsonArray services;
    for (const SimService &service : household.services) {
        QJsonObject s{{QStringLiteral("id"), service.id}, {QStringLiteral("name"), service.name}};
        if (!service.authorized)
            s.insert(QStringLiteral("authorized"), false);
        services.append(s);
    }
    root.insert(QStringLiteral("services"), services);

    QJsonArray favorites;
    for (const SimFavorite &favorite : household.favorites) {
        QJsonObject f{{QStringLiteral("kind"), favoriteKindName(favorite.kind)}, {QStringLiteral("title"), favorite.title},
            {QStringLiteral("itemId"), favorite.itemId}};
        if (!favorite.uri.isEmpty())
            f.insert(QStringLiteral("uri"), favorite.uri);
        if (!favorite.description.isEmpty())
            f.insert(QStringLiteral("description"), favorite.description);
        if (!favorite.albumArtURI.isEmpty())
            f.insert(QStringLiteral("albumArtURI"), favorite.albumArtURI);
        if (favorite.serviceId != 0)
            f.insert(QStringLiteral("serviceId"), favorite.serviceId);
        if (!favorite.tracks.isEmpty())
            f.insert(QStringLiteral("tracks"), writeTracks(favorite.tracks));
        favorites.append(f);
    }
    root.insert(QStringLiteral("favorites"), favorites);

    QJsonArray playlists;
    for (const SimPlaylist &playlist : household.playlists)
        playlists.append(QJsonObject{{QStringLiteral("number"), playlist.number}, {QStringLiteral("title"), playlist.title},
            {QStringLiteral("tracks"), writeTracks(playlist.tracks)}});
    root.insert(QStringLiteral("playlists"), playlists);

    QJsonArray albums;
    for (const SimAlbum &album : household.albums)
        albums.append(QJsonObject{{QStringLiteral("title"), album.title}, {QStringLiteral("artist"), album.artist},
            {QStringLiteral("tracks"), writeTracks(album.tracks)}});
    root.insert(QStringLiteral("albums"), albums);

    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace playersim
