// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The closed panel kept current when the players' events stop after they
// flowed, with the proof of their way at shortened intervals.
#include "StoreTestSupport.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/events/EventSubscription.h"

#include <gtest/gtest.h>

using SonosKit::GroupController;
using SonosKit::ZoneGroup;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::LiveUpdatesStale;
constexpr std::chrono::milliseconds whilePlaying{300};
constexpr std::chrono::milliseconds whileIdle{800};
// A proof that finds the way shut ends after the first event's limit; the
// read that follows is quick on loopback.
constexpr auto shownWithin = SonosKit::EventSubscription::firstEventLimit + std::chrono::seconds(2);

struct StaleRig {
    explicit StaleRig(const playersim::Household &household)
        : rig(household)
    {
        rig.events = true;
        rig.eventAddress = storetest::listenAddress(block);
        rig.closedPollInterval = std::chrono::milliseconds(100);
        rig.proofWhilePlaying = whilePlaying;
        rig.proofWhileIdle = whileIdle;
    }

    // A store following the Living Room while it plays, its events flowing.
    std::unique_ptr<PlayerStore> playingStore()
    {
        auto store = rig.makeStore();
        testsupport::await(store->refreshAll());
        storetest::selectGroupLedBy(*store, QStringLiteral("Living Room"));
        group = *store->household().selectedGroup();
        testsupport::await(GroupController(group).play());
        EXPECT_TRUE(waitUntil([&] { return store->liveUpdates().isFlowing() && store->nowPlaying().isPlaying(); }));
        return store;
    }

    storetest::StoreRig rig;
    ZoneGroup group;
};

} // namespace

TEST(LiveUpdatesStale, EventsThatStopAfterFlowingLeaveThePollsInChargeUntilTheyFlowAgain)
{
    playersim::Household household = storetest::startedHousehold(block);
    StaleRig stale(household);
    auto store = stale.playingStore();

    // A firewall switched on, then a pause made elsewhere: the next proof
    // finds the way shut, the footer says so, and the store reads.
    household.setDropNotifications(true);
    testsupport::await(GroupController(stale.group).pause());
    EXPECT_TRUE(waitUntil([&] { return !store->nowPlaying().isPlaying(); }, whilePlaying + shownWithin));
    EXPECT_TRUE(store->liveUpdates().eventsBlocked());
    EXPECT_FALSE(store->liveUpdates().isFlowing());

    // Nothing plays, so no polls run: each proof that finds the way still
    // shut reads once, and a play made elsewhere shows.
    testsupport::await(GroupController(stale.group).play());
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().isPlaying(); }, whileIdle + shownWithin));

    // The way opens: a proof gets through, the events take over, and the
    // closed panel's polls stop.
    household.setDropNotifications(false);
    EXPECT_TRUE(waitUntil(
        [&] { return store->liveUpdates().isFlowing() && !store->liveUpdates().eventsBlocked(); }, whilePlaying + shownWithin));
    EXPECT_FALSE(store->nowPlaying().isPollingWhileClosed());
}

TEST(LiveUpdatesStale, ACoordinatorSwitchedOffStopsShowingPlaying)
{
    playersim::Household household = storetest::startedHousehold(block);
    StaleRig stale(household);
    auto store = stale.playingStore();

    // No answer at all: the proof's SUBSCRIBE, then the read and the search
    // each end at their own limits.
    household.setSilent(stale.group.coordinator.host, true);
    EXPECT_TRUE(waitUntil([&] { return !store->nowPlaying().isPlaying(); }, std::chrono::seconds(20)));
    EXPECT_FALSE(store->liveUpdates().isFlowing());
    household.setSilent(stale.group.coordinator.host, false);
}
