// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Commands from the desktop's media controls that arrive before any speaker
// is known.
#include "StoreTestSupport.h"

#include "Quillo/mpris/MprisService.h"

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
