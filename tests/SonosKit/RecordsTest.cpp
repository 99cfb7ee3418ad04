// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include <SonosKit/SonosModels.h>

#include <gtest/gtest.h>

using namespace SonosKit;

namespace {

SonosDevice device(const QString &uuid, const QString &room)
{
    return SonosDevice{QStringLiteral("10.0.0.") + QString::number(room.size()), uuid, room};
}

TEST(ZoneGroup, FindsRoomsIgnoringCaseAccentsAndCompatibilityForms)
{
    const SonosDevice cafe = device(QStringLiteral("C"), QStringLiteral("Café"));
    const SonosDevice den = device(QStringLiteral("D"), QStringLiteral("Den"));
    const QList<ZoneGroup> groups{
        {QStringLiteral("1"), den, {den, cafe}},
        {QStringLiteral("2"), cafe, {cafe}},
    };
    for (const QString &name : {QStringLiteral("cafe"), QStringLiteral("CAFÉ"), QStringLiteral("Cafe\u0301")}) {
        const auto found = groupForRoom(groups, name);
        ASSERT_TRUE(found) << name.toStdString();
        EXPECT_EQ(found->id, u"1") << name.toStdString();
    }
    EXPECT_FALSE(groupForRoom(groups, QStringLiteral("Caf")));
    EXPECT_FALSE(groupForRoom(groups, QStringLiteral("Café Den")));
    EXPECT_FALSE(groupForRoom({}, QStringLiteral("Den")));

    // Room names fold case, accents and compatibility forms.
    EXPECT_EQ(foldedRoomName(QStringLiteral("Café")), foldedRoomName(QStringLiteral("CAFE")));
    EXPECT_TRUE(sameRoomName(QStringLiteral("Straße"), QStringLiteral("STRAẞE")));
    EXPECT_TRUE(sameRoomName(QStringLiteral("Ｏｆｆｉｃｅ"), QStringLiteral("office"))); // full-width letters
    EXPECT_TRUE(sameRoomName(QStringLiteral("Kitchen ²"), QStringLiteral("kitchen 2")));
    EXPECT_TRUE(sameRoomName(QStringLiteral("Sun ☀️"), QStringLiteral("sun ☀️")));
    // Spaces count, and letters that are no accented form of another stay apart.
    EXPECT_FALSE(sameRoomName(QStringLiteral("Den"), QStringLiteral("Den ")));
    EXPECT_FALSE(sameRoomName(QStringLiteral("Øre"), QStringLiteral("Ore")));
    EXPECT_TRUE(sameRoomName(QString(), QString()));
}

TEST(ZoneGroup, MemberForRoomPrefersTheCoordinator)
{
    const SonosDevice den = device(QStringLiteral("D"), QStringLiteral("Den"));
    const SonosDevice cafe = device(QStringLiteral("C"), QStringLiteral("Café"));
    const SonosDevice otherDen = device(QStringLiteral("E"), QStringLiteral("DEN"));
    const ZoneGroup group{QStringLiteral("g"), cafe, {otherDen, den, cafe}};
    EXPECT_EQ(memberForRoom(group, QStringLiteral("cafe")), cafe);
    // Two players may share a room name; the first in roomNames() order wins.
    EXPECT_EQ(memberForRoom(group, QStringLiteral("den")), otherDen);
    const ZoneGroup denLeads{QStringLiteral("g"), den, {otherDen, den}};
    EXPECT_EQ(memberForRoom(denLeads, QStringLiteral("Den")), den);
    // A coordinator missing from the member list still has its room.
    EXPECT_EQ(memberForRoom(ZoneGroup{QStringLiteral("g"), cafe, {den}}, QStringLiteral("Café")), cafe);
    EXPECT_FALSE(memberForRoom(group, QStringLiteral("Caf")));
    EXPECT_FALSE(memberForRoom(ZoneGroup{}, QStringLiteral("Den")));
}

} // namespace
