// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The store waking with this computer: logind's resume on a private system
// bus, the simulated household on loopback.
#include "PrivateSystemBus.h"
#include "StoreTestSupport.h"

#include "SonosKit/events/EventSubscription.h"

#include <gtest/gtest.h>

using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerStoreResume;
// Events flow again within this after the computer wakes.
constexpr std::chrono::seconds flowingAgainWithin{10};
constexpr std::chrono::milliseconds eventLatency{1000};

// SUBSCRIBEs that asked for a new subscription (they name a callback)
// rather than renewing one.
int freshSubscriptions(const playersim::Household &household, const QString &player)
{
    int count = 0;
    for (const auto &request : household.log()->forPlayer(player))
        count += request.method == "SUBSCRIBE" && !request.header("CALLBACK").isEmpty();
    return count;
}

} // namespace

// While the computer slept, a change was made at the player and its event
// went nowhere; on waking the store subscribes afresh and reads, shows the
// change, and later changes arrive as events again.
TEST(PlayerStoreResume, WakingSubscribesAfreshAndShowsWhatChangedDuringTheSleep)
{
    testsupport::PrivateSystemBus bus;
    if (!bus.active())
        GTEST_SKIP() << qPrintable(bus.skipReason());
    playersim::Household household = storetest::startedHousehold(block);
    storetest::StoreRig rig(household);
    rig.events = true;
    rig.eventAddress = storetest::listenAddress(block);
    rig.followNetworkChanges = true;
    auto store = rig.makeStore();
    testsupport::await(store->refreshAll());
    storetest::selectGroupLedBy(*store, QStringLiteral("Living Room"));
    ASSERT_TRUE(waitUntil([&] { return store->liveUpdates().isFlowing(); }));
    const QString living = household.addressOfRoom(QStringLiteral("Living Room"));
    const int subscribedBefore = freshSubscriptions(household, living);

    household.setDropNotifications(true);
    ASSERT_TRUE(bus.prepareForSleep(true));
    household.setVolume(living, 44);
    household.setDropNotifications(false);
    ASSERT_TRUE(bus.prepareForSleep(false));

    // The group's four subscriptions are all at the Living Room.
    EXPECT_TRUE(waitUntil(
        [&] {
            return store->nowPlaying().volume() == 44 && store->liveUpdates().isFlowing()
                && freshSubscriptions(household, living) >= subscribedBefore + 4;
        },
        flowingAgainWithin))
        << "volume " << store->nowPlaying().volume() << ", fresh subscriptions "
        << freshSubscriptions(household, living) - subscribedBefore;
    household.setVolume(living, 45);
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().volume() == 45; }, eventLatency));
    testsupport::await(store->shutdown());
}
