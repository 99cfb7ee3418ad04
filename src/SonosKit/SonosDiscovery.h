// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/SonosHousehold.h"
#include "SonosKit/ZoneGroup.h"

#include <QCoroTask>
#include <QList>
#include <QStringList>

namespace SonosKit {

// Finding players and households without an address from the user. Several
// households can share a network (an S1 system beside an S2 one): each
// player is put with the household it names, and each household is read
// from its own players only. findHousehold() keeps the single-household
// lookup: DNS-SD first, an SSDP search when DNS-SD finds nobody, then the
// topology of the first player that answers. Every operation runs its waits off the main
// thread and resumes its caller on the main thread; none keeps state between
// calls, and none is shortened by abandoning the caller.
namespace SonosDiscovery {

// The usual 3-second household search: how long, in seconds, a controller
// given no address waits for players to answer.
inline constexpr double householdSearchTimeout = 3.0;

// A player that answered a search, with the household it said it belongs to.
struct FoundPlayer {
    QString host;
    // From the SSDP answer's X-RINCON-HOUSEHOLD, the DNS-SD TXT "hhid" or the
    // player's GetHouseholdID; empty when none of them gave a plausible id.
    QString householdID;

    friend bool operator==(const FoundPlayer &, const FoundPlayer &) = default;
};

// Every household on the network, each with the groups one of its own
// players reports: DNS-SD and SSDP at once (at most detail::maximumPlayers
// players), players that did not say their household or were announced for
// two asked for it (all at once, one bounded call each). At most
// detail::maximumHouseholds households are read, from up to
// detail::candidatesPerHousehold of each one's players, all at once; a
// member announced for another household is asked before its topology is
// refused, detail::bestReading() picks the topology believed, and of two
// households listing one host the one backed by more of its announced
// players stays. Takes at most `timeout` + 4 s (DNS-SD resolving and the
// connection check) + one SOAP timeout (asking) +
// detail::householdReadingTimeout, however many devices answer. Most rooms
// first, then by id. Throws SonosError::noPlayersFound when nobody answered,
// or the last error met when no household could be read.
QCoro::Task<QList<SonosHousehold>> findHouseholds(double timeout);

// findHouseholds() for players already found, asking none of them for its
// household.
QCoro::Task<QList<SonosHousehold>> householdsOf(QList<FoundPlayer> players);

// The household of the player at `host` (an address the user typed): its
// id and the groups it reports. Throws what reading the topology throws; a
// player that faults GetHouseholdID is asked GetZoneGroupAttributes for the
// id, and only when that fails too is its error thrown.
QCoro::Task<SonosHousehold> householdAt(QString host);

// What the player at `host` answers to GetHouseholdID. Throws
// SonosError::malformedResponse for an answer that is no plausible id.
QCoro::Task<QString> householdID(QString host);

// Players from DNS-SD and SSDP at once, each with its household id as far
// as it can be learnt (a host announced for two households, or for none,
// asked itself). Never fails.
QCoro::Task<QList<FoundPlayer>> findPlayers(double timeout);

// The household's groups as the first reachable player reports them (possibly
// none). Throws SonosError::noPlayersFound when no player was found at all, or
// the error of the last player asked when none of them answered.
QCoro::Task<QList<ZoneGroup>> findHousehold(double timeout);

// Player addresses from DNS-SD, or from SSDP when DNS-SD finds none. Never
// fails; empty when nothing answered.
QCoro::Task<QStringList> findPlayerHosts(double timeout);

// Player addresses advertised over DNS-SD: TXT "location" hosts first, then
// the addresses of instances that had to be resolved; only those whose port
// 1400 takes a connection within min(timeout, 2) seconds. Never fails.
QCoro::Task<QStringList> bonjourHosts(double timeout);

// Player addresses that answered an SSDP search within `timeout` seconds, in
// order of first answer. Throws SonosError::network when no socket can be made.
QCoro::Task<QStringList> ssdpHosts(double timeout);

// The same (at most detail::maximumPlayers), each with the household id its
// answers carried; none for a host whose answers named two.
QCoro::Task<QList<FoundPlayer>> ssdpPlayers(double timeout);

// bonjourHosts() with the household id of each instance's TXT record; none
// for a host that records of two households name.
QCoro::Task<QList<FoundPlayer>> bonjourPlayers(double timeout);

} // namespace SonosDiscovery
} // namespace SonosKit
