// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Didl.h"

#include "SoapMessages.h"

namespace playersim {

namespace {

QString protocolInfoFor(const QString &uri)
{
    if (uri.startsWith(u"x-file-cifs:"))
        return QStringLiteral("x-file-cifs:*:audio/flac:*");
    if (uri.startsWith(u"x-sonos-spotify:"))
        return QStringLiteral("sonos.com-spotify:*:audio/x-spotify:*");
    if (uri.startsWith(u"x-sonos-http:"))
        return QStringLiteral("sonos.com-http:*:audio/mp4:*");
    if (uri.startsWith(u"x-rincon-cpcontainer:"))
        return QStringLiteral("x-rincon-cpcontainer:*:*:*");
    if (uri.startsWith(u"file:"))
        return QStringLiteral("file:*:audio/mpegurl:*");
    const qsizetype colon = uri.indexOf(QLatin1Char(':'));
    return (colon > 0 ? uri.left(colon) : QStringLiteral("http-get")) + QStringLiteral(":*:*:*");
}

QString element(const QString &name, const QString &text)
{
    return QLatin1Char('<') + name + QLatin1Char('>') + escapeText(text) + QStringLiteral("</") + name + QLatin1Char('>');
}

QString art(const QString &reference, const QString &absoluteArtBase)
{
    if (reference.startsWith(QLatin1Char('/')))
        return absoluteArtBase + reference;
    return reference;
}

} // namespace

QString Didl::escapeAttribute(const QString &text)
{
    QString escaped = escapeText(text);
    escaped.replace(QLatin1Char('"'), QStringLiteral("&quot;"));
    return escaped;
}

QString Didl::duration(qint64 seconds)
{
    seconds = std::max<qint64>(0, seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg((seconds % 3600) / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString Didl::open()
{
    return QStringLiteral("<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                          "xmlns:upnp=\"urn:schemas-upnp-org:metadata-1-0/upnp/\" "
                          "xmlns:r=\"urn:schemas-rinconnetworks-com:metadata-1-0/\" "
                          "xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\">");
}

QString Didl::close()
{
    return QStringLiteral("</DIDL-Lite>");
}

QString Didl::document(const QString &elements)
{
    return open() + elements + close();
}

QString Didl::trackItem(const SimTrack &track, const QString &id, const QString &parentId)
{
    QString xml = QStringLiteral("<item id=\"%1\" parentID=\"%2\" restricted=\"true\">")
                      .arg(escapeAttribute(id), escapeAttribute(parentId));
    xml += QStringLiteral("<res protocolInfo=\"%1\"").arg(escapeAttribute(protocolInfoFor(track.uri)));
    if (!track.isStream())
        xml += QStringLiteral(" duration=\"%1\"").arg(duration(track.durationSeconds));
    xml += QLatin1Char('>') + escapeText(track.uri) + QStringLiteral("</res>");
    if (!track.albumArtURI.isEmpty())
        xml += element(QStringLiteral("upnp:albumArtURI"), track.albumArtURI);
    xml += element(QStringLiteral("dc:title"), track.title);
    xml += element(QStringLiteral("upnp:class"), QStringLiteral("object.item.audioItem.musicTrack"));
    if (!track.artist.isEmpty())
        xml += element(QStringLiteral("dc:creator"), track.artist);
    if (!track.album.isEmpty())
        xml += element(QStringLiteral("upnp:album"), track.album);
    return xml + QStringLiteral("</item>");
}

QString Didl::favoriteMetadata(const SimFavorite &favorite, const QString &absoluteArtBase)
{
    const bool isContainer = upnpClassOf(favorite.kind).startsWith(u"object.container");
    const QString tag = isContainer ? QStringLiteral("container") : QStringLiteral("item");
    QString parent = QStringLiteral("-1");
    if (favorite.kind == FavoriteKind::sonosPlaylist)
        parent = QStringLiteral("SQ:");
    else if (favorite.kind == FavoriteKind::libraryAlbum)
        parent = QStringLiteral("A:ALBUM");
    QString xml = QStringLiteral("<%1 id=\"%2\" parentID=\"%3\" restricted=\"true\">")
                      .arg(tag, escapeAttribute(favorite.itemId), escapeAttribute(parent));
    xml += element(QStringLiteral("dc:title"), favorite.title);
    xml += element(QStringLiteral("upnp:class"), upnpClassOf(favorite.kind));
    if (favorite.kind == FavoriteKind::station && !favorite.albumArtURI.isEmpty())
        xml += element(QStringLiteral("upnp:albumArtURI"), art(favorite.albumArtURI, absoluteArtBase));
    if (favorite.serviceId != 0)
        xml += QStringLiteral("<desc id=\"cdudn\" nameSpace=\"urn:schemas-rinconnetworks-com:metadata-1-0/\">")
            + escapeText(serviceToken(favorite.serviceId)) + QStringLiteral("</desc>");
    else
        xml += QStringLiteral("<desc id=\"cdudn\" nameSpace=\"urn:schemas-rinconnetworks-com:metadata-1-0/\">"
                              "RINCON_AssociatedZPUDN</desc>");
    return document(xml + QStringLiteral("</") + tag + QLatin1Char('>'));
}

QString Didl::favoriteItem(const SimFavorite &favorite, int index, const QString &absoluteArtBase)
{
    QString xml = QStringLiteral("<item id=\"FV:2/%1\" parentID=\"FV:2\" restricted=\"false\">").arg(index + 1);
    xml += element(QStringLiteral("dc:title"), favorite.title);
    xml += element(QStringLiteral("upnp:class"), QStringLiteral("object.itemobject.item.sonos-favorite"));
    xml += element(QStringLiteral("r:ordinal"), QString::number(index));
    if (!favorite.uri.isEmpty())
        xml += QStringLiteral("<res protocolInfo=\"%1\">").arg(escapeAttribute(protocolInfoFor(favorite.uri)))
            + escapeText(favorite.uri) + QStringLiteral("</res>");
    if (!favorite.albumArtURI.isEmpty()) {
        const bool isStream = favorite.kind == FavoriteKind::station || favorite.kind == FavoriteKind::radio;
        xml += element(
            QStringLiteral("upnp:albumArtURI"), isStream ? art(favorite.albumArtURI, absoluteArtBase) : favorite.albumArtURI);
    }
    xml += element(QStringLiteral("r:type"),
        favorite.kind == FavoriteKind::shortcut ? QStringLiteral("shortcut") : QStringLiteral("instantPlay"));
    xml += element(QStringLiteral("r:description"), favorite.description);
    // Escaped here once, so that it arrives escaped twice inside Result.
    xml += element(QStringLiteral("r:resMD"), favoriteMetadata(favorite, absoluteArtBase));
    return xml + QStringLiteral("</item>");
}

QString Didl::playlistContainer(const SimPlaylist &playlist)
{
    QString xml = QStringLiteral("<container id=\"%1\" parentID=\"SQ:\" restricted=\"true\">").arg(playlist.objectId());
    xml += QStringLiteral("<res protocolInfo=\"file:*:audio/mpegurl:*\">") + escapeText(playlist.uri())
        + QStringLiteral("</res>");
    if (!playlist.tracks.isEmpty() && !playlist.tracks.first().albumArtURI.isEmpty())
        xml += element(QStringLiteral("upnp:albumArtURI"), playlist.tracks.first().albumArtURI);
    xml += element(QStringLiteral("dc:title"), playlist.title);
    xml += element(QStringLiteral("upnp:class"), QStringLiteral("object.container.playlistContainer"));
    return xml + QStringLiteral("</container>");
}

QString Didl::albumContainer(const SimAlbum &album, const QString &coordinatorUuid)
{
    QString xml
        = QStringLiteral("<container id=\"%1\" parentID=\"A:ALBUM\" restricted=\"true\">").arg(escapeAttribute(album.objectId()));
    xml += QStringLiteral("<res protocolInfo=\"x-rincon-playlist:*:*:*\">")
        + escapeText(QStringLiteral("x-rincon-playlist:%1#%2").arg(coordinatorUuid, album.objectId())) + QStringLiteral("</res>");
    if (!album.tracks.isEmpty() && !album.tracks.first().albumArtURI.isEmpty())
        xml += element(QStringLiteral("upnp:albumArtURI"), album.tracks.first().albumArtURI);
    xml += element(QStringLiteral("dc:title"), album.title);
    xml += element(QStringLiteral("upnp:class"), QStringLiteral("object.container.album.musicAlbum"));
    if (!album.artist.isEmpty())
        xml += element(QStringLiteral("dc:creator"), album.artist);
    return xml + QStringLiteral("</container>");
}

} // namespace playersim
