// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// How fast the store's events flow again after this computer wakes or moves,
// printed: logind's PrepareForSleep(false) on a private system bus to every
// subscription of the group receiving again, and to a change made at a player
// during the sleep (its event went nowhere) showing in the store, on
// 127.119.73.0/24 (needs dbus-daemon). Run inside the namespace harness with
// its LAN links (tests/netns/run-in-netns --links build/bin/EventPathBench),
// it also times this computer's address on LAN A changing under a running
// store until every subscription receives at the new address.

#include "BenchEvents.h"
#include "PrivateSystemBus.h"
#include "Quillo/store/PlayerStore.h"

#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

using bench::serveEventsUntil;

const QString listenAddress = QStringLiteral("127.119.73.250");
const QString firstAddress = QStringLiteral("127.119.73.11");
constexpr int rounds = 20;
// What the product promises after a resume or an address change.
constexpr std::chrono::seconds bound{10};

// Kitchen and Office playing together, the Living Room alone.
const char *householdJson = R"({"players": [
    {"uuid": "RINCON_K01400", "room": "Kitchen", "volume": 20},
    {"uuid": "RINCON_O01400", "room": "Office", "volume": 40},
    {"uuid": "RINCON_L01400", "room": "Living Room", "volume": 30}],
  "groups": [{"coordinator": "RINCON_K01400", "members": ["RINCON_K01400", "RINCON_O01400"]}]})";

// This computer's two addresses on LAN A in turn, as new leases give them.
const QString firstLease = QStringLiteral("10.77.1.1");
const QString secondLease = QStringLiteral("10.77.1.5");
const QString lanAFirstPlayer = QStringLiteral("10.77.1.31");

int freshSubscriptions(const playersim::Household &household)
{
    int count = 0;
    for (const auto &request : household.log()->all())
        count += request.method == "SUBSCRIBE" && !request.header("CALLBACK").isEmpty();
    return count;
}

// The CALLBACK of the last SUBSCRIBE that asked for a new subscription.
QByteArray lastCallback(const playersim::Household &household)
{
    QByteArray callback;
    for (const auto &request : household.log()->all()) {
        if (request.method == "SUBSCRIBE" && !request.header("CALLBACK").isEmpty())
            callback = request.header("CALLBACK");
    }
    return callback;
}

bool ip(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("ip"), arguments);
    return process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

std::unique_ptr<PlayerStore> storeOn(const QTemporaryDir &directory, const QString &player, PlayerStore::Settings settings)
{
    auto file = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), player);
    file->setValue(QStringLiteral("selectedRoomName"), QStringLiteral("Kitchen"));
    file->sync();
    settings.followNetworkChanges = true;
    auto store = std::make_unique<PlayerStore>(std::move(file), std::move(settings));
    QCoro::waitFor(store->refreshAll());
    serveEventsUntil([&] { return store->liveUpdates().isFlowing(); }, std::chrono::seconds(5));
    return store;
}

double milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

void print(const char *what, std::vector<double> figures)
{
    if (figures.empty()) {
        std::printf("%s: never within %lld s\n", what, qint64(bound.count()));
        return;
    }
    std::sort(figures.begin(), figures.end());
    std::printf("%s (%zu of %d): median %.1f ms, worst %.1f ms (bound %lld s)\n", what, figures.size(), rounds,
        figures[figures.size() / 2], figures.back(), qint64(bound.count()));
}

// The players on LAN A, whose namespace the harness made; this computer
// keeps the store.
std::unique_ptr<playersim::Household> householdOnLanA()
{
    for (int last = 31; last <= 33; ++last) {
        if (!ip({QStringLiteral("-n"), QStringLiteral("lan-a"), QStringLiteral("addr"), QStringLiteral("add"),
                QStringLiteral("10.77.1.%1/24").arg(last), QStringLiteral("dev"), QStringLiteral("qa1")}))
            return nullptr;
    }
    std::unique_ptr<playersim::Household> household;
    // Built on a thread inside LAN A: the players' sockets and their event
    // thread stay there.
    std::thread([&] {
        const int fd = ::open("/run/netns/lan-a", O_RDONLY | O_CLOEXEC);
        const bool entered = fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!entered)
            return;
        auto made = std::make_unique<playersim::Household>(playersim::Household::fromJson(householdJson, lanAFirstPlayer));
        if (made->start())
            household = std::move(made);
    }).join();
    return household;
}

void addressChangeFigures()
{
    const auto household = householdOnLanA();
    if (!household) {
        std::printf("Address change: skipped: the players could not start on LAN A\n");
        return;
    }
    QTemporaryDir directory;
    auto store = storeOn(directory, lanAFirstPlayer, PlayerStore::defaultSettings());
    if (!store->liveUpdates().isFlowing()) {
        std::printf("Address change: skipped: no events reached the store\n");
        return;
    }
    Clock::time_point flowingAt;
    QObject::connect(&store->liveUpdates(), &LiveUpdates::flowingChanged, [&] {
        if (store->liveUpdates().isFlowing())
            flowingAt = Clock::now();
    });
    std::vector<double> toFlowing;
    QTemporaryDir files;
    QString from = firstLease;
    QString to = secondLease;
    for (int i = 0; i < rounds; ++i) {
        QFile batch(files.filePath(QStringLiteral("lease")));
        if (!batch.open(QIODevice::WriteOnly))
            break;
        batch.write(QStringLiteral("addr del %1/24 dev qa0\naddr add %2/24 dev qa0\n").arg(from, to).toLatin1());
        batch.close();
        const Clock::time_point moved = Clock::now();
        flowingAt = {};
        if (!ip({QStringLiteral("-batch"), batch.fileName()}))
            break;
        serveEventsUntil(
            [&] { return lastCallback(*household).contains(to.toLatin1()) && store->liveUpdates().isFlowing(); }, bound);
        if (flowingAt > moved && lastCallback(*household).contains(to.toLatin1()))
            toFlowing.push_back(milliseconds(flowingAt - moved));
        std::swap(from, to);
    }
    print("Address change to every subscription receiving at the new address", toFlowing);
    QCoro::waitFor(store->shutdown());
}

void resumeFigures()
{
    testsupport::PrivateSystemBus bus;
    if (!bus.active()) {
        std::printf("Resume: skipped: %s\n", qPrintable(bus.skipReason()));
        return;
    }
    playersim::Household household = playersim::Household::fromJson(householdJson, firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::printf("Resume: skipped: the simulated household did not start: %s\n", qPrintable(error));
        return;
    }
    const QString kitchen = household.addresses().at(0);
    QTemporaryDir directory;
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.eventAddress = QHostAddress(listenAddress);
    auto store = storeOn(directory, firstAddress, std::move(settings));
    if (!store->liveUpdates().isFlowing()) {
        std::printf("Resume: skipped: no events reached the store\n");
        return;
    }
    Clock::time_point flowingAt;
    QObject::connect(&store->liveUpdates(), &LiveUpdates::flowingChanged, [&] {
        if (store->liveUpdates().isFlowing())
            flowingAt = Clock::now();
    });
    Clock::time_point volumeAt;
    QObject::connect(&store->nowPlaying(), &NowPlaying::volumeChanged, [&] { volumeAt = Clock::now(); });

    std::vector<double> toFlowing;
    std::vector<double> toChangeShown;
    int kitchenVolume = household.volume(kitchen);
    for (int i = 0; i < rounds; ++i) {
        // A change made while asleep: its event goes nowhere.
        household.setDropNotifications(true);
        kitchenVolume = kitchenVolume >= 90 ? 10 : kitchenVolume + 2;
        const int expected = (kitchenVolume + household.volume(household.addresses().at(1))) / 2;
        household.setVolume(kitchen, kitchenVolume);
        household.setDropNotifications(false);
        const int before = freshSubscriptions(household);

        const Clock::time_point woke = Clock::now();
        flowingAt = {};
        volumeAt = {};
        bus.prepareForSleep(false);
        // The group's five subscriptions made afresh, each receiving.
        serveEventsUntil(
            [&] {
                return freshSubscriptions(household) >= before + 5 && store->liveUpdates().isFlowing()
                    && store->nowPlaying().volume() == expected;
            },
            bound);
        if (flowingAt > woke && freshSubscriptions(household) >= before + 5)
            toFlowing.push_back(milliseconds(flowingAt - woke));
        if (volumeAt > woke && store->nowPlaying().volume() == expected)
            toChangeShown.push_back(milliseconds(volumeAt - woke));
    }
    print("Resume to every subscription receiving again", toFlowing);
    print("Resume to a change made during the sleep showing", toChangeShown);
    QCoro::waitFor(store->shutdown());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    resumeFigures();
    if (qEnvironmentVariableIsSet("QUILLO_TEST_LINKS"))
        addressChangeFigures();
    return 0;
}
