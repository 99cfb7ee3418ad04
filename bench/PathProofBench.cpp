// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// The proof of the events' way, printed: what it costs while nothing fails,
// and how soon the store notices events that stopped after they flowed and
// a coordinator switched off. Waiting out the product's real intervals
// (40 s playing, 5.5 min idle) for every figure takes too long, so each is
// measured with the proof every second and the real bound printed from it:
// the real interval plus what the measurement took beyond the proof
// (detection, read, search), which the interval does not change. The cost
// is measured per proof and per renewal and multiplied out with the real
// intervals and grants. Everything on 127.119.41.0/24.

#include "BenchEvents.h"
#include "Quillo/store/PlayerStore.h"

#include <SonosKit/GroupController.h>
#include <SonosKit/events/EventSubscription.h>
#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using Clock = std::chrono::steady_clock;
using bench::serveEventsUntil;

namespace {

const QString listenAddress = QStringLiteral("127.119.41.250");
const QString firstAddress = QStringLiteral("127.119.41.11");
constexpr std::chrono::milliseconds scaledProof{1000};
constexpr std::chrono::seconds trafficWindow{20};
constexpr int rounds = 5;

// Kitchen and Office playing together, the Living Room alone.
const char *householdJson = R"({"players": [
    {"uuid": "RINCON_K01400", "room": "Kitchen", "volume": 20,
     "queue": [{"title": "One", "uri": "x-file-cifs://nas/1.flac", "duration": 3600}]},
    {"uuid": "RINCON_O01400", "room": "Office", "volume": 40},
    {"uuid": "RINCON_L01400", "room": "Living Room", "volume": 30}],
  "groups": [{"coordinator": "RINCON_K01400", "members": ["RINCON_K01400", "RINCON_O01400"]}]})";

std::unique_ptr<PlayerStore> storeFor(const QTemporaryDir &directory)
{
    auto file = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), firstAddress);
    file->setValue(QStringLiteral("selectedRoomName"), QStringLiteral("Kitchen"));
    file->sync();
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.events = true;
    settings.eventAddress = QHostAddress(listenAddress);
    settings.followNetworkChanges = false;
    settings.proofWhilePlaying = scaledProof;
    settings.proofWhileIdle = scaledProof;
    auto store = std::make_unique<PlayerStore>(std::move(file), std::move(settings));
    QCoro::waitFor(store->refreshAll());
    return store;
}

double seconds(Clock::duration span)
{
    return std::chrono::duration<double>(span).count();
}

// Seconds until `condition` holds, at most `limit`; negative when it never did.
double timeUntil(const std::function<bool()> &condition, std::chrono::seconds limit)
{
    const auto start = Clock::now();
    serveEventsUntil(condition, limit);
    return condition() ? seconds(Clock::now() - start) : -1.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    playersim::Household household = playersim::Household::fromJson(householdJson, firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "PathProofBench: the simulated household did not start: %s\n", qPrintable(error));
        return 1;
    }
    const QString kitchen = household.addresses().at(0);
    QTemporaryDir directory;
    auto store = storeFor(directory);
    serveEventsUntil([&] { return store->liveUpdates().isFlowing(); }, std::chrono::seconds(5));
    if (!store->liveUpdates().isFlowing()) {
        std::fprintf(stderr, "PathProofBench: no events reached the store\n");
        return 1;
    }
    const SonosKit::GroupController group(*store->household().selectedGroup());
    QCoro::waitFor(group.play());
    serveEventsUntil([&] { return store->nowPlaying().isPlaying(); }, std::chrono::seconds(5));
    const StoreSettings real = StoreSettings::defaults();
    const double playingProof = seconds(real.proofWhilePlaying);
    const double idleProof = seconds(real.proofWhileIdle);

    // (a) The cost while nothing fails: requests per proof, measured, and
    // the renewals the grants ask for.
    household.log()->clear();
    serveEventsUntil([] { return false; }, trafficWindow);
    const auto log = household.log()->all();
    const double proofs = double(trafficWindow.count()) / seconds(scaledProof);
    const double perProof = double(log.size()) / proofs;
    const int held = store->household().selectedGroup()->members.size() + 3;
    const double renewalsPerMinute = held * 60.0 / (double(SonosKit::EventSubscription::defaultDuration.count()) / 2);
    std::printf("Requests per proof, nothing failing (measured over %lld s, a proof a second): %.2f\n",
        qint64(trafficWindow.count()), perProof);
    std::printf("Requests a minute while the group plays (proof every %.0f s, %d subscriptions renewed at half a day's grant): "
                "%.2f (at most 2)\n",
        playingProof, held, perProof * 60.0 / playingProof + renewalsPerMinute);
    std::printf("Requests every 5 minutes while nothing plays (proof every %.0f s): %.2f (at most 1)\n", idleProof,
        perProof * 300.0 / idleProof + renewalsPerMinute * 5);

    // (b) The events' way shut, then a change elsewhere: a pause while the
    // group plays, a play while it does not.
    double worstPause = 0, worstPlay = 0;
    for (int i = 0; i < rounds; ++i) {
        household.setDropNotifications(true);
        QCoro::waitFor(group.pause());
        worstPause = std::max(worstPause, timeUntil([&] { return !store->nowPlaying().isPlaying(); }, std::chrono::seconds(30)));
        QCoro::waitFor(group.play());
        worstPlay = std::max(worstPlay, timeUntil([&] { return store->nowPlaying().isPlaying(); }, std::chrono::seconds(30)));
        household.setDropNotifications(false);
        serveEventsUntil([&] { return store->liveUpdates().isFlowing(); }, std::chrono::seconds(30));
    }
    std::printf("Events shut, then a pause elsewhere, to the store showing it: worst %.2f s of %d with a proof a second; "
                "with the real proof: at most %.1f s (bound 60 s)\n",
        worstPause, rounds, playingProof + worstPause);
    std::printf("Events shut, then a play elsewhere while idle, to the store showing it: worst %.2f s of %d with a proof a "
                "second; with the real proof: at most %.1f s (bound 360 s)\n",
        worstPlay, rounds, idleProof + worstPlay);

    // (c) The coordinator switched off: no answer at all.
    household.setSilent(kitchen, true);
    const double off = timeUntil([&] { return !store->nowPlaying().isPlaying(); }, std::chrono::seconds(60));
    std::printf("Coordinator switched off to the store no longer showing Playing: %.2f s with a proof a second; with the "
                "real proof: at most %.1f s (bound 60 s)\n",
        off, playingProof + off);
    household.setSilent(kitchen, false);
    store.reset();
    return 0;
}
