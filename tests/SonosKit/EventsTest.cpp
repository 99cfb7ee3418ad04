// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/ZoneTopology.h"
#include "SonosKit/events/EventListener.h"
#include "SonosKit/events/EventSubscription.h"
#include "playersim/HostileDevice.h"
#include "playersim/Household.h"
#include "playersim/SimServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <future>

using namespace SonosKit;
using playersim::connectFrom;
using playersim::Household;
using testsupport::firstAddress;
using testsupport::startedHousehold;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::Events;

// An address of this test's block that no player uses.
QString spareAddress(int last)
{
    return testsupport::spareAddress(block, last);
}

// Two grouped players with a queue of long tracks, and one alone.
QByteArray householdJson()
{
    const QByteArray track
        = R"({"title": "Long %1", "uri": "x-file-cifs://nas/long/%1.flac", "duration": 600, "artist": "Kurz & Gut"})";
    QByteArray queue;
    for (int i = 1; i <= 3; ++i)
        queue += (i > 1 ? "," : "") + QByteArray(track).replace("%1", QByteArray::number(i));
    return R"({"players": [{"uuid": "RINCON_A01400", "room": "Alpha", "queue": [)" + queue
        + R"(]}, {"uuid": "RINCON_B01400", "room": "Beta", "volume": 40}, {"uuid": "RINCON_C01400", "room": "Gamma"}],
              "groups": [{"coordinator": "RINCON_A01400", "members": ["RINCON_A01400", "RINCON_B01400"]}]})";
}

struct Listening {
    EventListener listener;
    Listening() { listener.listen(QHostAddress(spareAddress(250))); }
};

// A request sent from `source` over a plain socket on another thread, so
// that the listener's event loop keeps running; what came back before the
// connection closed (empty when it closed without a word).
struct RawResult {
    QByteArray answer;
    bool closed = false; // the listener ended the connection
    qint64 bytesSent = 0;
};

RawResult rawRequest(const QString &source, const QString &target, quint16 port, QByteArray head, qint64 bodyBytes = 0,
    std::chrono::milliseconds dripInterval = std::chrono::milliseconds(0))
{
    RawResult result;
    const int sock = connectFrom(source, target, port);
    if (sock < 0)
        return result;
    auto sendSome = [&](const char *data, size_t size) {
        const ssize_t n = ::send(sock, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            result.bytesSent += n;
        return n;
    };
    if (dripInterval.count() > 0) {
        for (char c : head) {
            if (sendSome(&c, 1) <= 0)
                break;
            pollfd entry{sock, POLLIN, 0};
            if (::poll(&entry, 1, int(dripInterval.count())) > 0)
                break;
        }
    } else {
        sendSome(head.constData(), size_t(head.size()));
        const QByteArray chunk(64 * 1024, 'x');
        for (qint64 left = bodyBytes; left > 0;) {
            pollfd entry{sock, POLLOUT | POLLIN, 0};
            if (::poll(&entry, 1, 2000) <= 0 || (entry.revents & (POLLIN | POLLHUP | POLLERR)))
                break;
            const ssize_t n = sendSome(chunk.constData(), size_t(std::min<qint64>(left, chunk.size())));
            if (n <= 0)
                break;
            left -= n;
        }
    }
    char buffer[1024];
    for (;;) {
        pollfd entry{sock, POLLIN, 0};
        if (::poll(&entry, 1, 8000) <= 0)
            break;
        const ssize_t n = ::recv(sock, buffer, sizeof buffer, 0);
        if (n <= 0) {
            result.closed = true;
            break;
        }
        result.answer.append(buffer, n);
    }
    ::close(sock);
    return result;
}

// Runs `work` on a thread while the event loop serves the listener.
template<typename T>
T whileServing(std::function<T()> work)
{
    auto future = std::async(std::launch::async, std::move(work));
    EXPECT_TRUE(waitUntil(
        [&] { return future.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; }, std::chrono::seconds(20)));
    return future.get();
}

QByteArray notify(const QString &path, const QString &sid, int seq, const QByteArray &body)
{
    return "NOTIFY " + path.toLatin1()
        + " HTTP/1.1\r\nHOST: x\r\nNT: upnp:event\r\nNTS: upnp:propchange\r\nSID: " + sid.toLatin1()
        + "\r\nSEQ: " + QByteArray::number(seq) + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

const QByteArray volumeBody
    = "<e:propertyset xmlns:e=\"urn:schemas-upnp-org:event-1-0\"><e:property><GroupVolume>12</GroupVolume>"
      "</e:property></e:propertyset>";

} // namespace

TEST(Events, AStrangerHoldingConnectionsSilencesNothingAndAForgottenSubscriptionStartsAfresh)
{
    Household household = startedHousehold(Household::fromJson(householdJson(), firstAddress(block)));
    Listening listening;
    const QString player = household.addresses().first();
    EventSubscription subscription(&listening.listener, player, EventService::renderingControl, std::chrono::seconds(2));
    int renewed = 0, lost = 0;
    QObject::connect(&subscription, &EventSubscription::renewed, [&] { ++renewed; });
    QObject::connect(&subscription, &EventSubscription::eventsLost, [&] { ++lost; });
    QList<quint32> sequences;
    QList<int> volumes;
    QObject::connect(&subscription, &EventSubscription::eventReceived, [&](const ServiceEvent &event, quint32 seq) {
        sequences.append(seq);
        volumes.append(std::get<RenderingEvent>(event).volume.value_or(-1));
    });
    testsupport::await(subscription.start());
    EXPECT_EQ(subscription.grantedDuration(), std::chrono::seconds(2));
    ASSERT_TRUE(waitUntil([&] { return volumes.size() == 1; }));

    // A stranger holds as many connections as it can: every event still
    // arrives.
    {
        const playersim::ConnectionHolder stranger(
            spareAddress(241), listening.listener.address().toString(), listening.listener.port(), 40);
        EXPECT_TRUE(waitUntil([&] { return stranger.opened() >= 40; }));
        int arrived = 0;
        for (int volume = 1; volume <= 20; ++volume) {
            household.setVolume(player, volume);
            if (!waitUntil([&] { return volumes.last() == volume; }, std::chrono::seconds(2)))
                break;
            ++arrived;
        }
        EXPECT_EQ(arrived, 20);
    }

    // Renewed before the grant ends (at half of it, ARenewalComesAtHalfTheGrant
    // shows), keeping its id. (A renewal naming more than the subscription
    // gets 400 from the player.)
    const QString firstSid = subscription.subscriptionID();
    ASSERT_TRUE(waitUntil([&] { return renewed >= 1; }, std::chrono::seconds(4)));
    EXPECT_EQ(subscription.subscriptionID(), firstSid);

    // The player forgets it: the next renewal meets 412 and a fresh
    // subscription starts over at SEQ 0, with a note that events were lost.
    household.setRefuseRenewals(true);
    ASSERT_TRUE(
        waitUntil([&] { return subscription.subscriptionID() != firstSid && subscription.isActive(); }, std::chrono::seconds(4)));
    household.setRefuseRenewals(false);
    EXPECT_TRUE(waitUntil([&] { return lost >= 1 && sequences.count(0u) >= 2; }));
    testsupport::await(subscription.stop());
}

TEST(Events, TheListenerRefusesWhatItDidNotAskForAndSurvivesAbuse)
{
    Listening listening;
    EventListener &listener = listening.listener;
    ASSERT_TRUE(listener.isListening());
    EXPECT_GE(listener.port(), EventListener::firstPort);
    EXPECT_LE(listener.port(), EventListener::lastPort);
    const QString host = listener.address().toString();
    const quint16 port = listener.port();
    const QString player = spareAddress(240);
    const QString stranger = spareAddress(241);
    const QString path = listener.addRoute(EventService::groupRenderingControl, player);
    listener.setSubscriptionID(path, QStringLiteral("uuid:good"));
    QList<ReceivedEvent> received;
    int lost = 0;
    QObject::connect(&listener, &EventListener::eventsLost, [&] { ++lost; });
    QObject::connect(&listener, &EventListener::eventReceived, [&](const ReceivedEvent &event) { received.append(event); });

    auto exchange = [&](const QString &source, const QByteArray &request) {
        return whileServing<RawResult>([=] { return rawRequest(source, host, port, request); });
    };
    EXPECT_TRUE(exchange(player, notify(path, QStringLiteral("uuid:good"), 0, volumeBody)).answer.startsWith("HTTP/1.1 200"));
    ASSERT_TRUE(waitUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(std::get<GroupRenderingEvent>(received.first().event).volume, 12);

    EXPECT_TRUE(exchange(player, notify(path, QStringLiteral("uuid:other"), 1, volumeBody)).answer.startsWith("HTTP/1.1 412"));
    EXPECT_TRUE(exchange(player, notify(QStringLiteral("/events/nothere"), QStringLiteral("uuid:good"), 1, volumeBody))
                    .answer.startsWith("HTTP/1.1 404"));
    // A stranger is closed without a word; another player is refused at the
    // headers, before a body it announces is read.
    const RawResult strange = exchange(stranger, notify(path, QStringLiteral("uuid:good"), 1, volumeBody));
    EXPECT_TRUE(strange.answer.isEmpty());
    EXPECT_TRUE(strange.closed);
    const QString otherPlayer = spareAddress(242);
    listener.addRoute(EventService::renderingControl, otherPlayer);
    QByteArray foreign = notify(path, QStringLiteral("uuid:good"), 1, {});
    foreign.replace("Content-Length: 0", "Content-Length: 20971520");
    EXPECT_TRUE(exchange(otherPlayer, foreign).answer.startsWith("HTTP/1.1 403"));
    EXPECT_TRUE(exchange(player, "GET " + path.toLatin1() + " HTTP/1.1\r\nHost: x\r\n\r\n").answer.startsWith("HTTP/1.1 405"));
    const RawResult garbage = exchange(player, QByteArray("\x01\x02 garbage \xff\r\n\r\n", 17));
    EXPECT_TRUE(garbage.answer.isEmpty());
    EXPECT_TRUE(garbage.closed);

    // 20 MB announced: refused at the headers, the body never read.
    QByteArray huge = notify(path, QStringLiteral("uuid:good"), 1, {});
    huge.replace("Content-Length: 0", "Content-Length: 20971520");
    const RawResult tooLarge = whileServing<RawResult>([=] { return rawRequest(player, host, port, huge, 20 * 1024 * 1024); });
    EXPECT_TRUE(tooLarge.answer.startsWith("HTTP/1.1 413")) << tooLarge.answer.constData();
    EXPECT_LT(tooLarge.bytesSent, 8 * 1024 * 1024);

    // A slow drip is cut off.
    const auto dripStart = std::chrono::steady_clock::now();
    const RawResult drip = whileServing<RawResult>([=] {
        return rawRequest(
            player, host, port, notify(path, QStringLiteral("uuid:good"), 1, volumeBody), 0, std::chrono::milliseconds(200));
    });
    EXPECT_TRUE(drip.closed);
    EXPECT_LT(std::chrono::steady_clock::now() - dripStart, EventListener::connectionLimit + std::chrono::seconds(2));

    // One player's idle connections: no more than its own cap is ever held open.
    {
        const playersim::ConnectionHolder idle(player, host, port, 40);
        int peak = 0;
        // Held until all 40 are open, however busy the machine.
        waitUntil(
            [&] {
                peak = std::max(peak, listener.openConnections());
                return idle.opened() >= 40;
            },
            std::chrono::seconds(10));
        EXPECT_GE(idle.opened(), 40);
        EXPECT_LE(peak, EventListener::maximumConnectionsPerPeer);
    }
    // The player's slots are free again once the listener has seen them close.
    ASSERT_TRUE(waitUntil([&] { return listener.openConnections() == 0; }));

    // A body declaring its own entity, 120 KB that would read as 1.6 million
    // characters, is no event; a later SEQ than expected is a gap.
    const QByteArray entityBody = "<?xml version=\"1.0\"?><!DOCTYPE p [<!ENTITY w \"" + QByteArray(40, '9') + "\">]>"
        + QByteArray(volumeBody).replace(">12<", ">" + QByteArray("&w;").repeated(40000) + "<");
    EXPECT_TRUE(exchange(player, notify(path, QStringLiteral("uuid:good"), 5, entityBody)).answer.startsWith("HTTP/1.1 200"));
    ASSERT_TRUE(waitUntil([&] { return lost == 1; }));
    EXPECT_EQ(received.size(), 1);

    // Still serving after all that.
    EXPECT_TRUE(exchange(player, notify(path, QStringLiteral("uuid:good"), 6, volumeBody)).answer.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(waitUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(lost, 1);

    // A late notification older than one delivered would put older state
    // back: answered, never delivered, no gap. The next one in order is.
    EXPECT_TRUE(exchange(player, notify(path, QStringLiteral("uuid:good"), 4, volumeBody)).answer.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(exchange(player, notify(path, QStringLiteral("uuid:good"), 7, volumeBody)).answer.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(waitUntil([&] { return received.size() == 3; }));
    EXPECT_EQ(lost, 1);
}

TEST(Events, ARenewalComesAtHalfTheGrantHeldToASecondToADay)
{
    using namespace std::chrono_literals;
    struct Case {
        QByteArray timeout;
        std::chrono::milliseconds renewal;
    };
    const QList<Case> cases{
        {"Second-1800", 900s},
        // Each once broke the renewal timer: too many milliseconds for it,
        // or for the arithmetic before it.
        {"Second-25769804", 12h},
        {"Second-8589934", 12h},
        {"Second-9223372036854775807", 12h},
        {"Second-99999999999999999999", 12h},
        {"Second-infinite", 12h},
        {"Second-0", 500ms},
    };
    std::atomic<qsizetype> current{0};
    playersim::SimServer player(spareAddress(230), 1400, std::make_shared<playersim::RequestLog>());
    player.setEventHandler([&](const playersim::EventRequest &) {
        return playersim::Answer{200, {}, {}, {{"SID", "uuid:granted"}, {"TIMEOUT", cases.at(current).timeout}}};
    });
    QString error;
    ASSERT_TRUE(player.start(&error)) << error.toStdString();
    Listening listening;
    for (qsizetype i = 0; i < cases.size(); ++i) {
        current = i;
        EventSubscription subscription(&listening.listener, player.address(), EventService::renderingControl);
        testsupport::await(subscription.start());
        EXPECT_EQ(subscription.renewalInterval(), cases.at(i).renewal) << cases.at(i).timeout.constData();
    }
}
