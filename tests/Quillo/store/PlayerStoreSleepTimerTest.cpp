// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The selected group's sleep timer in the store, over the simulated
// household with events on: set here or elsewhere, counted down without
// reads, turned off, run out, and following the group the picker shows.
#include "StoreTestSupport.h"

#include "SonosKit/GroupController.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using SonosKit::GroupController;
using storetest::callCount;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerStoreSleepTimer;
const QString living = QStringLiteral("Living Room");
const QString kitchen = QStringLiteral("Kitchen");
const QString timeLeftRead = QStringLiteral("GetRemainingSleepTimerDuration");

bool shows(const SleepTimer &timer, const QString &label)
{
    return timer.label() == label && timer.isRunning() == !label.isEmpty();
}

} // namespace

TEST(PlayerStoreSleepTimer, SetHereOrElsewhereCountsDownTurnsOffRunsOutAndFollowsThePickedGroup)
{
    playersim::Household household = storetest::startedHousehold(block);
    storetest::StoreRig rig(household);
    auto store = rig.makeFollowingStore(block, living);
    ASSERT_TRUE(store);
    SleepTimer &timer = store->sleepTimer();
    const GroupController elsewhere(*store->household().selectedGroup());

    // Set here, then counted down each second while the panel shows it,
    // with no reads.
    timer.start(30);
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QStringLiteral("30 min")); }));
    EXPECT_EQ(timer.accessibleDescription(), QStringLiteral("30 minutes left"));
    timer.setShown(true);
    const int before = timer.remainingSeconds();
    const int readsBefore = callCount(household, timeLeftRead);
    EXPECT_TRUE(waitUntil([&] { return timer.remainingSeconds() < before; }, 2s));
    EXPECT_EQ(callCount(household, timeLeftRead), readsBefore);

    // Set in another controller: the generation in its event brings it.
    testsupport::await(elsewhere.configureSleepTimer(75min));
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QStringLiteral("1 h 15 min")); }));
    EXPECT_EQ(timer.accessibleDescription(), QStringLiteral("1 hour 15 minutes left"));

    timer.turnOff();
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QString()); }));

    // Beyond what a player keeps: refused in the status line, nothing sent.
    household.log()->clear();
    timer.start(24 * 60);
    EXPECT_TRUE(store->household().statusMessage().contains(QStringLiteral("23 hours")));
    EXPECT_EQ(callCount(household, QStringLiteral("ConfigureSleepTimer")), 0);

    // The timer is the group's: the picker shows each group's own.
    storetest::selectGroupLedBy(*store, kitchen);
    ASSERT_EQ(store->household().selectedGroup()->coordinator.roomName, kitchen);
    const QString kitchenHost = store->household().selectedGroup()->coordinator.host;
    testsupport::await(GroupController(*store->household().selectedGroup()).configureSleepTimer(45min));
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QStringLiteral("45 min")); }));
    storetest::selectGroupLedBy(*store, living);
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QString()); }));
    timer.start(15);
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QStringLiteral("15 min")); }));

    // A slow read of the group left behind lands after the newer one: it
    // changes nothing.
    household.server(kitchenHost).inject(timeLeftRead, playersim::Fault{.delay = 800ms, .remaining = 1});
    storetest::selectGroupLedBy(*store, kitchen);
    storetest::selectGroupLedBy(*store, living);
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QStringLiteral("15 min")); }));
    storetest::serveFor(1200ms);
    EXPECT_TRUE(shows(timer, QStringLiteral("15 min")));

    // Running out: nothing shows from that moment, and the player agrees.
    testsupport::await(elsewhere.configureSleepTimer(2s));
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QStringLiteral("1 min")); }));
    EXPECT_EQ(timer.accessibleDescription(), QStringLiteral("1 minute left"));
    ASSERT_TRUE(waitUntil([&] { return shows(timer, QString()); }, 4s));
    EXPECT_FALSE(testsupport::await(elsewhere.sleepTimer()).remaining);
}
