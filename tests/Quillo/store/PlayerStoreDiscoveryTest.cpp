// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Finding the household: the typed address, the last player that answered,
// the search, and what a failure leaves.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

using namespace storetest;
using testsupport::Suite;
using testsupport::waitUntil;

namespace {

QStringList displayNames(const PlayerStore &store)
{
    QStringList names;
    for (const SonosKit::ZoneGroup &group : store.household().groups())
        names.append(group.displayName());
    return names;
}

bool finishedSearching(const PlayerStore &store)
{
    return store.household().statusKind() != StoreStatus::Kind::Idle
        && store.household().statusKind() != StoreStatus::Kind::Searching;
}

} // namespace

TEST(PlayerStoreDiscovery, SearchFindsTheHouseholdThenTheKnownPlayerIsAskedDirectly)
{
    const playersim::Household household = startedHousehold(Suite::PlayerStoreDiscovery);
    StoreRig rig(household);
    auto store = rig.makeStore();
    NotificationCounter counter(store.get());

    testsupport::await(store->household().refresh());
    EXPECT_EQ(*rig.searches, 1);
    EXPECT_EQ(store->household().statusKind(), StoreStatus::Kind::Ready);
    EXPECT_EQ(displayNames(*store).size(), 2);
    EXPECT_TRUE(displayNames(*store).contains(QStringLiteral("Kitchen + 1")));
    // The first group's room becomes the choice, and is remembered.
    ASSERT_TRUE(store->preferences().selectedRoomName());
    EXPECT_EQ(*store->preferences().selectedRoomName(), store->household().groups().front().coordinator.roomName);
    EXPECT_EQ(store->household().selectedGroup()->id, store->household().groups().front().id);
    EXPECT_EQ(counter.count("groups.count"), 1);
    EXPECT_EQ(counter.count("hasSelectedGroup"), 1);
    // The new group's play modes, read once, are in.
    EXPECT_TRUE(testsupport::waitUntil([&] { return store->playModes().canShuffle(); }));
    counter.reset();

    testsupport::await(store->household().refresh());
    EXPECT_EQ(*rig.searches, 1) << "a player that answered is asked again instead of searching";
    EXPECT_EQ(counter.notified(), QStringList()) << "an equal topology notifies nothing";
}

TEST(PlayerStoreDiscovery, ATypedAddressNeverSearchesAndShowsWhyItFailed)
{
    const playersim::Household household = startedHousehold(Suite::PlayerStoreDiscovery);
    StoreRig rig(household);
    auto store = rig.makeStore();

    // Nothing answers at the typed address: the reason is shown, no search runs.
    store->household().retry(QStringLiteral("127.0.0.2"));
    ASSERT_TRUE(waitUntil([&] { return finishedSearching(*store); }));
    EXPECT_EQ(store->household().statusKind(), StoreStatus::Kind::Failed);
    EXPECT_FALSE(store->household().statusMessage().isEmpty());
    EXPECT_TRUE(store->household().groups().isEmpty());
    EXPECT_EQ(*rig.searches, 0);

    store->household().retry(household.addresses().at(1));
    ASSERT_TRUE(waitUntilSettled(*store));
    EXPECT_EQ(store->household().statusKind(), StoreStatus::Kind::Ready);
    EXPECT_EQ(*rig.searches, 0);
    EXPECT_EQ(store->library().favorites().size(), 6) << "a retry loads the favorites too";
}

TEST(PlayerStoreDiscovery, AFailedRefreshKeepsTheGroupsAndSearchesAgainNextTime)
{
    playersim::Household household = startedHousehold(Suite::PlayerStoreDiscovery);
    StoreRig rig(household);
    auto store = rig.makeStore();
    testsupport::await(store->household().refresh());
    const QList<SonosKit::ZoneGroup> before = store->household().groups();
    ASSERT_FALSE(before.isEmpty());

    const QString known = before.front().coordinator.host;
    household.server(known).inject(QStringLiteral("GetZoneGroupState"), brokenAnswer());
    testsupport::await(store->household().refresh());
    EXPECT_EQ(store->household().groups(), before) << "a player that stops answering for a moment does not empty the panel";
    EXPECT_EQ(store->household().statusKind(), StoreStatus::Kind::NoPlayersFound) << "without a typed address no reason is shown";
    EXPECT_EQ(*rig.searches, 1) << "a failing known player is not followed by a search";

    testsupport::await(store->household().refresh());
    EXPECT_EQ(*rig.searches, 2) << "the player that failed is forgotten";
    EXPECT_EQ(store->household().statusKind(), StoreStatus::Kind::Ready);
    EXPECT_EQ(store->household().groups(), before);
}

TEST(PlayerStoreDiscovery, RefreshesAskedForWhileOneRunsShareOneSearch)
{
    // Several subscriptions failing at once each ask for the household: the
    // first read runs, the rest share one read after it, which asks the
    // player that answered instead of searching again.
    const playersim::Household household = startedHousehold(Suite::PlayerStoreDiscovery);
    StoreRig rig(household);
    auto store = rig.makeStore();
    std::vector<QCoro::Task<void>> refreshes;
    for (int i = 0; i < 3; ++i)
        refreshes.push_back(store->household().refresh());
    for (QCoro::Task<void> &refresh : refreshes)
        testsupport::await(std::move(refresh));
    EXPECT_EQ(*rig.searches, 1);
    EXPECT_EQ(store->household().statusKind(), StoreStatus::Kind::Ready);
}

TEST(PlayerStoreDiscovery, TheRememberedRoomIsChosenWhereverItsGroupIsListed)
{
    const playersim::Household household = startedHousehold(Suite::PlayerStoreDiscovery);
    StoreRig rig(household);
    rig.writeSettingsText("[General]\nselectedRoomName=office\n");
    auto store = rig.makeStore();
    testsupport::await(store->household().refresh());
    ASSERT_TRUE(store->household().selectedGroup());
    EXPECT_EQ(store->household().selectedGroup()->displayName(), QStringLiteral("Kitchen + 1"));
    EXPECT_EQ(store->preferences().selectedRoomName(), std::optional<QString>(QStringLiteral("office")));
}
