// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "HouseholdGenerator.h"

#include "GeneratedTracks.h"
#include "HouseholdJson.h"
#include "SecondHousehold.h"

#include <array>

namespace playersim {

namespace {

constexpr std::array<const char *, 12> roomWords{
    "Living Room",
    "Küche",
    "Bedroom",
    "Office",
    "Bad",
    "Terrasse",
    "Salle à manger",
    "書斎",
    "Kids' Room",
    "Garage",
    "Studio 🎸",
    "Hall",
};
constexpr std::array<const char *, 6> models{"Sonos One", "Sonos Five", "Sonos Era 100", "Sonos Arc", "Sonos Move", "Sonos Roam"};
constexpr std::array<const char *, 6> modelNumbers{"S18", "S24", "S39", "S19", "S17", "S27"};

struct ServiceInfo {
    int id;
    const char *name;
    const char *kind; // as r:description words it
};
constexpr std::array<ServiceInfo, 6> serviceInfos{{
    {12, "Spotify", "Spotify"},
    {204, "Apple Music", "Apple Music"},
    {254, "TuneIn", "TuneIn"},
    {303, "Sonos Radio", "Sonos Radio"},
    {201, "Amazon Music", "Amazon Music"},
    {2, "Deezer", "Deezer"},
}};

} // namespace

HouseholdData generateHousehold(const GeneratorOptions &options)
{
    const int playerCount = std::max(1, options.players);
    const int favoriteCount = std::max(0, options.favorites);
    const int longest = std::max(1, options.playlistTracks);

    HouseholdData household;
    household.householdId = QStringLiteral("Sonos_pSimGenerated%1").arg(options.seed, 11, 10, QLatin1Char('0'));
    household.softwareGeneration = options.softwareGeneration == 1 ? 1 : 2;
    for (const ServiceInfo &info : serviceInfos)
        household.services.append({info.id, QString::fromUtf8(info.name), info.id != 2});

    for (int i = 0; i < playerCount; ++i) {
        SimPlayerRecord player;
        // Households of different seeds share no player while each has
        // fewer than 65,536 (0x10000) players.
        player.uuid = HouseholdJson::uuidFor(0x600000 + quint64(options.seed - 1) * 0x10000 + quint64(i));
        player.roomName
            = QStringLiteral("%1 %2").arg(QString::fromUtf8(roomWords[i % roomWords.size()])).arg(i / int(roomWords.size()) + 1);
        player.modelName = QString::fromUtf8(models[i % models.size()]);
        player.modelNumber = QString::fromUtf8(modelNumbers[i % modelNumbers.size()]);
        player.volume = 10 + (i * 7) % 60;
        if (household.softwareGeneration == 1)
            player.softwareVersion = s1SoftwareVersion();
        household.players.append(player);
    }
    // Groups of 1, 2, 3, 4, 1, 2, … players.
    for (int first = 0, size = 1; first < playerCount; first += size, size = size % 4 + 1) {
        SimGroupRecord group;
        group.coordinator = household.players[first].uuid;
        for (int m = first; m < std::min(playerCount, first + size); ++m)
            group.members.append(household.players[m].uuid);
        household.groups.append(group);
    }

    const int sizes[] = {longest, std::max(1, longest / 10), std::max(1, longest / 50), 12};
    for (int p = 0; p < 4; ++p) {
        SimPlaylist playlist;
        playlist.number = p + 1;
        playlist.title = QStringLiteral("Mix %1 — %2 Titel").arg(p + 1).arg(sizes[p]);
        playlist.tracks = generatedTracks(p % 2 ? 0 : 12, options.seed * 31 + quint32(p), sizes[p]);
        household.playlists.append(playlist);
    }
    SimAlbum album{QStringLiteral("Générique Album"), QStringLiteral("Ensemble Général"), {}};
    album.tracks = generatedTracks(0, options.seed + 7, 10);
    household.albums.append(album);

    for (int i = 0; i < favoriteCount; ++i) {
        const ServiceInfo &info = serviceInfos[i % serviceInfos.size()];
        SimFavorite favorite;
        favorite.serviceId = info.id;
        const QString number = QString::number(i + 1);
        switch (i % 7) {
        case 0:
        case 1:
            favorite.kind = FavoriteKind::station;
            favorite.serviceId = 254;
            favorite.title = QStringLiteral("Station %1 📻").arg(number);
            favorite.itemId = QStringLiteral("F00092020s%1").arg(10000 + i);
            favorite.uri = QStringLiteral("x-sonosapi-stream:s%1?sid=254&flags=8224&sn=0").arg(10000 + i);
            favorite.description = QStringLiteral("TuneIn Station");
            favorite.albumArtURI = QStringLiteral("/getaa?s=1&u=s%1").arg(10000 + i);
            break;
        case 2:
        case 3:
        case 4: {
            favorite.kind = FavoriteKind::streamingContainer;
            if (info.id == 254 || info.id == 303)
                favorite.serviceId = 12;
            favorite.title = QStringLiteral("Playlist %1 — Café").arg(number);
            favorite.itemId = QStringLiteral("1006206cplaylist%3a") + QString::number(900000 + i);
            favorite.uri
                = QStringLiteral("x-rincon-cpcontainer:%1?sid=%2&flags=8300&sn=1").arg(favorite.itemId).arg(favorite.serviceId);
            favorite.description = QStringLiteral("Playlist");
            favorite.albumArtURI = relativeArtworkFor(favorite.uri);
            favorite.tracks = generatedTracks(favorite.serviceId, options.seed * 1000 + quint32(i), 20 + i % 60);
            break;
        }
        case 5:
            favorite.kind = FavoriteKind::sonosPlaylist;
            favorite.serviceId = 0;
            favorite.title = household.playlists[i % household.playlists.size()].title;
            favorite.itemId = household.playlists[i % household.playlists.size()].objectId();
            favorite.uri = household.playlists[i % household.playlists.size()].uri();
            favorite.description = QStringLiteral("Sonos Playlist");
            break;
        default:
            favorite.kind = FavoriteKind::radio;
            favorite.serviceId = 303;
            favorite.title = QStringLiteral("Radio %1 ✨").arg(number);
            favorite.itemId = QStringLiteral("100c206csonos%3a") + number;
            favorite.uri = QStringLiteral("x-sonosapi-radio:sonos%3a%1?sid=303&flags=8296&sn=5").arg(number);
            favorite.description = QStringLiteral("Sonos Radio");
            break;
        }
        household.favorites.append(favorite);
    }

    for (const SimGroupRecord &group : std::as_const(household.groups)) {
        for (SimPlayerRecord &player : household.players)
            if (player.uuid == group.coordinator)
                player.queue = household.playlists[3].tracks;
    }
    return household;
}

} // namespace playersim
