// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "DefaultHousehold.h"

#include "Didl.h"
#include "GeneratedTracks.h"
#include "HouseholdJson.h"

namespace playersim {

namespace {

SimPlayerRecord player(int number, const QString &room, const QString &model, const QString &modelNumber, int volume)
{
    SimPlayerRecord record;
    record.uuid = HouseholdJson::uuidFor(quint64(0x5A1000 + number));
    record.roomName = room;
    record.modelName = model;
    record.modelNumber = modelNumber;
    record.volume = volume;
    return record;
}

SimFavorite favorite(
    FavoriteKind kind, const QString &title, int serviceId, const QString &uri, const QString &itemId, const QString &description)
{
    SimFavorite f;
    f.kind = kind;
    f.title = title;
    f.serviceId = serviceId;
    f.uri = uri;
    f.itemId = itemId;
    f.description = description;
    return f;
}

SimFavorite station(const QString &title, const QString &stationId, const QString &description = QStringLiteral("TuneIn Station"))
{
    SimFavorite f = favorite(FavoriteKind::station, title, 254,
        QStringLiteral("x-sonosapi-stream:%1?sid=254&flags=8224&sn=0").arg(stationId), QStringLiteral("F00092020") + stationId,
        description);
    // Stations carry their logo as an absolute address on the player.
    f.albumArtURI = QStringLiteral("/getaa?s=1&u=") + stationId;
    return f;
}

SimFavorite container(
    const QString &title, int serviceId, const QString &key, const QString &description, int trackCount, quint32 seed)
{
    const QString itemId = QStringLiteral("1006206c") + key;
    SimFavorite f = favorite(FavoriteKind::streamingContainer, title, serviceId,
        QStringLiteral("x-rincon-cpcontainer:%1?sid=%2&flags=8300&sn=1").arg(itemId).arg(serviceId), itemId, description);
    f.albumArtURI = relativeArtworkFor(f.uri);
    f.tracks = generatedTracks(serviceId, seed, trackCount);
    return f;
}

} // namespace

HouseholdData defaultHouseholdData()
{
    HouseholdData household;
    household.householdId = QStringLiteral("Sonos_pSimQuilloDefaultHouse01");

    SimPlayerRecord salon = player(1, QStringLiteral("Salon Café"), QStringLiteral("Sonos Arc"), QStringLiteral("S19"), 32);
    SimPlayerRecord kitchen = player(2, QStringLiteral("Küche"), QStringLiteral("Sonos One"), QStringLiteral("S18"), 24);
    SimPlayerRecord bedroom = player(3, QStringLiteral("寝室"), QStringLiteral("Sonos Era 100"), QStringLiteral("S39"), 12);
    SimPlayerRecord office = player(4, QStringLiteral("Büro 🎧"), QStringLiteral("Sonos Five"), QStringLiteral("S24"), 40);
    SimPlayerRecord terrace = player(5, QStringLiteral("Terrasse"), QStringLiteral("Sonos Move"), QStringLiteral("S17"), 55);
    // The soundbar's TV and the Five's line-in, so that the inputs show.
    salon.tv = true;
    office.lineIn = true;
    SimPlayerRecord bath = player(6, QStringLiteral("Bad & Sauna"), QStringLiteral("Sonos Roam"), QStringLiteral("S27"), 18);
    bath.muted = true;
    SimPlayerRecord sub = player(7, QStringLiteral("Salon Café"), QStringLiteral("Sonos Sub"), QStringLiteral("S25"), 32);
    SimPlayerRecord left = player(8, QStringLiteral("Salon Café"), QStringLiteral("Sonos One SL"), QStringLiteral("S38"), 32);
    SimPlayerRecord right = player(9, QStringLiteral("Salon Café"), QStringLiteral("Sonos One SL"), QStringLiteral("S38"), 32);
    for (SimPlayerRecord *satellite : {&sub, &left, &right}) {
        satellite->invisible = true;
        satellite->bondedTo = salon.uuid;
    }
    SimPlayerRecord bridge = player(10, QStringLiteral("BRIDGE"), QStringLiteral("Sonos Boost"), QStringLiteral("WD100"), 0);
    bridge.invisible = true;

    household.services = {
        {12, QStringLiteral("Spotify"), true},
        {204, QStringLiteral("Apple Music"), true},
        {254, QStringLiteral("TuneIn"), true},
        {303, QStringLiteral("Sonos Radio"), true},
        {201, QStringLiteral("Amazon Music"), true},
        {2, QStringLiteral("Deezer"), false},
        {284, QStringLiteral("YouTube Music"), true},
        {160, QStringLiteral("SoundCloud"), true},
    };

    // The library: the first album is the one real players showed with a
    // percent-encoded path, an ampersand and non-ASCII letters.
    SimAlbum troen{QStringLiteral("Troen & Ingen"), QStringLiteral("Søren Huss"), {}};
    const QStringList troenTitles{QStringLiteral("Ingen kender dagen"), QStringLiteral("Sange"), QStringLiteral("Troen"),
        QStringLiteral("Bag om os"), QStringLiteral("... Hvorfor?"), QStringLiteral("Ærlig talt"), QStringLiteral("Sidste sang")};
    for (int i = 0; i < troenTitles.size(); ++i)
        troen.tracks.append(libraryTrack(troen.artist, troen.title, i + 1, troenTitles[i], 180 + 17 * i));
    SimAlbum blue{QStringLiteral("Kind of Blue"), QStringLiteral("Miles Davis"), {}};
    const QStringList blueTitles{QStringLiteral("So What"), QStringLiteral("Freddie Freeloader"), QStringLiteral("Blue in Green"),
        QStringLiteral("All Blues"), QStringLiteral("Flamenco Sketches")};
    const int blueLengths[] = {562, 589, 337, 693, 566};
    for (int i = 0; i < blueTitles.size(); ++i)
        blue.tracks.append(libraryTrack(blue.artist, blue.title, i + 1, blueTitles[i], blueLengths[i]));
    SimAlbum tokyo{QStringLiteral("東京の夜"), QStringLiteral("くるり"), {}};
    const QStringList tokyoTitles{QStringLiteral("東京"), QStringLiteral("ばらの花"), QStringLiteral("ワンダーフォーゲル"),
        QStringLiteral("言葉はさんかく こころは四角")};
    for (int i = 0; i < tokyoTitles.size(); ++i)
        tokyo.tracks.append(libraryTrack(tokyo.artist, tokyo.title, i + 1, tokyoTitles[i], 240 + 11 * i));
    household.albums = {troen, blue, tokyo};

    SimPlaylist dinner{3, QStringLiteral("Dinner Party 🍷"), {}};
    dinner.tracks = blue.tracks + generatedTracks(12, 0xD1E, 14) + troen.tracks.mid(0, 4);
    SimPlaylist morning{7, QStringLiteral("Morgenroutine ☀️"), generatedTracks(204, 0x3019, 12)};
    SimPlaylist paris{12, QStringLiteral("Été à Paris"), generatedTracks(201, 0x9A815, 30)};
    household.playlists = {dinner, morning, paris};

    QList<SimFavorite> &f = household.favorites;
    f.append(station(QStringLiteral("Radio Paradise"), QStringLiteral("s13606")));
    f.append(station(QStringLiteral("FIP"), QStringLiteral("s15200")));
    f.append(station(QStringLiteral("BBC Radio 6 Music"), QStringLiteral("s44491")));
    f.append(station(QStringLiteral("Deutschlandfunk Kultur"), QStringLiteral("s42828")));
    f.append(station(QStringLiteral("J-WAVE 81.3 東京"), QStringLiteral("s24577")));
    f.append(station(QStringLiteral("Radio Nova ✨"), QStringLiteral("s6593")));
    {
        SimFavorite chill = favorite(FavoriteKind::radio, QStringLiteral("Sonos Presents: Chill ☕"), 303,
            QStringLiteral("x-sonosapi-radio:sonos%3a114?sid=303&flags=8296&sn=5"), QStringLiteral("100c206csonos%3a114"),
            QStringLiteral("Sonos Radio"));
        f.append(chill);
    }
    f.append(container(QStringLiteral("Discover Weekly"), 12, QStringLiteral("spotify%3aplaylist%3a37i9dQZEVXcJZyENOWUFo7"),
        QStringLiteral("Spotify Playlist"), 30, 0x12A));
    f.append(container(QStringLiteral("Café del Mar — Chillout"), 12,
        QStringLiteral("spotify%3aplaylist%3a6IKQrtMc4c00YzONcUt7QH"), QStringLiteral("Spotify Playlist"), 87, 0x12B));
    f.append(container(QStringLiteral("Lo-Fi Beats 🎧"), 12, QStringLiteral("spotify%3aplaylist%3a37i9dQZF1DWWQRwui0ExPn"),
        QStringLiteral("Spotify Playlist"), 120, 0x12C));
    {
        SimFavorite album = container(QStringLiteral("Kind of Blue (Legacy Edition)"), 12,
            QStringLiteral("spotify%3aalbum%3a1weenld61qoidwYuZ1GESA"), QStringLiteral("Spotify Album"), 9, 0x12D);
        album.uri.replace(QStringLiteral("1006206c"), QStringLiteral("1004206c"));
        album.itemId.replace(QStringLiteral("1006206c"), QStringLiteral("1004206c"));
        f.append(album);
    }
    {
        SimFavorite track = favorite(FavoriteKind::track, QStringLiteral("Bohemian Rhapsody"), 12,
            serviceTrackURI(12, QStringLiteral("4u7EnebtmKWzUH433cf5Qv")),
            QStringLiteral("10032020spotify%3atrack%3a4u7EnebtmKWzUH433cf5Qv"), QStringLiteral("Spotify Track"));
        track.albumArtURI = relativeArtworkFor(track.uri);
        f.append(track);
    }
    f.append(container(
        QStringLiteral("Rumours"), 204, QStringLiteral("album%3a1440831203"), QStringLiteral("Apple Music Album"), 11, 0x204A));
    f.append(container(QStringLiteral("A-List: Pop"), 204, QStringLiteral("playlist%3apl.5ee8333dbe944d9f9151e97d92d1ead9"),
        QStringLiteral("Apple Music Playlist"), 100, 0x204B));
    f.append(container(QStringLiteral("Amazon Top 50 — Deutschland"), 201, QStringLiteral("playlist%3aB0897ZMW4L"),
        QStringLiteral("Amazon Music Playlist"), 50, 0x201A));
    f.append(container(QStringLiteral("Supermix"), 284, QStringLiteral("ytm%3aRDTMAK5uy_kset8DisdE7LSD4TNjEVvrKRTmG7a56sY"),
        QStringLiteral("YouTube Music Playlist"), 60, 0x284A));
    f.append(container(QStringLiteral("Late Night Mix 🌙"), 160, QStringLiteral("soundcloud%3aplaylists%3a1043316112"),
        QStringLiteral("SoundCloud Playlist"), 24, 0x160A));
    // Deezer's account is gone: these still load but refuse to play.
    {
        SimFavorite flow = favorite(FavoriteKind::radio, QStringLiteral("Deezer Flow"), 2,
            QStringLiteral("x-sonosapi-radio:flow%3auser?sid=2&flags=8296&sn=9"), QStringLiteral("100c206cflow%3auser"),
            QStringLiteral("Deezer Radio"));
        f.append(flow);
    }
    f.append(container(QStringLiteral("Jazz Classics"), 2, QStringLiteral("playlist%3a1615514485"),
        QStringLiteral("Deezer Playlist"), 40, 0x2A));
    {
        SimFavorite saved = favorite(
            FavoriteKind::sonosPlaylist, dinner.title, 0, dinner.uri(), dinner.objectId(), QStringLiteral("Sonos Playlist"));
        saved.albumArtURI = dinner.tracks.first().albumArtURI;
        f.append(saved);
    }
    {
        SimFavorite album = favorite(FavoriteKind::libraryAlbum, troen.title, 0,
            QStringLiteral("x-rincon-playlist:%1#%2").arg(salon.uuid, troen.objectId()), troen.objectId(), troen.artist);
        album.albumArtURI = troen.tracks.first().albumArtURI;
        f.append(album);
    }
    f.append(favorite(FavoriteKind::shortcut, QStringLiteral("Spotify: Made For You"), 12, QString(),
        QStringLiteral("100a206cspotify%3aview%3amade-for-you"), QStringLiteral("Spotify")));
    f.append(station(QStringLiteral("KEXP 90.3 Seattle"), QStringLiteral("s32537")));

    salon.queue = dinner.tracks.mid(0, 15);
    bedroom.queue = tokyo.tracks;

    // Two alarms for the demo: weekday mornings with a station in the
    // bedroom, and a weekend chime in the kitchen that is switched off.
    SimAlarm weekdays;
    weekdays.id = 1;
    weekdays.startTime = QStringLiteral("07:00:00");
    weekdays.duration = QStringLiteral("01:00:00");
    weekdays.recurrence = QStringLiteral("WEEKDAYS");
    weekdays.roomUUID = bedroom.uuid;
    weekdays.programURI = f.first().uri;
    weekdays.programMetaData = Didl::favoriteMetadata(f.first(), QString());
    weekdays.playMode = QStringLiteral("NORMAL");
    weekdays.volume = 18;
    SimAlarm weekend;
    weekend.id = 2;
    weekend.startTime = QStringLiteral("09:30:00");
    weekend.duration = QStringLiteral("00:30:00");
    weekend.recurrence = QStringLiteral("WEEKENDS");
    weekend.enabled = false;
    weekend.roomUUID = kitchen.uuid;
    weekend.volume = 25;
    household.alarms = {weekdays, weekend};

    household.players = {salon, kitchen, bedroom, office, terrace, bath, sub, left, right, bridge};
    household.groups = {
        {salon.uuid, {salon.uuid, sub.uuid, left.uuid, right.uuid, kitchen.uuid}},
        {bedroom.uuid, {bedroom.uuid}},
        {office.uuid, {office.uuid, terrace.uuid, bath.uuid}},
        {bridge.uuid, {bridge.uuid}},
    };
    return household;
}

} // namespace playersim
