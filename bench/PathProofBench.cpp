// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// The proof of the events' way, printed: what it costs while nothing fails,
// and how soon the store notices events that stopped after they flowed, a
// coordinator switched off, and a member that restarted (forgetting its
// subscriptions) and then had its volume set elsewhere. Waiting out the
// product's real intervals (the coordinator every 40 s while playing, every
// 11 min idle; a member every 4th and every interval, halfway) for every
// figure takes too long, so each is measured with the coordinator's
// interval at a second and the real bound printed from it: the real wait
// for the proof plus all the measurement took (the scaled wait, detection,
// read, search), which the interval does not change. The cost is measured
// per interval and multiplied out with the real intervals, plus the
// renewals the grants ask for. Everything on 127.119.41.0/24.

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
// A whole number of cycles of the members' proofs at either pace.
constexpr std::chrono::seconds trafficWindow{20};
constexpr int rounds = 5;
constexpr int memberRounds = 3;

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

// Requests the players got in trafficWindow, per proof interval.
double requestsPerInterval(const playersim::Household &household)
{
    household.log()->clear();
    serveEventsUntil([] { return false; }, trafficWindow);
    return double(household.log()->all().size()) * seconds(scaledProof) / double(trafficWindow.count());
}

// The longest time between two proofs: the coordinator's interval, halved
// when a member's proof comes halfway through each.
double longestGap(std::chrono::milliseconds interval, int otherEvery)
{
    return seconds(interval) / (otherEvery == 1 ? 2 : 1);
}

// The worst of `memberRounds` of: the member at `host` restarts, forgetting
// its subscriptions, then its volume is set elsewhere; seconds until the
// store shows it; negative when it never did.
double worstRestartedMember(playersim::Household &household, PlayerStore &store, const QString &host, int firstLevel)
{
    double worst = 0;
    for (int i = 0; i < memberRounds; ++i) {
        const int level = firstLevel + i;
        household.restartPlayer(host);
        household.setVolume(host, level);
        const double shown = timeUntil(
            [&] { return store.rooms().knownVolumes().value(host) == level; }, std::chrono::seconds(30));
        if (shown < 0)
            return shown;
        worst = std::max(worst, shown);
        serveEventsUntil([&] { return store.liveUpdates().isFlowing(); }, std::chrono::seconds(10));
    }
    return worst;
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
    const QString office = household.addresses().at(1);
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
    // The proofs of the members at either pace go to Office, the only one
    // besides the coordinator: with more, each waits its turn.
    const double memberPlayingProof = playingProof * real.otherProofEveryWhilePlaying;
    const double memberIdleProof = idleProof * real.otherProofEveryWhileIdle;

    // (a) The cost while nothing fails: requests per interval, measured while
    // the group plays and while it does not, and the renewals the grants ask
    // for (AVTransport, group volume, topology, library, each member's volume).
    const double perPlayingInterval = requestsPerInterval(household);
    QCoro::waitFor(group.pause());
    serveEventsUntil([&] { return !store->nowPlaying().isPlaying(); }, std::chrono::seconds(5));
    const double perIdleInterval = requestsPerInterval(household);
    QCoro::waitFor(group.play());
    serveEventsUntil([&] { return store->nowPlaying().isPlaying(); }, std::chrono::seconds(5));
    const int held = store->household().selectedGroup()->members.size() + 4;
    const double renewalsPerMinute = held * 60.0 / (double(SonosKit::EventSubscription::defaultDuration.count()) / 2);
    std::printf("Requests per proof interval, nothing failing (measured over %lld s, the coordinator's proof a second): "
                "%.2f while playing (a member's every %d), %.2f while idle (a member's every %d)\n",
        qint64(trafficWindow.count()), perPlayingInterval, real.otherProofEveryWhilePlaying, perIdleInterval,
        real.otherProofEveryWhileIdle);
    std::printf("Requests a minute while the group plays (coordinator's proof every %.0f s, a member's every %.0f s, %d "
                "subscriptions renewed at half a day's grant): %.2f (at most 2)\n",
        playingProof, memberPlayingProof, held, perPlayingInterval * 60.0 / playingProof + renewalsPerMinute);
    std::printf("Requests every 5 minutes while nothing plays (coordinator's proof every %.0f s, a member's every %.0f s): "
                "%.2f (at most 1)\n",
        idleProof, memberIdleProof, perIdleInterval * 300.0 / idleProof + renewalsPerMinute * 5);

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
        worstPause, rounds, longestGap(real.proofWhilePlaying, real.otherProofEveryWhilePlaying) + worstPause);
    std::printf("Events shut, then a play elsewhere while idle, to the store showing it: worst %.2f s of %d with a proof a "
                "second; with the real proof: at most %.1f s (bound 360 s)\n",
        worstPlay, rounds, longestGap(real.proofWhileIdle, real.otherProofEveryWhileIdle) + worstPlay);

    // (d) A member restarts (a nightly update) and forgets its subscriptions,
    // then its volume is set elsewhere: its next proof shows it.
    const double memberPlaying = worstRestartedMember(household, *store, office, 51);
    QCoro::waitFor(group.pause());
    serveEventsUntil([&] { return !store->nowPlaying().isPlaying(); }, std::chrono::seconds(5));
    const double memberIdle = worstRestartedMember(household, *store, office, 61);
    QCoro::waitFor(group.play());
    serveEventsUntil([&] { return store->nowPlaying().isPlaying(); }, std::chrono::seconds(5));
    if (memberPlaying < 0 || memberIdle < 0) {
        std::fprintf(stderr, "PathProofBench: a restarted member's volume never showed\n");
        return 1;
    }
    std::printf("A member restarted, then its volume set elsewhere, to the store showing it: worst %.2f s playing, %.2f s "
                "idle, of %d with the coordinator's proof a second; with the real proofs: at most %.1f s playing, %.1f s "
                "idle, for each member besides the coordinator (before: the next renewal, up to 12 h)\n",
        memberPlaying, memberIdle, memberRounds, memberPlayingProof + memberPlaying, memberIdleProof + memberIdle);

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
