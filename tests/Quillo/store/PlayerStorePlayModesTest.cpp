// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Shuffle, repeat and crossfade over the simulated household, with the
// players' events and without them: set from the panel's verbs and from
// another controller, and refused by a source that allows none.
#include "StoreTestSupport.h"

#include "SonosKit/GroupController.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using SonosKit::GroupController;
using SonosKit::PlayMode;
using SonosKit::Repeat;
using testsupport::await;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerStorePlayModes;

class PlayModesTest : public testing::TestWithParam<bool>
{
protected:
    bool events() const { return GetParam(); }

    // A store following "Living Room", which stands alone with its queue.
    std::unique_ptr<PlayerStore> followingLivingRoom(storetest::StoreRig &rig)
    {
        rig.events = events();
        if (events())
            rig.eventAddress = storetest::listenAddress(block);
        auto made = rig.makeStore();
        await(made->refreshAll());
        storetest::selectGroupLedBy(*made, QStringLiteral("Living Room"));
        EXPECT_TRUE(waitUntil([&] { return made->playModes().canShuffle(); }));
        return made;
    }

    // Without events a change made elsewhere shows at the panel's opening.
    void openPanelUnlessEvented(PlayerStore &store) const
    {
        if (!events()) {
            store.menuOpened();
            store.menuClosed();
        }
    }
};

} // namespace

TEST_P(PlayModesTest, ClicksReachThePlayerAndChangesMadeElsewhereShow)
{
    playersim::Household household = storetest::startedHousehold(block);
    storetest::StoreRig rig(household);
    auto store = followingLivingRoom(rig);
    PlayModes &modes = store->playModes();
    const GroupController player(*store->household().selectedGroup());
    const auto playerMode = [&] { return await(player.playMode()); };

    // Shown at once, then sent; repeat cycles off, all, one.
    modes.toggleShuffle();
    EXPECT_TRUE(modes.shuffle());
    modes.cycleRepeat();
    modes.cycleRepeat();
    EXPECT_EQ(modes.repeat(), PlayModes::Repeat::One);
    EXPECT_TRUE(waitUntil([&] { return playerMode() == PlayMode{true, Repeat::one}; }));
    modes.toggleCrossfade();
    EXPECT_TRUE(waitUntil([&] { return await(player.crossfade()); }));
    // Two clicks before any answer: the second stands.
    modes.toggleShuffle();
    modes.toggleShuffle();
    EXPECT_TRUE(waitUntil([&] { return playerMode() == PlayMode{true, Repeat::one}; }));
    storetest::serveFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(modes.shuffle());

    // Another controller turns everything off.
    storetest::NotificationCounter notifications(&modes);
    await(player.setPlayMode(PlayMode{false, Repeat::all}));
    await(player.setCrossfade(false));
    openPanelUnlessEvented(*store);
    EXPECT_TRUE(waitUntil([&] { return !modes.shuffle() && modes.repeat() == PlayModes::Repeat::All && !modes.crossfade(); }));
    EXPECT_EQ(notifications.count("shuffle"), 1);
    EXPECT_EQ(notifications.count("crossfade"), 1);
    EXPECT_EQ(notifications.count("canShuffle"), 0);

    // An event sent before the player applied a click names the old mode.
    if (events()) {
        household.server(player.group().coordinator.host).inject(QStringLiteral("SetPlayMode"), {.delay = 500ms, .remaining = 1});
        modes.toggleShuffle();
        await(player.setCrossfade(true));
        ASSERT_TRUE(waitUntil([&] { return modes.crossfade(); }));
        household.setDropNotifications(true);
        ASSERT_TRUE(waitUntil([&] { return playerMode().shuffle; }));
        storetest::serveFor(300ms);
        EXPECT_TRUE(modes.shuffle());
    }
}

TEST_P(PlayModesTest, ARadioStationAllowsNoneAndRefusesEachWithoutChangingAnything)
{
    playersim::Household household = storetest::startedHousehold(block);
    storetest::StoreRig rig(household);
    auto store = followingLivingRoom(rig);
    PlayModes &modes = store->playModes();
    const GroupController player(*store->household().selectedGroup());

    await(player.setTransportURI(QStringLiteral("x-sonosapi-stream:s24940?sid=254&flags=8224&sn=0"), QString()));
    openPanelUnlessEvented(*store);
    ASSERT_TRUE(waitUntil([&] { return !modes.canShuffle() && !modes.canRepeat() && !modes.canCrossfade(); }));

    // The status line says why; the household's read that follows a
    // failure may clear it soon after.
    QStringList failures;
    QObject::connect(&store->household(), &Household::statusChanged, [&] {
        if (store->household().statusKind() == StoreStatus::Kind::Failed)
            failures.append(store->household().statusMessage());
    });
    household.log()->clear();
    modes.setShuffle(true);
    EXPECT_TRUE(modes.shuffle());
    EXPECT_TRUE(waitUntil([&] { return !modes.shuffle(); }));
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.first().contains(QStringLiteral("radio, line-in and TV"))) << failures.first().toStdString();
    modes.toggleCrossfade();
    EXPECT_TRUE(waitUntil([&] { return storetest::callCount(household, QStringLiteral("SetCrossfadeMode")) == 1; }));
    EXPECT_TRUE(waitUntil([&] { return !modes.crossfade(); }));
}

INSTANTIATE_TEST_SUITE_P(EventsAndPolls, PlayModesTest, testing::Bool(),
    [](const testing::TestParamInfo<bool> &info) { return info.param ? "WithEvents" : "PollsOnly"; });
