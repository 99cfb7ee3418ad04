// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The content a household offers: Browse over favorites, Sonos Playlists,
// the queue and the library, and the music-service list.

#include "Didl.h"
#include "HouseholdState.h"
#include "SoapMessages.h"

#include <QUrl>
#include <QXmlStreamReader>

#include <functional>

namespace playersim {

namespace {

const QString contentUrn = QStringLiteral("urn:schemas-upnp-org:service:ContentDirectory:1");

// One browsable list: how many children it has and how to write the n-th,
// so that a page of a 5000-track playlist writes only that page.
struct Listing {
    int total = 0;
    std::function<QString(int)> element;
    quint32 updateId = 1;
};

std::optional<uint> unsignedArgument(const SoapCall &call, const QString &name)
{
    bool ok = false;
    const QString text = call.argument(name);
    const uint value = text.toUInt(&ok);
    if (!ok || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return value;
}

bool isStreamURI(const QString &uri)
{
    return uri.startsWith(u"x-sonosapi-stream:") || uri.startsWith(u"x-sonosapi-radio:") || uri.startsWith(u"x-rincon-mp3radio:")
        || uri.startsWith(u"aac:") || uri.startsWith(u"x-sonosapi-hls:") || uri.startsWith(u"x-rincon-stream:");
}

// The few fields a controller's DIDL-Lite tells about an item.
SimTrack trackFromMetadata(const QString &metadata)
{
    SimTrack track;
    QXmlStreamReader reader(metadata);
    QString current;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        // Like a player, the simulator reads no DTD and so expands no entity.
        if (token == QXmlStreamReader::DTD)
            return {};
        if (token == QXmlStreamReader::StartElement) {
            current = reader.name().toString();
        } else if (token == QXmlStreamReader::Characters) {
            if (current == u"title" && track.title.isEmpty())
                track.title = reader.text().toString();
            else if (current == u"creator" && track.artist.isEmpty())
                track.artist = reader.text().toString();
            else if (current == u"album" && track.album.isEmpty())
                track.album = reader.text().toString();
            else if (current == u"albumArtURI" && track.albumArtURI.isEmpty())
                track.albumArtURI = reader.text().toString();
        } else if (token == QXmlStreamReader::EndElement) {
            current.clear();
        }
    }
    return track;
}

} // namespace

SimTrack HouseholdState::trackForLocked(const QString &uri, const QString &metadata) const
{
    auto search = [&uri](const QList<SimTrack> &tracks) -> std::optional<SimTrack> {
        for (const SimTrack &track : tracks)
            if (track.uri == uri)
                return track;
        return std::nullopt;
    };
    for (const auto &player : players)
        if (auto track = search(player->queue))
            return *track;
    for (const SimPlaylist &playlist : content.playlists)
        if (auto track = search(playlist.tracks))
            return *track;
    for (const SimAlbum &album : content.albums)
        if (auto track = search(album.tracks))
            return *track;
    for (const SimFavorite &favorite : content.favorites) {
        if (auto track = search(favorite.tracks))
            return *track;
    }
    SimTrack track = trackFromMetadata(metadata);
    track.uri = uri;
    for (const SimFavorite &favorite : content.favorites) {
        if (favorite.uri == uri) {
            if (track.title.isEmpty())
                track.title = favorite.title;
            if (track.albumArtURI.isEmpty())
                track.albumArtURI = favorite.albumArtURI;
        }
    }
    if (track.title.isEmpty())
        track.title = uri;
    // Unknown files get a typical song's length; streams never end.
    track.durationSeconds = isStreamURI(uri) ? 0 : 200;
    return track;
}

std::optional<QList<SimTrack>> HouseholdState::tracksBehindLocked(const QString &uri, const QString &metadata, int *refusal) const
{
    *refusal = 701;
    if (const qsizetype at = uri.indexOf(QStringLiteral("savedqueues.rsq#")); at >= 0) {
        bool ok = false;
        const int number = uri.mid(at + 16).toInt(&ok);
        for (const SimPlaylist &playlist : content.playlists)
            if (ok && playlist.number == number)
                return playlist.tracks;
        return std::nullopt;
    }
    if (uri.startsWith(u"x-rincon-playlist:")) {
        const QString id = uri.section(QLatin1Char('#'), 1);
        for (const SimAlbum &album : content.albums)
            if (album.objectId() == id || QStringLiteral("A:ALBUM/") + album.title == id)
                return album.tracks;
        return std::nullopt;
    }
    if (uri.startsWith(u"x-rincon-cpcontainer:")) {
        const QString key = uri.section(QLatin1Char('?'), 0, 0);
        for (const SimFavorite &favorite : content.favorites)
            if (!favorite.uri.isEmpty() && favorite.uri.section(QLatin1Char('?'), 0, 0) == key)
                return favorite.tracks;
        return std::nullopt;
    }
    if (isStreamURI(uri)) {
        // A station has no tracks to enqueue.
        *refusal = 714;
        return std::nullopt;
    }
    return QList<SimTrack>{trackForLocked(uri, metadata)};
}

Answer HouseholdState::answerMusicServices(const SoapCall &call)
{
    const QString urn = QStringLiteral("urn:schemas-upnp-org:service:MusicServices:1");
    if (call.action != u"ListAvailableServices")
        return soapFault(401);
    QString list = QStringLiteral("<?xml version=\"1.0\"?><Services SchemaVersion=\"1\">");
    QStringList types;
    for (const SimService &service : content.services) {
        const QString host = service.name.toLower().remove(QLatin1Char(' '));
        list += QStringLiteral(
            "<Service Capabilities=\"2563\" Id=\"%1\" MaxMessagingChars=\"0\" Name=\"%2\" "
            "SecureUri=\"https://sonos.%3.example/ws\" Uri=\"https://sonos.%3.example/ws\" "
            "Version=\"1.1\" ContainerType=\"MService\"><Policy Auth=\"DeviceLink\" PollInterval=\"30\"/>"
            "<Presentation><Strings Version=\"1\" Uri=\"https://sonos.%3.example/strings.xml\"/></Presentation>"
            "</Service>")
                    .arg(service.id)
                    .arg(Didl::escapeAttribute(service.name), Didl::escapeAttribute(host));
        types.append(QString::number(service.id * 256 + 7));
    }
    list += QStringLiteral("</Services>");
    return soapResponse(urn, call.action,
        {{QStringLiteral("AvailableServiceDescriptorList"), list},
            {QStringLiteral("AvailableServiceTypeList"), types.join(QLatin1Char(','))},
            {QStringLiteral("AvailableServiceListVersion"), QStringLiteral("RINCON_000E58SIM0001400:925")}});
}

Answer HouseholdState::answerContentDirectory(int player, const SoapCall &call)
{
    if (call.action == u"GetSystemUpdateID")
        return soapResponse(
            contentUrn, call.action, {{QStringLiteral("Id"), QString::number(favoritesUpdateId + playlistsUpdateId)}});
    if (call.action != u"Browse")
        return soapFault(401);

    const QString objectId = call.argument(QStringLiteral("ObjectID"));
    const QString flag = call.argument(QStringLiteral("BrowseFlag"));
    const std::optional<uint> start = unsignedArgument(call, QStringLiteral("StartingIndex"));
    const std::optional<uint> requested = unsignedArgument(call, QStringLiteral("RequestedCount"));
    if (objectId.isEmpty() || !start || !requested || (flag != u"BrowseDirectChildren" && flag != u"BrowseMetadata"))
        return soapFault(402);

    const SimPlayer &coordinator = coordinatorOfLocked(player);
    const QString artBase = QStringLiteral("http://%1:%2").arg(players[player]->address).arg(port);

    std::optional<Listing> listing;
    if (objectId == u"FV:2") {
        listing = Listing{int(content.favorites.size()),
            [this, artBase](int i) { return Didl::favoriteItem(content.favorites.at(i), i, artBase); }, favoritesUpdateId};
    } else if (objectId == u"SQ:") {
        listing = Listing{int(content.playlists.size()),
            [this](int i) { return Didl::playlistContainer(content.playlists.at(i)); }, playlistsUpdateId};
    } else if (objectId == u"Q:0") {
        const QList<SimTrack> *queue = &coordinator.queue;
        listing = Listing{int(queue->size()),
            [queue](int i) { return Didl::trackItem(queue->at(i), QStringLiteral("Q:0/%1").arg(i + 1), QStringLiteral("Q:0")); },
            coordinator.queueUpdateId};
    } else if (objectId == u"A:ALBUM") {
        const QString uuid = coordinator.record.uuid;
        listing = Listing{
            int(content.albums.size()), [this, uuid](int i) { return Didl::albumContainer(content.albums.at(i), uuid); }, 1};
    } else if (objectId.startsWith(u"SQ:")) {
        for (const SimPlaylist &playlist : content.playlists) {
            if (playlist.objectId() != objectId)
                continue;
            const QList<SimTrack> *tracks = &playlist.tracks;
            listing = Listing{int(tracks->size()),
                [tracks, objectId](
                    int i) { return Didl::trackItem(tracks->at(i), objectId + QStringLiteral("/%1").arg(i + 1), objectId); },
                playlistsUpdateId};
        }
    } else if (objectId.startsWith(u"A:ALBUM/")) {
        for (const SimAlbum &album : content.albums) {
            if (album.objectId() != objectId && QStringLiteral("A:ALBUM/") + album.title != objectId)
                continue;
            const QList<SimTrack> *tracks = &album.tracks;
            const QString parent = album.objectId();
            listing = Listing{int(tracks->size()),
                [tracks, parent](int i) {
                    QString id = tracks->at(i).uri;
                    id.replace(QStringLiteral("x-file-cifs:"), QStringLiteral("S:"));
                    return Didl::trackItem(tracks->at(i), id, parent);
                },
                1};
        }
    }
    // Streaming containers behind favorites, and anything else unknown: the
    // player has no such object, exactly as real ones answer.
    if (!listing)
        return soapFault(701, QStringLiteral("No such object"));

    if (flag == u"BrowseMetadata") {
        const QString element = QStringLiteral("<container id=\"%1\" parentID=\"0\" restricted=\"true\" childCount=\"%2\">"
                                               "<dc:title>%3</dc:title><upnp:class>object.container</upnp:class></container>")
                                    .arg(Didl::escapeAttribute(objectId))
                                    .arg(listing->total)
                                    .arg(escapeText(objectId));
        return soapResponse(contentUrn, call.action,
            {{QStringLiteral("Result"), Didl::document(element)}, {QStringLiteral("NumberReturned"), QStringLiteral("1")},
                {QStringLiteral("TotalMatches"), QStringLiteral("1")},
                {QStringLiteral("UpdateID"), QString::number(listing->updateId)}});
    }

    const int first = int(std::min<uint>(*start, uint(listing->total)));
    // RequestedCount 0 asks for everything, as the UPnP rules have it.
    const int count = *requested == 0 ? listing->total - first : int(std::min<uint>(*requested, uint(listing->total - first)));
    QString elements;
    for (int i = first; i < first + count; ++i)
        elements += listing->element(i);
    return soapResponse(contentUrn, call.action,
        {{QStringLiteral("Result"), Didl::document(elements)}, {QStringLiteral("NumberReturned"), QString::number(count)},
            {QStringLiteral("TotalMatches"), QString::number(listing->total)},
            {QStringLiteral("UpdateID"), QString::number(listing->updateId)}});
}

} // namespace playersim
