// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Discovery logic that needs no network: reading SSDP answers, turning
// endpoints into addresses, and the one-shot completion.

#include "SonosKit/Finished.h"
#include "SonosKit/SonosDiscoveryDetail.h"
#include "SonosKit/events/EventListener.h"

#include "AsyncTestSupport.h"

#include <QCoroFuture>
#include <QFile>
#include <QTcpServer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace SonosKit::SonosDiscovery::detail;

TEST(EndpointAddress, KeepsNamesAndIPv4WithoutScopeMapsIPv4InIPv6AndDropsOtherIPv6)
{
    sockaddr_in sender{};
    sender.sin_family = AF_INET;
    ::inet_pton(AF_INET, "192.168.1.20", &sender.sin_addr);
    EXPECT_EQ(senderAddress(sender), QStringLiteral("192.168.1.20"));

    EXPECT_EQ(ipAddress(std::nullopt), std::nullopt);
    const std::pair<const char *, std::optional<QString>> hosts[] = {
        {"", std::nullopt}, {"Sonos-Kitchen.local", QStringLiteral("Sonos-Kitchen.local")},
        {"192.168.1.20", QStringLiteral("192.168.1.20")}, {"192.168.1.20%en0", QStringLiteral("192.168.1.20")},
        {"::ffff:192.168.1.20", QStringLiteral("192.168.1.20")}, {"::ffff:c0a8:114%eth0", QStringLiteral("192.168.1.20")},
        {"fe80::1%eth0", std::nullopt}, {"::1", std::nullopt}, {"::192.168.1.20", std::nullopt}, // compatible, not mapped
    };
    for (const auto &[host, address] : hosts)
        EXPECT_EQ(ipAddress(Endpoint{QString::fromLatin1(host), 1400}), address) << host;
}

// What a device puts in its answer's household header is taken only when
// it is plausible; anything else leaves the player to be asked.
TEST(SsdpAnswer, TakesAPlausibleHouseholdHeaderOnly)
{
    const QByteArray id = "Sonos_QEGXy00rDQCejpfmG8EJxj94zQ";
    QFile capture(QStringLiteral(QUILLO_TEST_DATA "/captures/ssdp_notify_alive_s2_66.txt"));
    ASSERT_TRUE(capture.open(QIODevice::ReadOnly));
    const std::pair<QByteArray, std::optional<QString>> answers[] = {
        {capture.readAll(), QString::fromLatin1(id)}, // a real player's announcement
        {"HTTP/1.1 200 OK\nx-rincon-household:\t" + id + " \n\n", QString::fromLatin1(id)}, // bare LF, any case
        {"HTTP/1.1 200 OK\r\nX-RINCON-HOUSEHOLD: HHID_old-style.1\r\n\r\n", QStringLiteral("HHID_old-style.1")},
        {"HTTP/1.1 200 OK\r\nX-RINCON-HOUSEHOLD: " + QByteArray(65, 'x') + "\r\n\r\n", std::nullopt}, // too long
        {"HTTP/1.1 200 OK\r\nX-RINCON-HOUSEHOLD: Sonos_\x1b[2J\r\n\r\n", std::nullopt}, // no token
        {"HTTP/1.1 200 OK\r\nX-RINCON-HOUSEHOLD: Sonos_\xc3\xa9\r\n\r\n", std::nullopt},
        {"HTTP/1.1 200 OK\r\nX-RINCON-HOUSEHOLD:\r\n\r\n", std::nullopt},
        {"HTTP/1.1 200 OK\r\nX-RINCON-HOUSEHOLDS: " + id + "\r\n\r\n", std::nullopt},
        {"HTTP/1.1 200 OK\r\n\r\nX-RINCON-HOUSEHOLD: " + id + "\r\n", std::nullopt}, // in the body
    };
    for (const auto &[answer, household] : answers)
        EXPECT_EQ(householdOfAnswer(answer), household) << answer.toStdString();
}

TEST(DiscoveryTimeout, BadTimeoutsBecomeBoundedDelays)
{
    EXPECT_EQ(boundedTimeout(-1), std::chrono::milliseconds(0));
    EXPECT_EQ(boundedTimeout(std::numeric_limits<double>::quiet_NaN()), std::chrono::milliseconds(0));
    EXPECT_EQ(boundedTimeout(1.5), std::chrono::milliseconds(1500));
    EXPECT_EQ(boundedTimeout(std::numeric_limits<double>::infinity()), std::chrono::hours(24));
}

TEST(OneShot, ExactlyOneOfManyRacingCompletionsWins)
{
    for (int round = 0; round < 50; ++round) {
        OneShot<int> completion;
        std::atomic<int> winners{0};
        std::vector<std::thread> racers;
        for (int i = 0; i < 4; ++i) {
            racers.emplace_back([&, i] {
                if (completion.finish(i))
                    ++winners;
            });
        }
        for (auto &racer : racers)
            racer.join();
        ASSERT_EQ(winners, 1);
        QFuture<int> future = completion.future();
        ASSERT_TRUE(future.isFinished());
        EXPECT_EQ(future.resultCount(), 1);
        EXPECT_FALSE(completion.finish(99));
        EXPECT_EQ(future.resultCount(), 1);
    }
}

TEST(OneShot, ResumesTheAwaiterOnItsOwnThread)
{
    auto completion = std::make_shared<OneShot<QString>>();
    std::thread worker([completion] { completion->finish(QStringLiteral("from a worker")); });
    const auto awaiting = [](std::shared_ptr<OneShot<QString>> completion) -> QCoro::Task<bool> {
        const QString value = co_await completion->future();
        co_return value == QStringLiteral("from a worker") && QThread::currentThread() == qApp->thread();
    };
    EXPECT_TRUE(testsupport::await(awaiting(completion), std::chrono::seconds(5)));
    worker.join();
}

namespace {

quint16 boundPort(int fd)
{
    sockaddr_in local{};
    socklen_t length = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &length);
    return ntohs(local.sin_port);
}

bool inEventRange(quint16 port)
{
    return port >= SonosKit::EventListener::firstPort && port <= SonosKit::EventListener::lastPort;
}

} // namespace

// The search leaves from the ports a firewall opens for the events, each
// search from a port of its own, and from any port once those are all taken.
TEST(SsdpSearchSocket, UsesAFreePortOfTheEventRangeAndFallsBackWhenItIsFull)
{
    std::vector<int> held;
    const int first = openSearchSocket();
    ASSERT_GE(first, 0);
    held.push_back(first);
    EXPECT_TRUE(inEventRange(boundPort(first))) << boundPort(first);
    const int second = openSearchSocket();
    ASSERT_GE(second, 0);
    held.push_back(second);
    EXPECT_TRUE(inEventRange(boundPort(second)));
    EXPECT_NE(boundPort(second), boundPort(first));

    // Whatever is left of the range taken here (other programs may hold
    // some of it already).
    for (quint32 port = SonosKit::EventListener::firstPort; port <= SonosKit::EventListener::lastPort; ++port) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(quint16(port));
        if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0)
            held.push_back(fd);
        else
            ::close(fd);
    }
    const int fallback = openSearchSocket();
    ASSERT_GE(fallback, 0);
    EXPECT_FALSE(inEventRange(boundPort(fallback)));
    EXPECT_NE(boundPort(fallback), 0);
    ::close(fallback);
    for (int fd : held)
        ::close(fd);
}
