// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"
#include "PlayerSimTestSupport.h"

#include <gtest/gtest.h>

using namespace playersimtest;
using playersim::Household;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerSimGroupRendering;

// Alpha (30) and Beta (45) grouped with a sub bonded to Alpha that is loud
// and invisible, so that it neither counts nor moves; Gamma (10) alone.
QByteArray householdJson()
{
    return R"({"players": [{"uuid": "RINCON_A01400", "room": "Alpha", "volume": 30},
                           {"uuid": "RINCON_B01400", "room": "Beta", "volume": 45},
                           {"uuid": "RINCON_S01400", "room": "Alpha", "volume": 90, "invisible": true,
                            "bondedTo": "RINCON_A01400"},
                           {"uuid": "RINCON_C01400", "room": "Gamma", "volume": 10}],
              "groups": [{"coordinator": "RINCON_A01400", "members": ["RINCON_A01400", "RINCON_B01400"]}]})";
}

SonosKit::XMLNode group(const QString &address, const QString &action, const QString &argument = {}, const QString &value = {})
{
    SonosKit::SOAPClient::Arguments arguments{{"InstanceID", "0"}};
    if (!argument.isEmpty())
        arguments.append({argument, value});
    return call(address, Service::groupRenderingControl, action, arguments);
}

QString groupVolume(const QString &address)
{
    return text(group(address, QStringLiteral("GetGroupVolume")), QStringLiteral("CurrentVolume"));
}

void setGroupVolume(const QString &address, int level)
{
    group(address, QStringLiteral("SetGroupVolume"), QStringLiteral("DesiredVolume"), QString::number(level));
}

} // namespace

// The rule: member level × new group volume / the snapshot's group volume,
// rounded and held to 0 to 100; everyone at the new level from a snapshot at
// 0; an implicit snapshot when none was taken since the group last changed.
TEST(GroupRenderingAnswers, ChangesScaleEveryRoomFromTheLastSnapshot)
{
    Household household = startedHousehold(Household::fromJson(householdJson(), firstAddress(block)));
    const QStringList players = household.addresses();
    const QString alpha = players[0], beta = players[1], sub = players[2], gamma = players[3];
    const auto levels = [&] { return std::pair(household.volume(alpha), household.volume(beta)); };
    EXPECT_EQ(groupVolume(alpha), QStringLiteral("37"));

    // No snapshot yet: one is taken of 30/45 at 37, and kept for the next.
    setGroupVolume(alpha, 60);
    EXPECT_EQ(levels(), std::pair(49, 73));
    EXPECT_EQ(groupVolume(alpha), QStringLiteral("61"));
    setGroupVolume(alpha, 37);
    EXPECT_EQ(levels(), std::pair(30, 45));
    setGroupVolume(alpha, 100);
    EXPECT_EQ(levels(), std::pair(81, 100));
    EXPECT_EQ(household.volume(sub), 90);

    // Relative changes start from the group volume now, and scale from the
    // same snapshot: 90 - 100 is 0, then 0 + 20 gives 30·20/37 and 45·20/37.
    const auto relative = [&](int adjustment) {
        return text(
            group(alpha, QStringLiteral("SetRelativeGroupVolume"), QStringLiteral("Adjustment"), QString::number(adjustment)),
            QStringLiteral("NewVolume"));
    };
    EXPECT_EQ(relative(-100), QStringLiteral("0"));
    EXPECT_EQ(levels(), std::pair(0, 0));
    EXPECT_EQ(relative(20), QStringLiteral("20"));
    EXPECT_EQ(levels(), std::pair(16, 24));

    // Gamma joins: the snapshot of the old group no longer holds, and the
    // group as it is now (16, 24, 10 at 16) is the base. (A group
    // snapshotted all the way down coming back level is the store's rooms test.)
    ASSERT_TRUE(household.join(gamma, alpha));
    setGroupVolume(alpha, 50);
    EXPECT_EQ(levels(), std::pair(50, 75));
    EXPECT_EQ(household.volume(gamma), 31);
}

TEST(GroupRenderingAnswers, MuteReachesEveryRoomAndOnlyTheCoordinatorAnswers)
{
    Household household = startedHousehold(Household::fromJson(householdJson(), firstAddress(block)));
    const QStringList players = household.addresses();
    const QString alpha = players[0], beta = players[1], sub = players[2], gamma = players[3];
    const auto groupMuted = [&] { return text(group(alpha, QStringLiteral("GetGroupMute")), QStringLiteral("CurrentMute")); };

    group(alpha, QStringLiteral("SetGroupMute"), QStringLiteral("DesiredMute"), QStringLiteral("1"));
    EXPECT_TRUE(household.isMuted(alpha));
    EXPECT_TRUE(household.isMuted(beta));
    EXPECT_FALSE(household.isMuted(gamma));
    EXPECT_EQ(groupMuted(), QStringLiteral("1"));
    // One room back on: the group is no longer muted as a whole.
    household.setMuted(beta, false);
    EXPECT_EQ(groupMuted(), QStringLiteral("0"));
    group(alpha, QStringLiteral("SetGroupMute"), QStringLiteral("DesiredMute"), QStringLiteral("false"));
    EXPECT_FALSE(household.isMuted(alpha));

    // A member refuses as it refuses the group's transport; a standalone
    // player leads its own group of one.
    for (const QString action : {"GetGroupVolume", "SnapshotGroupVolume", "GetGroupMute"}) {
        EXPECT_EQ(faultCode(beta, Service::groupRenderingControl, action, {{"InstanceID", "0"}}), 800) << action.toStdString();
        EXPECT_EQ(faultCode(sub, Service::groupRenderingControl, action, {{"InstanceID", "0"}}), 800) << action.toStdString();
    }
    EXPECT_EQ(faultCode(beta, Service::groupRenderingControl, QStringLiteral("SetGroupVolume"),
                  {{"InstanceID", "0"}, {"DesiredVolume", "5"}}),
        800);
    EXPECT_EQ(household.volume(beta), 45);
    EXPECT_EQ(groupVolume(gamma), QStringLiteral("10"));

    EXPECT_EQ(faultCode(alpha, Service::groupRenderingControl, QStringLiteral("SetGroupVolume"),
                  {{"InstanceID", "0"}, {"DesiredVolume", "101"}}),
        402);
    EXPECT_EQ(faultCode(alpha, Service::groupRenderingControl, QStringLiteral("SetGroupBalance"), {{"InstanceID", "0"}}), 401);
    EXPECT_EQ(std::pair(household.volume(alpha), household.volume(beta)), std::pair(30, 45));
}
