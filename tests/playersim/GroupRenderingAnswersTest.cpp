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
// and invisible; Gamma (10) alone. How the players scale the rooms is driven
// end to end by the store's rooms test and GroupControllerCommands.
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

} // namespace

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
