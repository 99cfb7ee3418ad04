// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The media-player service over a real store, without a bus: commands that
// arrive before any speaker is known, and a position that follows what
// happens elsewhere.
#include "StoreTestSupport.h"

#include "Quillo/mpris/MprisService.h"

#include "SonosKit/GroupController.h"

#include <gtest/gtest.h>

using namespace storetest;
using SonosKit::GroupController;
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

TEST(MprisCommands, ThePositionHoldsStillAfterAPauseAndRestartsAfterASkipMadeElsewhere)
{
    playersim::Household household = startedHousehold(Suite::MprisCommands);
    StoreRig rig(household);
    rig.events = true;
    rig.eventAddress = listenAddress(Suite::MprisCommands);
    rig.writeSettingsText("selectedRoomName=Living Room\n");
    auto store = rig.makeStore();
    MprisService mpris(store.get());
    testsupport::await(store->refreshAll());
    ASSERT_TRUE(waitUntil([&] { return store->liveUpdates().isFlowing(); }));
    const GroupController living(*store->household().selectedGroup());
    const auto seconds = [&] { return mpris.positionMicroseconds() / 1000000; };

    // The panel is closed; the last read found the group playing 100 s in.
    testsupport::await(living.play());
    testsupport::await(living.seek(100));
    ASSERT_TRUE(testsupport::await(store->nowPlaying().refresh()));
    ASSERT_TRUE(store->nowPlaying().isPlaying());
    ASSERT_GE(seconds(), 100);

    // Paused elsewhere: only the event tells, and the position stops there.
    testsupport::await(living.pause());
    ASSERT_TRUE(waitUntil([&] { return !store->nowPlaying().isPlaying(); }));
    const qint64 paused = mpris.positionMicroseconds();
    serveFor(std::chrono::milliseconds(300));
    EXPECT_EQ(mpris.positionMicroseconds(), paused);

    // Resumed, then skipped elsewhere: the next track starts from zero.
    testsupport::await(living.play());
    ASSERT_TRUE(waitUntil([&] { return store->nowPlaying().isPlaying(); }));
    EXPECT_GE(seconds(), 100);
    testsupport::await(living.next());
    ASSERT_TRUE(waitUntil([&] { return store->nowPlaying().playback()->title == QStringLiteral("Queued 2"); }));
    EXPECT_LT(seconds(), 2);
}
