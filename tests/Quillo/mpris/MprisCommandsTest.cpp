// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Commands from the desktop's media controls that arrive before any speaker
// is known, and the play modes they read and write.
#include "StoreTestSupport.h"

#include "Quillo/mpris/MprisService.h"

#include "SonosKit/GroupController.h"

#include <gtest/gtest.h>

using namespace storetest;
using testsupport::Suite;
using testsupport::waitUntil;

TEST(MprisCommands, CommandsBeforeAnySpeakerIsKnownWaitForOneSearch)
{
    playersim::Household household = startedHousehold(Suite::MprisCommands);
    StoreRig rig(household);
    auto store = rig.makeStore();
    MprisService mpris(store.get());

    // A media key held down: every press used to start a household search
    // of its own.
    mpris.next();
    mpris.next();
    mpris.next();
    ASSERT_TRUE(waitUntil([&] { return callCount(household, QStringLiteral("Next")) == 3; }));
    EXPECT_EQ(*rig.searches, 1);

    // Once the household is known a command goes straight to it.
    mpris.next();
    ASSERT_TRUE(waitUntil([&] { return callCount(household, QStringLiteral("Next")) == 4; }));
    EXPECT_EQ(*rig.searches, 1);
}

TEST(MprisCommands, ShuffleAndLoopStatusAreThePanelsVerbsAndFollowChangesMadeElsewhere)
{
    playersim::Household household = startedHousehold(Suite::MprisCommands);
    StoreRig rig(household);
    auto store = rig.makeStore();
    MprisService mpris(store.get());
    testsupport::await(store->refreshAll());
    const SonosKit::GroupController player(*store->household().selectedGroup());
    ASSERT_TRUE(waitUntil([&] { return store->playModes().canShuffle(); }));

    mpris.setShuffle(true);
    mpris.setLoopStatus(QStringLiteral("Track"));
    mpris.setLoopStatus(QStringLiteral("Sometimes")); // not a loop status: ignored
    EXPECT_TRUE(store->playModes().shuffle());
    EXPECT_EQ(mpris.loopStatus(), QStringLiteral("Track"));
    EXPECT_TRUE(waitUntil([&] {
        return testsupport::await(player.playMode()) == SonosKit::PlayMode{true, SonosKit::Repeat::one};
    }));

    // Elsewhere, seen at the next reading (no events here).
    testsupport::await(player.setPlayMode(SonosKit::PlayMode{false, SonosKit::Repeat::all}));
    testsupport::await(store->playModes().refresh());
    EXPECT_FALSE(mpris.shuffle());
    EXPECT_EQ(mpris.loopStatus(), QStringLiteral("Playlist"));
}
