// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SecondHousehold.h"

#include "GeneratedTracks.h"
#include "HouseholdJson.h"

namespace playersim {

namespace {

constexpr int tuneIn = 254;
constexpr int spotify = 12;

SimPlayerRecord player(int number, const QString &room, const QString &model, const QString &modelNumber, int volume)
{
    SimPlayerRecord record;
    // Another range than the default household's: the two never share a player.
    record.uuid = HouseholdJson::uuidFor(quint64(0x5B2000 + number));
    record.roomName = room;
    record.modelName = model;
    record.modelNumber = modelNumber;
    record.softwareVersion = s1SoftwareVersion();
    record.volume = volume;
    return record;
}

SimFavorite station(const QString &title, const QString &stationId)
{
    SimFavorite f;
    f.kind = FavoriteKind::station;
    f.title = title;
    f.serviceId = tuneIn;
    f.uri = QStringLiteral("x-sonosapi-stream:%1?sid=254&flags=8224&sn=0").arg(stationId);
    f.itemId = QStringLiteral("F00092020") + stationId;
    f.description = QStringLiteral("TuneIn Station");
    f.albumArtURI = QStringLiteral("/getaa?s=1&u=") + stationId;
    return f;
}

} // namespace

QString s1SoftwareVersion()
{
    return QStringLiteral("57.3-81090");
}

HouseholdData secondHouseholdData()
{
    HouseholdData household;
    household.householdId = QStringLiteral("Sonos_pSimQuilloOlderSystem02");
    household.softwareGeneration = 1;

    SimPlayerRecord garage = player(1, QStringLiteral("Garage"), QStringLiteral("Sonos Play:5"), QStringLiteral("S5"), 45);
    SimPlayerRecord workshop = player(2, QStringLiteral("Workshop"), QStringLiteral("Sonos Play:1"), QStringLiteral("S1"), 30);
    SimPlayerRecord partner = player(3, QStringLiteral("Workshop"), QStringLiteral("Sonos Play:1"), QStringLiteral("S1"), 30);
    partner.invisible = true;
    partner.bondedTo = workshop.uuid;

    household.services = {
        {spotify, QStringLiteral("Spotify"), true},
        {tuneIn, QStringLiteral("TuneIn"), true},
    };

    SimPlaylist classics{1, QStringLiteral("Workshop Classics"), generatedTracks(spotify, 0x51A, 10)};
    household.playlists = {classics};

    household.favorites = {
        station(QStringLiteral("BBC World Service"), QStringLiteral("s24948")),
        station(QStringLiteral("Jazz24"), QStringLiteral("s34682")),
    };
    SimFavorite saved;
    saved.kind = FavoriteKind::sonosPlaylist;
    saved.title = classics.title;
    saved.uri = classics.uri();
    saved.itemId = classics.objectId();
    saved.description = QStringLiteral("Sonos Playlist");
    household.favorites.append(saved);

    garage.queue = classics.tracks.mid(0, 5);

    household.players = {garage, workshop, partner};
    household.groups = {
        {garage.uuid, {garage.uuid}},
        {workshop.uuid, {workshop.uuid, partner.uuid}},
    };
    return household;
}

} // namespace playersim
