// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The way the players' events take to this computer, on the harness's LAN
// links (tests/netns/run-in-netns --links): the simulated players live in
// the LANs' namespaces, this computer's addresses change under a running
// store, and a computer on two networks tells each player its own address.
#include "StoreTestSupport.h"
#include "netns/NetnsTestSupport.h"

#include "SonosKit/events/EventListener.h"
#include "SonosKit/events/EventSubscription.h"
#include "SonosKit/events/NetworkChanges.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <future>

using netnstest::insideNamespace;
using netnstest::run;
using testsupport::waitUntil;

namespace {

// This side of each LAN link, as the harness leaves it.
const QString thisSideOfA = QStringLiteral("10.77.1.1");
const QString thisSideOfB = QStringLiteral("10.77.2.1");
// The address a new lease gives this computer on LAN A.
const QString newLeaseOnA = QStringLiteral("10.77.1.5");
// Events flow again within this after an address change.
constexpr std::chrono::seconds flowingAgainWithin{10};
constexpr std::chrono::milliseconds eventLatency{1000};

class EventPath : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!netnstest::inPrivateNamespace() || !netnstest::withLinks())
            GTEST_SKIP() << "needs a private network namespace with two LAN links (tests/netns/run-in-netns --links)";
    }

    // A household whose players answer at `first` on, in `lan`; the
    // addresses go on the LAN's end of the link first.
    static std::unique_ptr<playersim::Household> householdIn(const char *lan, const QString &first, const QByteArray &json)
    {
        const QString prefix = first.left(first.lastIndexOf(u'.') + 1);
        const int start = first.section(u'.', 3).toInt();
        const QString link = QString::fromLatin1(lan) == QLatin1String(netnstest::lanA) ? QStringLiteral("qa1")
                                                                                        : QStringLiteral("qb1");
        for (int last = start; last < start + 3; ++last)
            EXPECT_TRUE(run(QStringLiteral("ip"),
                {QStringLiteral("-n"), QString::fromLatin1(lan), QStringLiteral("addr"), QStringLiteral("add"),
                    prefix + QString::number(last) + QStringLiteral("/24"), QStringLiteral("dev"), link}));
        // Built inside the namespace: the players' event thread starts with
        // the household and sends from there.
        return insideNamespace(lan, [&] {
            auto household = std::make_unique<playersim::Household>(playersim::Household::fromJson(json, first));
            QString error;
            EXPECT_TRUE(household->start(&error)) << qPrintable(error);
            return household;
        });
    }

    // This side of LAN A's link gives up `from` for `to` in one go, as a new
    // lease does.
    static bool moveAddress(const QString &from, const QString &to)
    {
        QTemporaryDir files;
        QFile batch(files.filePath(QStringLiteral("lease")));
        if (!batch.open(QIODevice::WriteOnly))
            return false;
        batch.write(QStringLiteral("addr del %1/24 dev qa0\naddr add %2/24 dev qa0\n").arg(from, to).toLatin1());
        batch.close();
        return run(QStringLiteral("ip"), {QStringLiteral("-batch"), batch.fileName()});
    }
};

} // namespace

// A new lease moves this computer from 10.77.1.1 to 10.77.1.5 while the
// store follows a group with the panel closed: the kernel's burst of
// notifications is one change, the store listens on the new address and
// subscribes afresh, and the next change at the player arrives as an event.
TEST_F(EventPath, AnAddressChangeUnderARunningStoreMovesTheCallback)
{
    const auto household = householdIn(netnstest::lanA, QStringLiteral("10.77.1.11"), storetest::householdJson());
    storetest::StoreRig rig(household->addresses().first());
    rig.events = true;
    rig.followNetworkChanges = true;
    auto store = rig.makeStore();
    testsupport::await(store->refreshAll());
    storetest::selectGroupLedBy(*store, QStringLiteral("Living Room"));
    ASSERT_TRUE(waitUntil([&] { return store->liveUpdates().isFlowing(); }));
    const QString living = household->addressOfRoom(QStringLiteral("Living Room"));
    EXPECT_TRUE(storetest::freshCallbacks(*household, living).join(" ").contains(thisSideOfA.toLatin1()));

    SonosKit::NetworkChanges changes;
    QSignalSpy changed(&changes, &SonosKit::NetworkChanges::changed);
    ASSERT_TRUE(moveAddress(thisSideOfA, newLeaseOnA));
    // The next case finds the link as the harness left it.
    const auto restore = qScopeGuard([] { moveAddress(newLeaseOnA, thisSideOfA); });

    EXPECT_TRUE(waitUntil(
        [&] {
            return storetest::freshCallbacks(*household, living).join(" ").contains(newLeaseOnA.toLatin1())
                && store->liveUpdates().isFlowing();
        },
        flowingAgainWithin))
        << "callbacks " << storetest::freshCallbacks(*household, living).join(" ").constData();
    household->setVolume(living, 44);
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().volume() == 44; }, eventLatency));
    // The addresses and routes that came and went were one change.
    EXPECT_EQ(changed.count(), 1);
    testsupport::await(store->shutdown());
}

// This computer is on two LANs with a player on each: one listener listens
// on both addresses, each player is told the address it reaches this
// computer at, and the events of both arrive; strangers are refused at
// either address.
TEST_F(EventPath, OnTwoNetworksEachPlayerIsToldItsOwnAddress)
{
    const QByteArray onePlayer = R"({"players": [{"uuid": "RINCON_P01400", "room": "Den", "volume": 10}]})";
    const auto onA = householdIn(netnstest::lanA, QStringLiteral("10.77.1.21"), onePlayer);
    const auto onB = householdIn("lan-b", QStringLiteral("10.77.2.21"), onePlayer);
    SonosKit::EventListener listener;
    listener.listen(QHostAddress(thisSideOfA));
    listener.listen(QHostAddress(thisSideOfB));
    // One port for both, so that one firewall rule covers them.
    ASSERT_EQ(listener.addresses().size(), 2);
    for (const QHostAddress &address : listener.addresses())
        EXPECT_TRUE(listener.callbackURL({}, address).endsWith(u':' + QString::number(listener.port())));

    SonosKit::EventSubscription toA(&listener, onA->addresses().first(), SonosKit::EventService::renderingControl);
    SonosKit::EventSubscription toB(&listener, onB->addresses().first(), SonosKit::EventService::renderingControl);
    QSignalSpy heardA(&toA, &SonosKit::EventSubscription::eventReceived);
    QSignalSpy heardB(&toB, &SonosKit::EventSubscription::eventReceived);
    testsupport::await(toA.start());
    testsupport::await(toB.start());
    EXPECT_EQ(toA.callbackAddress(), QHostAddress(thisSideOfA));
    EXPECT_EQ(toB.callbackAddress(), QHostAddress(thisSideOfB));
    EXPECT_TRUE(storetest::freshCallbacks(*onB, onB->addresses().first()).join(" ").contains(thisSideOfB.toLatin1()));
    EXPECT_TRUE(waitUntil([&] { return heardA.count() > 0 && heardB.count() > 0; }, eventLatency));

    // A stranger on LAN B is closed at the second address before a byte is
    // read, as at the first: no answer at all, not even a 404.
    auto stranger = std::async(std::launch::async, [port = listener.port()] {
        if (!netnstest::enterNamespace("lan-b"))
            return QByteArray("not in lan-b");
        QTcpSocket socket;
        socket.connectToHost(QHostAddress(thisSideOfB), port);
        if (!socket.waitForConnected(1000))
            return QByteArray();
        socket.write("NOTIFY /events/0 HTTP/1.1\r\nNT: upnp:event\r\nNTS: upnp:propchange\r\nSID: uuid:x\r\nSEQ: 0\r\n"
                     "Content-Length: 0\r\n\r\n");
        socket.waitForDisconnected(2000);
        return socket.readAll();
    });
    ASSERT_TRUE(waitUntil([&] { return stranger.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_EQ(stranger.get(), QByteArray());
    testsupport::await(toA.stop());
    testsupport::await(toB.stop());
}
