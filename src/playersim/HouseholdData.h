// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace playersim {

// One playable track as the household stores it: in a queue, a Sonos
// Playlist, a library album or behind a streaming favorite.
struct SimTrack {
    QString title;
    QString artist;
    QString album;
    QString uri;
    int durationSeconds = 0; // 0 for a stream, which has no end
    QString albumArtURI; // "/getaa?…" relative to the player, absolute, or empty

    bool isStream() const { return durationSeconds <= 0; }
    bool operator==(const SimTrack &) const = default;
};

// One player as configured: identity, model and its state when the
// household starts.
struct SimPlayerRecord {
    QString uuid; // "RINCON_<12 hex>01400"
    QString roomName;
    QString modelName; // "Sonos One"
    QString modelNumber; // "S18"
    QString softwareVersion = QStringLiteral("79.1-56030");
    // Subs, surrounds and bridges are members nobody controls directly.
    bool invisible = false;
    // A satellite (sub, surround) moves with the player it is bonded to.
    QString bondedTo;
    // Its inputs, listed in its device description: a line-in (AudioIn),
    // and the TV of a soundbar (HTControl, HDMI ARC or optical).
    bool lineIn = false;
    bool tv = false;
    int volume = 20;
    bool muted = false;
    QList<SimTrack> queue;

    bool operator==(const SimPlayerRecord &) const = default;
};

// A group by UUIDs; the coordinator is one of the members.
struct SimGroupRecord {
    QString coordinator;
    QStringList members;

    bool operator==(const SimGroupRecord &) const = default;
};

struct SimService {
    int id = 0;
    QString name;
    // An account the household lost: its favorites still load but never play.
    bool authorized = true;

    bool operator==(const SimService &) const = default;
};

enum class FavoriteKind {
    station, // x-sonosapi-stream:
    radio, // x-sonosapi-radio: (an artist or mood station)
    streamingContainer, // x-rincon-cpcontainer: playlist or album of a service
    track, // one streaming track
    sonosPlaylist, // file:///jffs/settings/savedqueues.rsq#N
    libraryAlbum, // x-rincon-playlist:…#A:ALBUM/…
    shortcut, // a browse shortcut: no res at all
};

QString favoriteKindName(FavoriteKind kind);
bool favoriteKindFromName(const QString &name, FavoriteKind *kind);

struct SimFavorite {
    FavoriteKind kind = FavoriteKind::station;
    QString title;
    QString uri; // empty for a shortcut
    QString itemId; // id of the item inside r:resMD, where its children are browsed
    QString description; // r:description, e.g. "Spotify Playlist"
    QString albumArtURI;
    int serviceId = 0; // 0: not from a music service
    // What AddURIToQueue expands a streaming container into; the content
    // directory never lists these, as with real players.
    QList<SimTrack> tracks;

    bool operator==(const SimFavorite &) const = default;
};

// A Sonos Playlist: SQ:<number>.
struct SimPlaylist {
    int number = 0;
    QString title;
    QList<SimTrack> tracks;

    QString objectId() const { return QStringLiteral("SQ:%1").arg(number); }
    QString uri() const { return QStringLiteral("file:///jffs/settings/savedqueues.rsq#%1").arg(number); }
    bool operator==(const SimPlaylist &) const = default;
};

// An album of the local music library: A:ALBUM/<title>.
struct SimAlbum {
    QString title;
    QString artist;
    QList<SimTrack> tracks;

    QString objectId() const;
    bool operator==(const SimAlbum &) const = default;
};

// How GetZoneGroupState wraps the topology: current players answer with a
// <ZoneGroupState> root, firmware before 10.1 with a bare <ZoneGroups>.
enum class TopologyForm { current, legacy };

// Everything a household is made of, as stored in its JSON description.
struct HouseholdData {
    QString householdId = QStringLiteral("Sonos_pSimHouseholdQuillo0000001");
    TopologyForm topologyForm = TopologyForm::current;
    // 2 for current (S2) systems, 1 for those left on the previous
    // generation (S1): the members' SWGen and the device descriptions' swGen.
    int softwareGeneration = 2;
    QList<SimPlayerRecord> players;
    QList<SimGroupRecord> groups; // players in no group stand alone
    QList<SimService> services;
    QList<SimFavorite> favorites;
    QList<SimPlaylist> playlists;
    QList<SimAlbum> albums;

    bool operator==(const HouseholdData &) const = default;
};

// The UPnP class a favorite's item carries inside its r:resMD.
QString upnpClassOf(FavoriteKind kind);
// The "SA_RINCON<n>_" token real players put in a service item's desc.
QString serviceToken(int serviceId);
// A track's relative cover-art reference, served by every player.
QString relativeArtworkFor(const QString &uri);

} // namespace playersim
