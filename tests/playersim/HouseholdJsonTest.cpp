// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "playersim/HouseholdJson.h"
#include "playersim/DefaultHousehold.h"
#include "playersim/Household.h"
#include "playersim/LoopbackAddresses.h"

#include <gtest/gtest.h>

using namespace playersim;

namespace {

QString errorFor(const QByteArray &json)
{
    QString error;
    EXPECT_FALSE(HouseholdJson::parse(json, &error).has_value()) << json.toStdString();
    return error;
}

} // namespace

TEST(HouseholdJson, DefaultHouseholdSurvivesARoundTrip)
{
    const HouseholdData original = defaultHouseholdData();
    const QByteArray json = HouseholdJson::serialize(original);
    QString error;
    const std::optional<HouseholdData> back = HouseholdJson::parse(json, &error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_EQ(*back, original);
    // Non-ASCII names come back byte for byte.
    EXPECT_TRUE(json.contains("\"Büro 🎧\""));
    EXPECT_TRUE(json.contains("\"寝室\""));
}

TEST(HouseholdJson, BadDescriptionsAreRefusedWithTheirReason)
{
    EXPECT_TRUE(errorFor("{").startsWith(QStringLiteral("not JSON")));
    EXPECT_EQ(errorFor(R"({"players":[{"room":"A","volume":101}]})"),
        QStringLiteral("players[0]: \"volume\" must be between 0 and 100"));
    EXPECT_EQ(errorFor(R"({"players":[{"room":"A","uuid":"X"},{"room":"B","uuid":"Y"}],
                          "groups":[{"coordinator":"X","members":["Y"]},{"coordinator":"Y"}]})"),
        QStringLiteral("groups[1]: the player Y is in two groups"));
    EXPECT_EQ(errorFor(R"({"players":[{"room":"A"}],"playlists":[{"number":1,"title":"P","tracks":[{"title":"t"}]}]})"),
        QStringLiteral("playlists[0].tracks[0]: \"uri\" is missing"));
    EXPECT_THROW(Household::fromJson("{\"players\":[]}"), HouseholdError);
}

TEST(HouseholdJson, AddressesAreConsecutiveAndStayOnLoopback)
{
    EXPECT_EQ(loopbackAddress(QStringLiteral("127.0.0.11"), 2), QStringLiteral("127.0.0.13"));
    EXPECT_EQ(loopbackAddress(QStringLiteral("127.0.0.250"), 10), QStringLiteral("127.0.1.4"));
    EXPECT_FALSE(loopbackAddress(QStringLiteral("192.168.1.20"), 0));
    EXPECT_FALSE(loopbackAddress(QStringLiteral("127.255.255.255"), 1));
    EXPECT_FALSE(loopbackAddress(QStringLiteral("127.0.0"), 0));
    EXPECT_FALSE(loopbackAddress(QStringLiteral("127.0.0.300"), 0));
    EXPECT_THROW(Household::defaultHousehold(QStringLiteral("10.0.0.1")), HouseholdError);
}
