// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// How fast the store's events flow again after this computer wakes, printed:
// logind's PrepareForSleep(false) on a private system bus to every
// subscription of the group receiving again, and to a change made at a player
// during the sleep (its event went nowhere) showing in the store. Everything
// on 127.119.73.0/24; needs dbus-daemon.

#include "BenchEvents.h"
#include "PrivateSystemBus.h"
#include "Quillo/store/PlayerStore.h"

#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
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

int freshSubscriptions(const playersim::Household &household)
{
    int count = 0;
    for (const auto &request : household.log()->all())
        count += request.method == "SUBSCRIBE" && !request.header("CALLBACK").isEmpty();
    return count;
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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    testsupport::PrivateSystemBus bus;
    if (!bus.active()) {
        std::printf("EventPathBench: skipped: %s\n", qPrintable(bus.skipReason()));
        return 0;
    }
    playersim::Household household = playersim::Household::fromJson(householdJson, firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "EventPathBench: the simulated household did not start: %s\n", qPrintable(error));
        return 1;
    }
    const QString kitchen = household.addresses().at(0);

    QTemporaryDir directory;
    auto file = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), firstAddress);
    file->setValue(QStringLiteral("selectedRoomName"), QStringLiteral("Kitchen"));
    file->sync();
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.eventAddress = QHostAddress(listenAddress);
    settings.followNetworkChanges = true;
    auto store = std::make_unique<PlayerStore>(std::move(file), std::move(settings));
    QCoro::waitFor(store->refreshAll());
    serveEventsUntil([&] { return store->liveUpdates().isFlowing(); }, std::chrono::seconds(5));
    if (!store->liveUpdates().isFlowing()) {
        std::fprintf(stderr, "EventPathBench: no events reached the store\n");
        return 1;
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
    return 0;
}
