// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Two households on one network, announced the way their players announce
// themselves, inside a private network namespace (tests/netns/run-in-netns):
// the current default household from 127.0.0.11 and an older (S1) one from
// 127.0.0.41, with devices among them that lie about their household.

#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/SonosDiscoveryDetail.h"
#include "SonosKit/SonosError.h"
#include "playersim/DnssdPublisher.h"
#include "playersim/Household.h"
#include "playersim/SimServer.h"
#include "playersim/SoapMessages.h"
#include "playersim/SsdpResponder.h"

#include "AsyncTestSupport.h"
#include "netns/NetnsTestSupport.h"

#include <QElapsedTimer>
#include <QTcpServer>

#include <gtest/gtest.h>

using namespace SonosKit;
using namespace std::chrono_literals;

namespace {

const QString liarAddress = QStringLiteral("127.0.0.61");
const QString unsureAddress = QStringLiteral("127.0.0.62");
const QString garbledAddress = QStringLiteral("127.0.0.63");

// A device on port 1400 answering GetHouseholdID with `id` (or, `museOnly`,
// with a fault and GetZoneGroupAttributes with it) and GetZoneGroupState
// with one group of itself and `alsoListed`.
std::unique_ptr<playersim::SimServer> device(
    const QString &address, const QString &id, const QString &alsoListed, bool museOnly = false)
{
    auto server = std::make_unique<playersim::SimServer>(address, 1400, std::make_shared<playersim::RequestLog>());
    server->setSoapHandler([=](const playersim::SoapCall &call) {
        if (museOnly && call.action == u"GetHouseholdID")
            return playersim::soapFault(401);
        if (call.action == u"GetZoneGroupAttributes") {
            return playersim::soapResponse(QStringLiteral("urn:schemas-upnp-org:service:ZoneGroupTopology:1"), call.action,
                {{QStringLiteral("CurrentMuseHouseholdId"), id + QStringLiteral(".7")}});
        }
        if (call.action == u"GetHouseholdID") {
            return playersim::soapResponse(QStringLiteral("urn:schemas-upnp-org:service:DeviceProperties:1"), call.action,
                {{QStringLiteral("CurrentHouseholdID"), id}});
        }
        QString members;
        for (const QString &host : {address, alsoListed}) {
            members += QStringLiteral(
                "<ZoneGroupMember UUID=\"RINCON_%1\" Location=\"http://%1:1400/xml/device_description.xml\" "
                "ZoneName=\"Decoy %1\" SWGen=\"2\"/>")
                           .arg(host);
        }
        return playersim::soapResponse(QStringLiteral("urn:schemas-upnp-org:service:ZoneGroupTopology:1"), call.action,
            {{QStringLiteral("ZoneGroupState"),
                QStringLiteral("<ZoneGroupState><ZoneGroups><ZoneGroup Coordinator=\"RINCON_%1\" ID=\"decoy\">%2</ZoneGroup>"
                               "</ZoneGroups></ZoneGroupState>")
                    .arg(address, members)}});
    });
    QString error;
    EXPECT_TRUE(server->start(&error)) << error.toStdString();
    return server;
}

class TwoHouseholds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!netnstest::inPrivateNamespace())
            GTEST_SKIP() << "needs a private network namespace (tests/netns/run-in-netns)";
        QString error;
        ASSERT_TRUE(current.start(&error)) << error.toStdString();
        ASSERT_TRUE(older.start(&error)) << error.toStdString();
    }

    // Every group holds players of the household it was put in only.
    void expectKeptApart(const QList<SonosHousehold> &households) const
    {
        ASSERT_EQ(households.size(), 2);
        EXPECT_EQ(households[0].id, current.householdId()); // six rooms before two
        EXPECT_EQ(households[0].generation, 2);
        EXPECT_EQ(households[0].roomCount(), 6);
        EXPECT_EQ(households[1].id, older.householdId());
        EXPECT_EQ(households[1].generation, 1);
        for (const SonosHousehold &household : households) {
            const QStringList own = (household.id == current.householdId() ? current : older).addresses();
            EXPECT_TRUE(own.contains(household.host)) << household.host.toStdString();
            for (const ZoneGroup &group : household.groups)
                for (const SonosDevice &member : group.members)
                    EXPECT_TRUE(own.contains(member.host))
                        << household.id.toStdString() << " holds " << member.host.toStdString();
        }
    }

    playersim::Household current = playersim::Household::defaultHousehold();
    playersim::Household older = playersim::Household::secondHousehold();
};

} // namespace

// Both answer one search; each household's groups come from its own players,
// and a device that names another household's id while listing players of
// the other household is passed over for a player that tells the truth.
// A typed address needs no search at all.
TEST_F(TwoHouseholds, SsdpAnswersAreSortedIntoHouseholdsAndALiarIsNeverMerged)
{
    if (netnstest::withDaemon())
        GTEST_SKIP() << "the SSDP case runs without a DNS-SD daemon";
    const auto liar = device(liarAddress, current.householdId(), older.addresses().first());
    const auto unsure = device(unsureAddress, older.householdId(), unsureAddress);
    const auto garbled = device(garbledAddress, QStringLiteral("Sonos_<script>"), garbledAddress);

    // The liar answers first, so it is the first asked for its claimed household.
    QList<playersim::SsdpPlayer> announced{{liarAddress, QStringLiteral("RINCON_LIAR"), QStringLiteral("ZPS12"),
        QStringLiteral("79.1-56030"), current.householdId()}};
    announced += current.ssdpPlayers() + older.ssdpPlayers();
    // An id too long to be one, and one that is no token: both are asked instead.
    announced.append({unsureAddress, QStringLiteral("RINCON_UNSURE"), QStringLiteral("ZPS1"), QStringLiteral("57.3-81090"),
        QStringLiteral("Sonos_").append(QString(64, u'x'))});
    announced.append({garbledAddress, QStringLiteral("RINCON_GARBLED"), QStringLiteral("ZPS1"), QStringLiteral("57.3-81090"),
        QStringLiteral("Sonos x")});
    playersim::SsdpResponder responder(announced);
    QString error;
    ASSERT_TRUE(responder.start(&error)) << error.toStdString();

    const QList<SonosDiscovery::FoundPlayer> players = testsupport::await(SonosDiscovery::findPlayers(0.8), 20s);
    ASSERT_EQ(players.size(), announced.size());
    for (const SonosDiscovery::FoundPlayer &player : players) {
        const QString expected = player.host == unsureAddress ? older.householdId() // from GetHouseholdID
            : player.host == garbledAddress                   ? QString() // nothing plausible anywhere
            : older.addresses().contains(player.host)         ? older.householdId()
                                                              : current.householdId();
        EXPECT_EQ(player.householdID, expected) << player.host.toStdString();
    }

    const QList<SonosHousehold> households = testsupport::await(SonosDiscovery::findHouseholds(0.8), 20s);
    expectKeptApart(households);
    EXPECT_EQ(households[0].host, current.addresses().first()); // the liar was asked and passed over
    EXPECT_EQ(households[1].groups.size(), 2);

    // The typed address of a player of the second household reaches that
    // household, with its generation.
    const SonosHousehold typed = testsupport::await(SonosDiscovery::householdAt(older.addresses().at(1)), 10s);
    EXPECT_EQ(typed.id, older.householdId());
    EXPECT_EQ(typed.generation, 1);
    EXPECT_EQ(typed.host, older.addresses().at(1));
    QStringList rooms;
    for (const ZoneGroup &group : typed.groups) {
        rooms += group.roomNames();
        EXPECT_EQ(group.coordinator.softwareGeneration, 1);
        EXPECT_EQ(group.coordinator.modelName, QStringLiteral("57.3-81090"));
    }
    EXPECT_EQ(rooms, QStringList({QStringLiteral("Garage"), QStringLiteral("Workshop")}));
    // One that faults GetHouseholdID is named by GetZoneGroupAttributes.
    const auto muted = device(QStringLiteral("127.0.0.64"), older.householdId(), QStringLiteral("127.0.0.64"), true);
    EXPECT_EQ(testsupport::await(SonosDiscovery::householdAt(QStringLiteral("127.0.0.64")), 10s).id, older.householdId());
}

// Devices that lie about households hide no real one and cost bounded time:
// a real player announced for a made-up household only, or for two; a
// device claiming the real id with a topology of itself and a made-up host;
// two claiming it that never answer, ahead of a flood of 200 made-up ids.
TEST_F(TwoHouseholds, LyingAnnouncementsHideNoHouseholdAndCostBoundedTime)
{
    if (netnstest::withDaemon())
        GTEST_SKIP() << "the SSDP case runs without a DNS-SD daemon";
    enum Lie { forged, contested, impostor, flood };
    for (const Lie lie : {forged, contested, impostor, flood}) {
        QList<playersim::SsdpPlayer> announced = current.ssdpPlayers() + older.ssdpPlayers();
        playersim::SsdpPlayer lying = announced.first();
        lying.household = QStringLiteral("Sonos_Forged");
        const auto liar = lie == impostor ? device(liarAddress, current.householdId(), QStringLiteral("127.0.0.99")) : nullptr;
        std::vector<std::unique_ptr<QTcpServer>> silent;
        if (lie == forged || lie == contested)
            announced.prepend(lying);
        if (lie == forged)
            announced.removeAt(1);
        if (lie == impostor)
            announced.prepend({liarAddress, QStringLiteral("RINCON_LIAR"), QStringLiteral("ZPS12"), {}, current.householdId()});
        for (int i = 0; lie == flood && i < 200; ++i) {
            const QString address = QStringLiteral("127.0.1.%1").arg(i + 1);
            announced.append({address, QStringLiteral("RINCON_F%1").arg(i), QStringLiteral("ZPS1"), {}, "Sonos_F" + address});
        }
        for (const QString &address : {QStringLiteral("127.0.0.64"), QStringLiteral("127.0.0.65")}) {
            if (lie == flood && silent.emplace_back(std::make_unique<QTcpServer>())->listen(QHostAddress(address), 1400))
                announced.prepend({address, "RINCON_" + address, QStringLiteral("ZPS1"), {}, current.householdId()});
        }
        playersim::SsdpResponder responder(announced);
        QString error;
        ASSERT_TRUE(responder.start(&error)) << error.toStdString();
        QElapsedTimer clock;
        clock.start();
        expectKeptApart(testsupport::await(SonosDiscovery::findHouseholds(0.8), 30s));
        EXPECT_LT(clock.elapsed(), 1000 * (SonosDiscovery::detail::householdReadingTimeout + 2)) << lie;
    }
}

// DNS-SD's TXT records carry the household (an instance with a garbled one,
// or a player two records disagree about, is asked instead), and a system whose players answer SSDP only is found
// beside one that DNS-SD finds.
TEST_F(TwoHouseholds, DnssdRecordsNameTheHouseholdsAndAnSsdpOnlySystemIsStillFound)
{
    if (!netnstest::withDaemon())
        GTEST_SKIP() << "needs the namespace's own Avahi daemon";
    QList<playersim::DnssdPlayer> announced = current.dnssdPlayers();
    announced.last().household = QStringLiteral("Sonos_\u00e9vil");
    // Another device's record naming a real player with another household.
    const QString forged = announced.first().address;
    announced.append({forged, QStringLiteral("RINCON_FORGED"), QStringLiteral("Forged"), true, {}, QStringLiteral("Sonos_F")});
    playersim::DnssdPublisher publisher(announced);
    QString error;
    ASSERT_TRUE(publisher.start(&error)) << error.toStdString();
    ASSERT_TRUE(publisher.waitUntilEstablished(10s, &error)) << error.toStdString();
    playersim::SsdpResponder responder(older.ssdpPlayers());
    ASSERT_TRUE(responder.start(&error)) << error.toStdString();

    const QList<SonosDiscovery::FoundPlayer> players = testsupport::await(SonosDiscovery::bonjourPlayers(1.5), 20s);
    ASSERT_EQ(players.size(), announced.size() - 1);
    for (const SonosDiscovery::FoundPlayer &player : players) {
        const bool unsure = player.host == forged || player.host == announced.at(announced.size() - 2).address;
        const QString expected = unsure ? QString() : current.householdId();
        EXPECT_EQ(player.householdID, expected) << player.host.toStdString();
    }
    expectKeptApart(testsupport::await(SonosDiscovery::findHouseholds(1.5), 20s));
}
