// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// The store following its group through events, printed: the time from a
// change at a simulated player to the store's property notifying, over 100
// changes; and what a closed panel sends per minute while a group plays,
// with events flowing and with the polls alone. Everything on
// 127.119.40.0/24.

#include "BenchEvents.h"
#include "Quillo/store/PlayerStore.h"

#include <SonosKit/GroupController.h>
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

const QString listenAddress = QStringLiteral("127.119.40.250");
const QString firstAddress = QStringLiteral("127.119.40.11");
constexpr int latencyRounds = 100;
// Long enough to see the closed poll's pace; renewals come every 12 hours.
constexpr std::chrono::seconds trafficWindow{20};

// Kitchen and Office playing together, the Living Room alone.
const char *householdJson = R"({"players": [
    {"uuid": "RINCON_K01400", "room": "Kitchen", "volume": 20,
     "queue": [{"title": "One", "uri": "x-file-cifs://nas/1.flac", "duration": 600},
               {"title": "Two", "uri": "x-file-cifs://nas/2.flac", "duration": 600}]},
    {"uuid": "RINCON_O01400", "room": "Office", "volume": 40},
    {"uuid": "RINCON_L01400", "room": "Living Room", "volume": 30}],
  "groups": [{"coordinator": "RINCON_K01400", "members": ["RINCON_K01400", "RINCON_O01400"]}]})";

std::unique_ptr<PlayerStore> storeFor(const QTemporaryDir &directory, bool events)
{
    auto file = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), firstAddress);
    file->setValue(QStringLiteral("selectedRoomName"), QStringLiteral("Kitchen"));
    file->sync();
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.events = events;
    settings.eventAddress = QHostAddress(listenAddress);
    settings.followNetworkChanges = false;
    auto store = std::make_unique<PlayerStore>(std::move(file), std::move(settings));
    QCoro::waitFor(store->refreshAll());
    return store;
}

// Requests of any kind the household received in `window`, per minute.
double requestsPerMinute(const playersim::Household &household)
{
    household.log()->clear();
    serveEventsUntil([] { return false; }, trafficWindow);
    return double(household.log()->all().size()) * 60.0 / trafficWindow.count();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    playersim::Household household = playersim::Household::fromJson(householdJson, firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "StoreEventsBench: the simulated household did not start: %s\n", qPrintable(error));
        return 1;
    }
    const QString kitchen = household.addresses().at(0);
    const QString office = household.addresses().at(1);
    QTemporaryDir directory;
    auto store = storeFor(directory, true);
    serveEventsUntil([&] { return store->liveUpdates().isFlowing(); }, std::chrono::seconds(5));
    if (!store->liveUpdates().isFlowing()) {
        std::fprintf(stderr, "StoreEventsBench: no events reached the store\n");
        return 1;
    }
    QCoro::waitFor(SonosKit::GroupController(*store->household().selectedGroup()).play());
    serveEventsUntil([&] { return store->nowPlaying().isPlaying(); }, std::chrono::seconds(5));

    // 1. A member's volume changes; the store's group volume notifies.
    Clock::time_point notified;
    QObject::connect(&store->nowPlaying(), &NowPlaying::volumeChanged, [&] { notified = Clock::now(); });
    std::vector<double> latencies;
    int officeVolume = household.volume(office);
    for (int i = 0; i < latencyRounds; ++i) {
        // Two apart, so that the members' average moves by one each time.
        officeVolume = officeVolume >= 90 ? 10 : officeVolume + 2;
        const int expected = (household.volume(kitchen) + officeVolume) / 2;
        const auto changed = Clock::now();
        household.setVolume(office, officeVolume);
        const auto deadline = changed + std::chrono::seconds(5);
        while (store->nowPlaying().volume() != expected && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (store->nowPlaying().volume() == expected)
            latencies.push_back(std::chrono::duration<double, std::milli>(notified - changed).count());
    }
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        std::printf("Change at a player to the store's volume notifying (%zu of %d): median %.2f ms, worst %.2f ms\n",
            latencies.size(), latencyRounds, latencies[latencies.size() / 2], latencies.back());
    }

    // 2. What the closed panel sends while the group plays.
    const double withEvents = requestsPerMinute(household);
    std::printf("Panel closed, group playing, events flowing: %.1f requests a minute (%d subscriptions held)\n", withEvents,
        household.subscriptionCount());
    store.reset();
    auto polling = storeFor(directory, false);
    serveEventsUntil([&] { return polling->nowPlaying().isPollingWhileClosed(); }, std::chrono::seconds(5));
    const double withPolls = requestsPerMinute(household);
    std::printf("Panel closed, group playing, polls alone: %.1f requests a minute\n", withPolls);
    return 0;
}
