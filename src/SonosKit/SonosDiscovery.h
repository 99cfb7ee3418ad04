// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/ZoneGroup.h"

#include <QCoroTask>
#include <QList>
#include <QStringList>

namespace SonosKit {

// Finding players and the household without an address from the user: DNS-SD
// first, an SSDP search when DNS-SD finds nobody, then the topology of the
// first player that answers. Every operation runs its waits off the main
// thread and resumes its caller on the main thread; none keeps state between
// calls, and none is shortened by abandoning the caller.
namespace SonosDiscovery {

// The usual 3-second household search: how long, in seconds, a controller
// given no address waits for players to answer.
inline constexpr double householdSearchTimeout = 3.0;

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

} // namespace SonosDiscovery
} // namespace SonosKit
