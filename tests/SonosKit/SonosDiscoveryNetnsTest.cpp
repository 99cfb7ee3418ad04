// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Discovery against simulated players in a private network namespace: SSDP
// and mDNS never leave it. Run through tests/netns/run-in-netns, which sets
// QUILLO_TEST_NETNS (and QUILLO_TEST_AVAHI when it started a daemon); every
// test skips in the machine's own namespace.

#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/SonosDiscoveryDetail.h"
#include "SonosKit/SonosError.h"
#include "playersim/DnssdPublisher.h"
#include "playersim/SimServer.h"
#include "playersim/SoapMessages.h"
#include "playersim/SsdpResponder.h"

#include "AsyncTestSupport.h"
#include "netns/NetnsTestSupport.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

using namespace SonosKit;
using netnstest::inPrivateNamespace;
using netnstest::searchAnswersOn;
using netnstest::withDaemon;
using netnstest::withLinks;
using namespace std::chrono_literals;

namespace {

QString uuidFor(const QString &address)
{
    return QStringLiteral("RINCON_000E58%1001400").arg(address.section(u'.', 3).toInt(), 6, 10, QChar(u'0'));
}

std::function<playersim::Answer()> answersWithState(const QString &state)
{
    return [state] {
        return playersim::soapResponse(QStringLiteral("urn:schemas-upnp-org:service:ZoneGroupTopology:1"),
            QStringLiteral("GetZoneGroupState"), {{QStringLiteral("ZoneGroupState"), state}});
    };
}

// A player's HTTP side that answers the topology question, with `answer`
// deciding what it says.
std::unique_ptr<playersim::SimServer> topologyPlayer(const QString &address, std::function<playersim::Answer()> answer)
{
    auto server = std::make_unique<playersim::SimServer>(address, 1400, std::make_shared<playersim::RequestLog>());
    server->setSoapHandler([answer](const playersim::SoapCall &) { return answer(); });
    QString error;
    EXPECT_TRUE(server->start(&error)) << error.toStdString();
    return server;
}

// A player alone in its group, in `room`.
std::unique_ptr<playersim::SimServer> topologyPlayer(const QString &address, const QString &room)
{
    return topologyPlayer(address,
        answersWithState(QStringLiteral("<ZoneGroupState><ZoneGroups><ZoneGroup Coordinator=\"%1\" ID=\"%1:7\">"
                                        "<ZoneGroupMember UUID=\"%1\" Location=\"http://%2:1400/xml/device_description.xml\" "
                                        "ZoneName=\"%3\"/></ZoneGroup></ZoneGroups></ZoneGroupState>")
                             .arg(uuidFor(address), address, room)));
}

playersim::SsdpPlayer ssdpPlayer(const QString &address)
{
    return {address, uuidFor(address), QStringLiteral("ZPS12"), QStringLiteral("79.1-56030"), QString()};
}

std::unique_ptr<playersim::SsdpResponder> responder(
    QList<playersim::SsdpPlayer> players, playersim::SsdpResponder::Options options = {})
{
    auto result = std::make_unique<playersim::SsdpResponder>(std::move(players), std::move(options));
    QString error;
    EXPECT_TRUE(result->start(&error)) << error.toStdString();
    return result;
}

std::unique_ptr<playersim::DnssdPublisher> published(QList<playersim::DnssdPlayer> players)
{
    auto publisher = std::make_unique<playersim::DnssdPublisher>(std::move(players));
    QString error;
    EXPECT_TRUE(publisher->start(&error)) << error.toStdString();
    EXPECT_TRUE(publisher->waitUntilEstablished(10s, &error)) << error.toStdString();
    return publisher;
}

// A port 1400 that takes connections and never answers them.
std::shared_ptr<QTcpServer> listenerOn(const QString &address)
{
    auto listener = std::make_shared<QTcpServer>();
    EXPECT_TRUE(listener->listen(QHostAddress(address), 1400)) << address.toStdString();
    return listener;
}

playersim::DnssdPlayer dnssdPlayer(const QString &address, const QString &room, bool withLocation = true)
{
    return {address, uuidFor(address), room, withLocation, std::nullopt, QString()};
}

template<typename T>
std::pair<T, double> timed(QCoro::Task<T> task, std::chrono::milliseconds limit = 20s)
{
    QElapsedTimer clock;
    clock.start();
    T value = testsupport::await(std::move(task), limit);
    return {std::move(value), clock.nsecsElapsed() / 1e9};
}

// Any wait on the main thread would stall it for at least a receive timeout
// (300 ms) or a whole browse; the bound leaves room for a loaded machine. The
// discovery benchmark reports the real figure.
constexpr qint64 maximumLatenessMs = 250;

// The harness's namespace as each case needs it: loopback only (and no
// DNS-SD daemon), with its own Avahi daemon, or with two LAN links.
enum class Namespace { plain, avahi, links };

template<Namespace wanted>
class InNamespace : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const Namespace here = withLinks() ? Namespace::links : (withDaemon() ? Namespace::avahi : Namespace::plain);
        if (!inPrivateNamespace() || here != wanted)
            GTEST_SKIP() << "needs another mode of the private network namespace (tests/netns/run-in-netns)";
    }
};

using DiscoveryWithoutDaemon = InNamespace<Namespace::plain>;
using DiscoveryWithDaemon = InNamespace<Namespace::avahi>;
using DiscoveryOnSeveralLinks = InNamespace<Namespace::links>;

} // namespace

// --- SSDP ---

TEST_F(DiscoveryWithoutDaemon, SsdpCollectsTheSendersInOrderOnceWhateverTheirLocationsName)
{
    playersim::SsdpResponder::Options options;
    options.copies = 3;
    {
        const auto players = responder(
            {ssdpPlayer(QStringLiteral("127.0.0.11")), ssdpPlayer(QStringLiteral("127.0.0.12"))}, options);
        const auto [hosts, seconds] = timed(SonosDiscovery::ssdpHosts(0.8));
        EXPECT_EQ(hosts, QStringList({QStringLiteral("127.0.0.11"), QStringLiteral("127.0.0.12")}));
        EXPECT_GE(seconds, 0.75); // the loop runs to its deadline even when answers came at once
        EXPECT_LT(seconds, 0.8 + 0.3 + 0.5);
        EXPECT_GE(players->searchesAnswered(), 1);
    }
    // One device answering for two others: only the device is asked.
    options.fromPlayerAddress = false;
    const auto proxy = responder({ssdpPlayer(QStringLiteral("127.0.0.13")), ssdpPlayer(QStringLiteral("127.0.0.14"))}, options);
    EXPECT_EQ(testsupport::await(SonosDiscovery::ssdpHosts(0.6), 20s), QStringList({QStringLiteral("127.0.0.1")}));
}

TEST_F(DiscoveryWithoutDaemon, NoSocketForTheSearchIsANetworkErrorWithEIO)
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer runtime itself needs descriptors to check and report, and
    // mistakes their absence for faults in the code under test.
    GTEST_SKIP() << "descriptor exhaustion is not testable under the sanitizers";
#endif
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0; // every new descriptor fails (EMFILE) until restored
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    std::optional<SonosError> failure;
    try {
        SonosDiscovery::detail::blockingSSDPSearch(0.5);
    } catch (const SonosError &error) {
        failure = error;
    }
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);

    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind(), SonosError::Kind::network);
    EXPECT_EQ(failure->underlying().source, NetworkFailure::Source::posix);
    EXPECT_EQ(failure->underlying().code, EIO); // not the EMFILE the system reported
}

// --- Household lookup ---

// With no time, or nothing to find, each search ends on time: a search
// without time at once, a browse without a daemon at once, the household
// lookup after its timeout.
TEST_F(DiscoveryWithoutDaemon, NothingToFindEndsOnTime)
{
    {
        const auto players = responder({ssdpPlayer(QStringLiteral("127.0.0.16"))});
        for (const double noTime : {0.0, -5.0}) {
            const auto [hosts, seconds] = timed(SonosDiscovery::ssdpHosts(noTime));
            EXPECT_TRUE(hosts.isEmpty());
            EXPECT_LT(seconds, 0.25) << noTime;
        }
    }
    const auto [browsed, browsing] = timed(SonosDiscovery::bonjourHosts(3));
    EXPECT_TRUE(browsed.isEmpty());
    EXPECT_LT(browsing, 1.0);

    QElapsedTimer clock;
    clock.start();
    const auto error = testsupport::failureOf<SonosError>(SonosDiscovery::findHousehold(1.0), 10s);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), SonosError::Kind::noPlayersFound);
    EXPECT_GE(clock.elapsed(), 950);
    EXPECT_LT(clock.elapsed(), 1000 + 300 + 700);
    EXPECT_TRUE(testsupport::await(SonosDiscovery::findPlayerHosts(0.3), 5s).isEmpty());
}

TEST_F(DiscoveryWithoutDaemon, FirstUnreadablePlayerIsPassedForTheNextOne)
{
    const auto ssdp = responder({ssdpPlayer(QStringLiteral("127.0.0.21")), ssdpPlayer(QStringLiteral("127.0.0.22"))});
    const auto broken = topologyPlayer(QStringLiteral("127.0.0.21"), answersWithState(QStringLiteral("no topology here")));
    const auto good = topologyPlayer(QStringLiteral("127.0.0.22"), QStringLiteral("Kitchen"));
    testsupport::MainThreadWatch probe;
    const auto [groups, seconds] = timed(SonosDiscovery::findHousehold(0.8));
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups.front().coordinator.host, QStringLiteral("127.0.0.22"));
    EXPECT_EQ(groups.front().displayName(), QStringLiteral("Kitchen"));
    EXPECT_LT(seconds, 0.8 + 0.3 + 1.5); // no daemon: straight to SSDP
    EXPECT_LT(probe.worstLatenessMs(), maximumLatenessMs);
}

TEST_F(DiscoveryWithoutDaemon, WhenEveryPlayerFailsTheLastErrorWinsAndAHouseholdWithoutGroupsIsFoundEmpty)
{
    {
        const auto ssdp = responder({ssdpPlayer(QStringLiteral("127.0.0.23")), ssdpPlayer(QStringLiteral("127.0.0.24"))});
        const auto faulting = topologyPlayer(QStringLiteral("127.0.0.23"), [] { return playersim::soapFault(402); });
        const auto empty = topologyPlayer(QStringLiteral("127.0.0.24"), answersWithState({}));
        const auto error = testsupport::failureOf<SonosError>(SonosDiscovery::findHousehold(0.6), 20s);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), SonosError::Kind::malformedResponse);
        // Both were asked, in the order they answered the search: the fault of
        // the first gave way to what the second said.
        EXPECT_EQ(error->detail(), QStringLiteral("GetZoneGroupState returned no ZoneGroupState"));
    }
    const auto ssdp = responder({ssdpPlayer(QStringLiteral("127.0.0.25"))});
    const auto player = topologyPlayer(
        QStringLiteral("127.0.0.25"), answersWithState(QStringLiteral("<ZoneGroupState><ZoneGroups/></ZoneGroupState>")));
    EXPECT_TRUE(testsupport::await(SonosDiscovery::findHousehold(0.6), 20s).isEmpty());
}

// --- DNS-SD ---

TEST_F(DiscoveryWithDaemon, TxtLocationsAreCheckedSilentlyAndDuplicatesCollapse)
{
    // Something listens where the players are, to see what reaches them.
    QList<std::shared_ptr<QTcpServer>> listeners;
    for (const char *address : {"127.0.0.41", "127.0.0.42"})
        listeners.append(listenerOn(QString::fromLatin1(address)));
    auto twin = dnssdPlayer(QStringLiteral("127.0.0.41"), QStringLiteral("Den"));
    twin.uuid = QStringLiteral("RINCON_000E58AAAAAA01400"); // a second instance on the same host
    const auto publisher = published({dnssdPlayer(QStringLiteral("127.0.0.41"), QStringLiteral("Living Room")),
        dnssdPlayer(QStringLiteral("127.0.0.42"), QStringLiteral("Bedroom")), twin});

    testsupport::MainThreadWatch probe;
    const auto [hosts, seconds] = timed(SonosDiscovery::bonjourHosts(1.5));
    QStringList sorted = hosts;
    sorted.sort();
    EXPECT_EQ(sorted, QStringList({QStringLiteral("127.0.0.41"), QStringLiteral("127.0.0.42")}));
    EXPECT_LT(seconds, 1.5 + 0.5);
    EXPECT_LT(probe.worstLatenessMs(), maximumLatenessMs);
    // Each host was connected to once, and nothing was said on the connection.
    for (const auto &listener : listeners) {
        const std::string where = listener->serverAddress().toString().toStdString();
        QTcpSocket *check = listener->nextPendingConnection();
        ASSERT_NE(check, nullptr) << where;
        if (check->state() == QAbstractSocket::ConnectedState) {
            EXPECT_TRUE(check->waitForDisconnected(2000)) << where;
        }
        EXPECT_TRUE(check->readAll().isEmpty()) << where;
        EXPECT_EQ(listener->nextPendingConnection(), nullptr) << where;
    }
}

TEST_F(DiscoveryWithDaemon, SwitchedOffPlayersCostOnlyTheConnectionCheck)
{
    // Avahi still advertises .61 and .63, but nothing serves there any more.
    const auto good = topologyPlayer(QStringLiteral("127.0.0.62"), QStringLiteral("Loft"));
    {
        const auto publisher = published({dnssdPlayer(QStringLiteral("127.0.0.61"), QStringLiteral("Gone")),
            dnssdPlayer(QStringLiteral("127.0.0.62"), QStringLiteral("Loft"))});
        EXPECT_EQ(testsupport::await(SonosDiscovery::bonjourHosts(1.0), 10s), QStringList({QStringLiteral("127.0.0.62")}));
        const auto [groups, seconds] = timed(SonosDiscovery::findHousehold(1.0));
        ASSERT_EQ(groups.size(), 1);
        EXPECT_EQ(groups.front().coordinator.roomName, QStringLiteral("Loft"));
        EXPECT_LT(seconds, 1.0 + 2.0 + 1.0); // never the six seconds a SOAP call to .61 would take
    }
    // When every advertised player is gone, the SSDP search still runs: a
    // full browse, then a full search.
    const auto ssdp = responder({ssdpPlayer(QStringLiteral("127.0.0.62"))});
    const auto stale = published({dnssdPlayer(QStringLiteral("127.0.0.63"), QStringLiteral("Shed"))});
    const auto [groups, seconds] = timed(SonosDiscovery::findHousehold(1.0));
    ASSERT_EQ(groups.size(), 1);
    EXPECT_EQ(groups.front().coordinator.host, QStringLiteral("127.0.0.62"));
    EXPECT_GE(ssdp->searchesAnswered(), 1);
    EXPECT_GE(seconds, 1.9);
}

TEST_F(DiscoveryWithDaemon, DnssdPlayersAreAskedAndSsdpIsNotTried)
{
    const auto ssdp = responder({ssdpPlayer(QStringLiteral("127.0.0.44"))});
    const auto good = topologyPlayer(QStringLiteral("127.0.0.44"), QStringLiteral("Garage"));
    const auto failing = topologyPlayer(QStringLiteral("127.0.0.43"), [] { return playersim::soapFault(501); });
    const auto publisher = published({dnssdPlayer(QStringLiteral("127.0.0.43"), QStringLiteral("Hall"))});
    const auto error = testsupport::failureOf<SonosError>(SonosDiscovery::findHousehold(1.0), 20s);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), SonosError::Kind::upnpFault);
    EXPECT_EQ(error->code(), 501);
    EXPECT_EQ(ssdp->searchesAnswered(), 0);
}

TEST_F(DiscoveryWithDaemon, InstancesWithoutLocationAreResolvedWithinTheLimit)
{
    auto ghost = dnssdPlayer(QStringLiteral("127.0.0.52"), QStringLiteral("Attic"), false);
    ghost.unresolvableHostName = QStringLiteral("nobody-home.local");
    const auto porch = listenerOn(QStringLiteral("127.0.0.51"));
    const auto study = listenerOn(QStringLiteral("127.0.0.53"));
    const auto publisher = published({dnssdPlayer(QStringLiteral("127.0.0.51"), QStringLiteral("Porch"), false), ghost,
        dnssdPlayer(QStringLiteral("127.0.0.53"), QStringLiteral("Study"))});

    testsupport::MainThreadWatch probe;
    // The ghost costs the browse plus one resolve limit of min(timeout, 2).
    const auto [hosts, seconds] = timed(SonosDiscovery::bonjourHosts(3.0));
    EXPECT_EQ(hosts, QStringList({QStringLiteral("127.0.0.53"), QStringLiteral("127.0.0.51")}));
    EXPECT_GE(seconds, 3.0 + 2.0 - 0.1);
    EXPECT_LT(seconds, 3.0 + 2.0 + 0.7);
    EXPECT_LT(probe.worstLatenessMs(), maximumLatenessMs);

    const auto [again, shorter] = timed(SonosDiscovery::bonjourHosts(1.0));
    EXPECT_EQ(again, QStringList({QStringLiteral("127.0.0.53"), QStringLiteral("127.0.0.51")}));
    EXPECT_GE(shorter, 1.0 + 1.0 - 0.1);
    EXPECT_LT(shorter, 1.0 + 1.0 + 0.7);
}

// --- Several network links ---

TEST_F(DiscoveryOnSeveralLinks, TheSearchGoesOutOnEveryRunningMulticastInterface)
{
    // qa0 and qb0 are up; qc0 is down and lo is loopback.
    EXPECT_EQ(SonosDiscovery::detail::multicastInterfaceAddresses(),
        QStringList({QStringLiteral("10.77.1.1"), QStringLiteral("10.77.2.1")}));

    // The multicast route leads to lan-a; the only player is on lan-b.
    {
        const auto onSecondLink = searchAnswersOn("lan-b", QStringLiteral("10.77.2.2"));
        const auto [hosts, seconds] = timed(SonosDiscovery::ssdpHosts(0.8));
        EXPECT_EQ(hosts, QStringList({QStringLiteral("10.77.2.2")}));
        EXPECT_EQ(onSecondLink->searchesAnswered(), 2); // one pair per interface, and only one reached it
    }

    // Answers from both links arrive within the one deadline.
    const auto first = searchAnswersOn("lan-a", QStringLiteral("10.77.1.2"));
    const auto second = searchAnswersOn("lan-b", QStringLiteral("10.77.2.2"));
    const auto [hosts, seconds] = timed(SonosDiscovery::ssdpHosts(0.8));
    QStringList sorted = hosts;
    sorted.sort();
    EXPECT_EQ(sorted, QStringList({QStringLiteral("10.77.1.2"), QStringLiteral("10.77.2.2")}));
    EXPECT_LT(seconds, 0.8 + 0.3 + 0.5);
    EXPECT_EQ(first->searchesAnswered(), 2);
}
