// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "playersim/Household.h"

#include <QString>

#include <chrono>
#include <functional>

namespace testsupport {

// The loopback addresses a test may serve players on. CTest runs every test
// in a process of its own, side by side with all the others, so no two tests
// may ever share an address (the simulator's server reuses ports, so a clash
// splits requests silently rather than failing). Each test executable owns one
// /16, 127.(100 + its value), and this list is the only place they are handed
// out; within it each test owns the /24 numbered by its position in the
// executable, which gtest keeps stable whatever filter runs it.
enum class Suite {
    SOAPClient = 1,
    ContentDirectory,
    ZoneTopology,
    MusicServices,
    GroupControllerState,
    GroupControllerCommands,
    PlayerSimTopology,
    PlayerSimContent,
    PlayerSimTransport,
    PlayerSimHouseholdJson,
    Zonescout,
    PlayerStorePreferences,
    PlayerStoreDiscovery,
    PlayerStorePolling,
    PlayerStoreFavorites,
    PlayerStoreTracks,
    PlayerStoreFaults,
    QuilloViews,
    // The benchmarks, each on a /24 of its own (bench/).
    Benchmarks,
    // The desktop tests' simulators (127.120.<mode>.11 on), started by their
    // script rather than through firstAddress().
    QuilloDesktop,
    // The session-bus test's simulator (tests/Quillo/mpris).
    QuilloMpris,
    // The README's pictures (tools/QuilloScreenshots.cpp).
    Screenshots,
    // The playersim program itself (tests/playersim/program-test).
    PlayerSimProgram,
    // Events: subscriptions, the listener and what it refuses.
    Events,
    // zonescout's events command.
    ZonescoutEvents,
    // GroupEvents: a group's subscriptions following its changes.
    GroupEvents,
    // The media-player service's commands (tests/Quillo/mpris).
    MprisCommands,
    // The store following its group through events.
    PlayerStoreEvents,
    // The store grouping rooms and setting their own levels.
    PlayerStoreRooms,
    // Hostile devices against the SOAP client and the artwork cache.
    HostileReads,
    // The proof of the events' way: stopped events, restarts, silence.
    PathProof,
    // The store showing the selected group's sleep timer.
    PlayerStoreSleepTimer,
    // Shuffle, repeat and crossfade through the store.
    PlayerStorePlayModes,
    // The household's line-ins and TVs through the store.
    PlayerStoreInputs,
    // Each room's sound through the store.
    PlayerStoreRoomSound,
    // The group's queue: pages, edits, saving and its events.
    Queue,
    // Up Next: the selected group's queue through the store.
    PlayerStoreQueue,
    // The household's alarms: the list, its edits, events and zonescout's commands.
    Alarms,
    // The household's alarms through the store.
    PlayerStoreAlarms,
    // The store with two households on the network.
    PlayerStoreHouseholds,
};

// The first of 32 addresses of the running test's block; `slot` (0 to 7)
// picks further runs of 32 for a test that needs more than one household.
QString firstAddress(Suite suite, int slot = 0);

// The first address of slot 7 of the block of the first test of the running
// suite that this process runs: for a rig a suite builds once in
// SetUpTestSuite. Parallel processes each run other tests, so their rigs stay
// apart; the suite's tests leave slot 7 to the rig.
QString suiteAddress(Suite suite);

// A spare address `last` of the running test's first /24, for a listener.
QString spareAddress(Suite suite, int last);

// `household` started on its addresses; the test fails when it can't bind.
playersim::Household startedHousehold(playersim::Household household);

// Serves the event loop until `condition` holds; false when `limit` passed
// first.
bool waitUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit = std::chrono::seconds(5));

} // namespace testsupport
