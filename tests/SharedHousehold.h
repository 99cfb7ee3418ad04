// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include <SonosKit/ZoneTopology.h>
#include <playersim/Household.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace testsupport {

// The group `room` is in, as the players of `household` tell it now.
inline SonosKit::ZoneGroup groupOf(const playersim::Household &household, const QString &room)
{
    const auto group = SonosKit::groupForRoom(await(SonosKit::ZoneTopology(household.addresses().first()).groups()), room);
    if (!group)
        throw std::runtime_error("no such room in the household");
    return *group;
}

// The default simulated household, started once for a suite of tests that
// each script their own answers: every test begins with none and an empty log.
// Not for tests that stall a player: a stalled answer holds its server.
template<Suite suite>
class SharedHousehold : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        rig = std::make_unique<playersim::Household>(
            startedHousehold(playersim::Household::defaultHousehold(suiteAddress(suite))));
    }
    static void TearDownTestSuite() { rig.reset(); }
    void SetUp() override
    {
        for (const QString &address : household.addresses())
            household.server(address).clearFaults();
        household.log()->clear();
    }

    static SonosKit::ZoneGroup groupOf(const QString &room) { return testsupport::groupOf(*rig, room); }

    static inline std::unique_ptr<playersim::Household> rig;
    playersim::Household &household = *rig;
};

} // namespace testsupport
