// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "TestPrinters.h"

#include <SonosKit/SonosError.h>
#include <SonosKit/ZoneTopology.h>

#include <gtest/gtest.h>

using namespace SonosKit;

namespace {

QString member(const char *uuid, const char *room, const char *extra = "")
{
    return QStringLiteral("<ZoneGroupMember UUID=\"%1\" Location=\"http://192.168.1.10:1400/xml/device_description.xml\" "
                          "ZoneName=\"%2\" SoftwareVersion=\"79.1-56030\" %3/>")
        .arg(QString::fromUtf8(uuid), QString::fromUtf8(room), QString::fromUtf8(extra));
}

// A group led by `coordinator`, with the id "<coordinator>:1" unless given.
QString group(const char *coordinator, const QString &members, const char *id = nullptr)
{
    const QString lead = QString::fromUtf8(coordinator);
    return QStringLiteral("<ZoneGroup Coordinator=\"%1\" ID=\"%2\">%3</ZoneGroup>")
        .arg(lead, id ? QString::fromUtf8(id) : lead + QStringLiteral(":1"), members);
}

QString state(const QString &groups)
{
    return QStringLiteral("<ZoneGroupState><ZoneGroups>") + groups
        + QStringLiteral("</ZoneGroups><VanishedDevices></VanishedDevices></ZoneGroupState>");
}

QStringList displayNames(const QList<ZoneGroup> &groups)
{
    QStringList names;
    for (const ZoneGroup &g : groups)
        names += g.displayName();
    return names;
}

TEST(ZoneTopologyParse, ReadsDevicesFromMembers)
{
    const auto groups = ZoneTopology::parseGroups(state(
        QStringLiteral("<ZoneGroup Coordinator=\"RINCON_A\" ID=\"RINCON_A:12\">"
                       "<ZoneGroupMember UUID=\"RINCON_A\" Location=\"http://192.168.1.20:1400/xml/device_description.xml\" "
                       "ZoneName=\"Living Room\" SoftwareVersion=\"79.1-56030\"/>"
                       "<ZoneGroupMember UUID=\"RINCON_B\" Location=\"http://[fe80::1]:1400/x\" ZoneName=\"Den\"/>"
                       "</ZoneGroup>")));
    ASSERT_EQ(groups.size(), 1);
    const ZoneGroup &g = groups.first();
    EXPECT_EQ(g.id, u"RINCON_A:12");
    EXPECT_EQ(g.coordinator,
        (SonosDevice{QStringLiteral("192.168.1.20"), QStringLiteral("RINCON_A"), QStringLiteral("Living Room"),
            QStringLiteral("79.1-56030")}));
    ASSERT_EQ(g.members.size(), 2);
    EXPECT_EQ(g.members[1].host, u"fe80::1");
    EXPECT_EQ(g.members[1].modelName, std::nullopt);
    EXPECT_EQ(g.displayName(), u"Living Room + 1");
}

// What a topology document reads as: its groups' display names in order.
TEST(ZoneTopologyParse, GroupsAsTheDocumentDescribesThem)
{
    const auto one = [](const char *uuid, const char *room, const char *extra = "") {
        return group(uuid, member(uuid, room, extra));
    };
    const struct {
        const char *what;
        QString document;
        QStringList names;
    } cases[] = {
        {"bridges and invisible members are left out, other values keep them",
            state(one("BR", "BRIDGE", "IsZoneBridge=\"1\"")
                + group("A", member("A", "TV Room") + member("SUB", "TV Room", "Invisible=\"1\""))
                + group("B",
                    member("B", "Office") + member("C", "Hall", "Invisible=\"0\"") + member("D", "Porch", "Invisible=\"true\""))),
            {QStringLiteral("Office + 2"), QStringLiteral("TV Room")}},
        // The coordinator named is invisible: the first visible member leads.
        {"coordinator fallback",
            state(QStringLiteral("<ZoneGroup Coordinator=\"GHOST\">") + member("GHOST", "Attic", "Invisible=\"1\"")
                + member("B", "Bedroom") + member("C", "Closet") + QStringLiteral("</ZoneGroup>")),
            {QStringLiteral("Bedroom + 1")}},
        {"members without a usable location are dropped",
            state(group("A", QStringLiteral("<ZoneGroupMember UUID=\"A\" ZoneName=\"Kitchen\"/>") + member("B", "Pantry"))
                + group("C",
                    QStringLiteral("<ZoneGroupMember UUID=\"C\" Location=\"not a url\" ZoneName=\"Gone\"/>"
                                   "<ZoneGroupMember UUID=\"D\" Location=\"/relative/only\" ZoneName=\"Gone too\"/>"))),
            {QStringLiteral("Pantry")}},
        // Groups sharing an id are kept apart: nothing is merged.
        {"sorted by room, naturally and stably",
            state(group("A", member("A", "Office"), "dup") + group("B", member("B", "bathroom"), "dup") + one("C", "Kitchen 10")
                + one("D", "Kitchen 2") + one("E", "office")),
            {QStringLiteral("bathroom"), QStringLiteral("Kitchen 2"), QStringLiteral("Kitchen 10"), QStringLiteral("Office"),
                QStringLiteral("office")}},
        {"a bare ZoneGroups root", QStringLiteral("<ZoneGroups>") + one("A", "Den") + QStringLiteral("</ZoneGroups>"),
            {QStringLiteral("Den")}},
        {"a bare ZoneGroup root", one("A", "Den"), {QStringLiteral("Den")}},
        // Prefixed names match on their local part; ZoneGroupMember is no group.
        {"prefixed names",
            QStringLiteral("<t:ZoneGroups xmlns:t=\"urn:x\"><t:ZoneGroup Coordinator=\"A\"><t:ZoneGroupMember UUID=\"A\" "
                           "Location=\"http://10.0.0.5:1400/\" ZoneName=\"Den\"/></t:ZoneGroup></t:ZoneGroups>"),
            {QStringLiteral("Den")}},
        {"no groups", state({}), {}},
    };
    for (const auto &row : cases)
        EXPECT_EQ(displayNames(ZoneTopology::parseGroups(row.document)), row.names) << row.what;

    // The coordinator fallback keeps the named one as the group's id.
    const auto ghost = ZoneTopology::parseGroups(cases[1].document);
    EXPECT_EQ(ghost[0].id, u"GHOST");
    EXPECT_EQ(ghost[0].coordinator.uuid, u"B");
}

TEST(ZoneTopologyParse, BadDocumentsFailWithMalformedResponse)
{
    for (const QString &text : {QStringLiteral("   "), QStringLiteral("just text")}) {
        try {
            ZoneTopology::parseGroups(text);
            ADD_FAILURE() << "accepted " << text.toStdString();
        } catch (const SonosError &error) {
            EXPECT_EQ(error.kind(), SonosError::Kind::malformedResponse) << text.toStdString();
        }
    }
    // Markup the tolerant parse can repair is read, not refused.
    EXPECT_TRUE(ZoneTopology::parseGroups(QStringLiteral("<a><b></a")).isEmpty());
}

} // namespace
