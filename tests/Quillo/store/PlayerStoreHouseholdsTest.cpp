// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Two households on one network, as the store sees them: the test's own
// (slot 0) and an older system beside it (slot 1).
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

using namespace storetest;
using testsupport::Suite;
using testsupport::waitUntil;

namespace {

constexpr Suite suite = Suite::PlayerStoreHouseholds;

struct TwoHouseholds {
    playersim::Household current = startedHousehold(suite, 0);
    playersim::Household older = testsupport::startedHousehold(
        playersim::Household::secondHousehold(testsupport::firstAddress(suite, 1)));
    StoreRig rig{current};

    TwoHouseholds() { rig.otherSearchAddresses = {older.addresses().first()}; }
};

// Every group and room the store offers is one of `household`'s players.
bool offersOnly(const PlayerStore &store, const playersim::Household &household)
{
    const QStringList players = household.addresses();
    for (const SonosKit::ZoneGroup &group : store.household().groups()) {
        for (const SonosKit::SonosDevice &member : group.members) {
            if (!players.contains(member.host))
                return false;
        }
    }
    for (const RoomRecord &room : store.rooms().records()) {
        if (!store.rooms().device(room.id) || !players.contains(store.rooms().device(room.id)->host))
            return false;
    }
    return !store.household().groups().isEmpty();
}

void failTopologyReads(playersim::Household &household, bool fail)
{
    for (const QString &address : household.addresses()) {
        if (fail)
            household.server(address).inject(QStringLiteral("GetZoneGroupState"), brokenAnswer(-1));
        else
            household.server(address).clearFaults();
    }
}

} // namespace

TEST(PlayerStoreHouseholds, ThePickerShowsTheChosenHouseholdOnlyAndTheChoiceIsRemembered)
{
    TwoHouseholds two;
    const QString olderID = two.older.householdId();
    {
        auto store = two.rig.makeStore();
        testsupport::await(store->refreshAll());
        HouseholdChoice &choice = store->household().choice();
        ASSERT_TRUE(choice.hasSeveral());
        const QString currentID = two.current.householdId();
        EXPECT_FALSE(store->preferences().selectedHousehold()) << "only a pick is remembered";
        EXPECT_TRUE(choice.listModel()->items().contains(HouseholdEntry{olderID, QStringLiteral("S1 · Garage, Workshop")}));

        choice.select(currentID);
        EXPECT_TRUE(offersOnly(*store, two.current));
        // The last household's favorites, arriving after the switch, never
        // show, even when the new one's fail.
        const QString lastHost = store->household().selectedGroup()->coordinator.host;
        two.current.server(lastHost).inject(QStringLiteral("Browse"), playersim::Fault{.delay = std::chrono::milliseconds(300)});
        for (const QString &address : two.older.addresses())
            two.older.server(address).inject(QStringLiteral("Browse"), brokenAnswer(-1));
        QCoro::Task<void> lastLoad = store->library().load();
        choice.select(olderID);
        EXPECT_TRUE(offersOnly(*store, two.older));
        testsupport::await(std::move(lastLoad));
        EXPECT_TRUE(store->library().favorites().isEmpty());
        EXPECT_EQ(store->preferences().selectedHousehold(), olderID);
    }
    // The next run starts on the older household, whichever has more rooms.
    auto store = two.rig.makeStore();
    testsupport::await(store->refreshAll());
    EXPECT_EQ(store->household().choice().shownID(), olderID);
    EXPECT_TRUE(offersOnly(*store, two.older));

    // A typed address connects to its player's household, and only to it.
    store->household().retry(two.current.addresses().last());
    ASSERT_TRUE(waitUntilSettled(*store));
    EXPECT_TRUE(offersOnly(*store, two.current));
    EXPECT_FALSE(store->household().choice().hasSeveral());
    EXPECT_EQ(store->preferences().selectedHousehold(), two.current.householdId());
}

TEST(PlayerStoreHouseholds, AChosenHouseholdThatGoesAwayIsStoodInForUntilItComesBack)
{
    TwoHouseholds two;
    two.rig.householdLookInterval = {};
    auto store = two.rig.makeStore();
    testsupport::await(store->refreshAll());
    const QString olderID = two.older.householdId();
    store->household().choice().select(olderID);
    testsupport::await(store->household().refresh());
    ASSERT_TRUE(offersOnly(*store, two.older));

    // Its players stop answering: the read at the last one fails, the next
    // refresh searches and finds only the other household.
    failTopologyReads(two.older, true);
    testsupport::await(store->household().refresh());
    testsupport::await(store->household().refresh());
    EXPECT_TRUE(offersOnly(*store, two.current));
    EXPECT_FALSE(store->household().choice().hasSeveral());
    EXPECT_EQ(store->preferences().selectedHousehold(), olderID) << "a stand-in is not remembered";

    // Back: opening the panel looks for it behind the stand-in, and the
    // choice returns.
    failTopologyReads(two.older, false);
    store->menuOpened();
    EXPECT_TRUE(waitUntil([&] { return store->household().choice().shownID() == olderID; }));
    EXPECT_TRUE(offersOnly(*store, two.older));
    EXPECT_TRUE(store->household().choice().hasSeveral());

    // The other one goes: a later look takes it off the choice.
    failTopologyReads(two.current, true);
    testsupport::await(store->household().refresh());
    testsupport::await(store->household().refresh());
    EXPECT_TRUE(waitUntil([&] { return !store->household().choice().hasSeveral(); }));
    store->menuClosed();
}

TEST(PlayerStoreHouseholds, EventsAndFavoritesFollowASwitchAndTheOldSubscriptionsEnd)
{
    TwoHouseholds two;
    auto store = two.rig.makeFollowingStore(suite, QStringLiteral("Living Room"));
    ASSERT_TRUE(store);
    testsupport::await(store->library().load());
    ASSERT_TRUE(offersOnly(*store, two.current));
    ASSERT_GT(two.current.subscriptionCount(), 0);

    store->household().choice().select(two.older.householdId());
    QStringList olderFavorites;
    for (const playersim::SimFavorite &favorite : two.older.favorites())
        olderFavorites.append(favorite.title);
    EXPECT_TRUE(waitUntil([&] {
        return store->liveUpdates().isFlowing() && two.current.subscriptionCount() == 0
            && titles(store->library().favorites()).mid(0, olderFavorites.size()) == olderFavorites;
    })) << titles(store->library().favorites()).join(u',').toStdString();
    EXPECT_TRUE(offersOnly(*store, two.older));

    // The new household's favorites, changed elsewhere, are read again at
    // once; the old one's changes reach nobody.
    store->menuOpened();
    QList<playersim::SimFavorite> changed = two.older.favorites();
    changed.first().title = QStringLiteral("Renamed Elsewhere");
    two.older.setFavorites(changed);
    EXPECT_TRUE(waitUntil([&] { return titles(store->library().favorites()).contains(QStringLiteral("Renamed Elsewhere")); }));
    store->menuClosed();
}
