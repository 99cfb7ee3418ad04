// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The store's own figures against simulated players: what a poll cycle costs
// beyond the state query itself, how close a favorites load of 1000 entries
// comes to the slowest of its three requests alone and how long it holds the
// main thread, and what a closed panel sends.

#include "BenchEvents.h"
#include "Quillo/store/PlayerStore.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/GroupController.h>
#include <SonosKit/MusicServices.h>
#include <SonosKit/ZoneTopology.h>
#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>

using Clock = std::chrono::steady_clock;

namespace {

using bench::serveEventsUntil;

constexpr auto playerLatency = std::chrono::milliseconds(20);

std::unique_ptr<PlayerStore> storeFor(
    const QTemporaryDir &directory, const QString &host, std::chrono::milliseconds pollPause = std::chrono::milliseconds(1500))
{
    auto settings = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    settings->setValue(QStringLiteral("manualHost"), host);
    settings->sync();
    PlayerStore::Settings environment = PlayerStore::defaultSettings();
    environment.pollPause = pollPause;
    auto store = std::make_unique<PlayerStore>(std::move(settings), std::move(environment));
    QCoro::waitFor(store->household().refresh());
    return store;
}

// The players in a process of their own, so that the process CPU counted
// here is the caller's alone.
class PlayersProcess
{
public:
    explicit PlayersProcess(const QString &firstAddress, const QStringList &extra = {})
    {
        m_process.start(QStringLiteral(PLAYERSIM_PATH), QStringList{QStringLiteral("--first-address"), firstAddress} + extra);
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        QByteArray output;
        while (!output.contains("ready") && Clock::now() < deadline && m_process.waitForReadyRead(1000))
            output += m_process.readAllStandardOutput();
        m_ready = output.contains("ready");
    }
    ~PlayersProcess()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    bool ready() const { return m_ready; }

private:
    QProcess m_process;
    bool m_ready = false;
};

// Four players, 1000 favorites and the generated Sonos Playlists.
playersim::Household thousandFavorites(const QString &firstAddress)
{
    playersim::GeneratorOptions options;
    options.players = 4;
    options.favorites = 1000;
    options.playlistTracks = 200;
    options.firstAddress = firstAddress;
    return playersim::Household::generate(options);
}

void BM_PollCycle_StateQueryAlone(benchmark::State &state)
{
    PlayersProcess players(QStringLiteral("127.119.1.11"));
    if (!players.ready()) {
        state.SkipWithError("playersim did not start on 127.119.1.0/24");
        return;
    }
    const QList<SonosKit::ZoneGroup> groups = QCoro::waitFor(SonosKit::ZoneTopology(QStringLiteral("127.119.1.11")).groups());
    const SonosKit::GroupController controller(*SonosKit::groupForRoom(groups, QStringLiteral("Salon Café")));
    QCoro::waitFor(controller.state());
    for (auto _ : state)
        benchmark::DoNotOptimize(QCoro::waitFor(controller.state()));
}
BENCHMARK(BM_PollCycle_StateQueryAlone)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(2.0);

// The same query through the store: the difference of the two CPU figures is
// what the store adds (comparing, publishing, notifying).
void BM_PollCycle_RefreshPlayback(benchmark::State &state)
{
    PlayersProcess players(QStringLiteral("127.119.2.11"));
    if (!players.ready()) {
        state.SkipWithError("playersim did not start on 127.119.2.0/24");
        return;
    }
    QTemporaryDir directory;
    auto store = storeFor(directory, QStringLiteral("127.119.2.11"));
    store->household().select(store->household().groups().front().id);
    QCoro::waitFor(store->nowPlaying().refresh());
    for (auto _ : state)
        QCoro::waitFor(store->nowPlaying().refresh());
}
BENCHMARK(BM_PollCycle_RefreshPlayback)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(2.0);

// 1000 favorites and the generated Sonos Playlists, every request answered
// after a LAN-like delay: the load against its slowest request alone, and
// the longest the main thread went without serving a 1 ms timer.
void BM_FavoritesLoad1000(benchmark::State &state)
{
    playersim::Household household = thousandFavorites(QStringLiteral("127.119.3.11"));
    if (!household.start()) {
        state.SkipWithError("could not bind 127.119.3.0/24");
        return;
    }
    playersim::Fault slow;
    slow.delay = playerLatency;
    for (const QString &address : household.addresses())
        household.server(address).inject(QString(), slow);

    const QString host = household.addresses().first();
    const auto alone = [](const std::function<void()> &request) {
        const auto start = Clock::now();
        for (int i = 0; i < 5; ++i)
            request();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / 5;
    };
    const double slowest = std::max({alone([&] { QCoro::waitFor(SonosKit::ContentDirectory(host).favorites()); }),
        alone([&] { QCoro::waitFor(SonosKit::ContentDirectory(host).playlists()); }),
        alone([&] { QCoro::waitFor(SonosKit::MusicServices(host).serviceNamesOrEmpty()); })});

    qint64 longestStall = 0;
    double total = 0;
    int favorites = 0;
    for (auto _ : state) {
        // A new store each time, so that the load publishes a new list.
        QTemporaryDir directory;
        auto store = storeFor(directory, host);
        bool visible = false;
        QObject::connect(&store->library(), &Library::favoritesChanged, [&] { visible = true; });
        bench::StallWatch stalls;
        stalls.start();
        const auto start = Clock::now();
        auto load = store->library().load();
        serveEventsUntil([&] { return visible; }, std::chrono::seconds(20));
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        stalls.stop();
        longestStall = std::max(longestStall, stalls.longestMs());
        QCoro::waitFor(std::move(load));
        favorites = store->library().favorites().size();
    }
    state.counters["favorites"] = double(favorites);
    state.counters["slowestAloneMs"] = slowest;
    state.counters["loadMs"] = total / double(state.iterations());
    state.counters["ratio"] = total / double(state.iterations()) / slowest;
    state.counters["longestStallMs"] = double(longestStall);
}
BENCHMARK(BM_FavoritesLoad1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// A reload that finds the same 1000 favorites: no model reset, no list
// notification; the figure is the reload's wall time.
void BM_FavoritesReloadUnchanged1000(benchmark::State &state)
{
    playersim::Household household = thousandFavorites(QStringLiteral("127.119.4.11"));
    if (!household.start()) {
        state.SkipWithError("could not bind 127.119.4.0/24");
        return;
    }
    QTemporaryDir directory;
    auto store = storeFor(directory, household.addresses().first());
    QCoro::waitFor(store->library().load());
    int resets = 0;
    int notifications = 0;
    QObject::connect(store->library().visibleFavoritesModel(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(&store->library(), &Library::favoritesChanged, [&] { ++notifications; });
    for (auto _ : state)
        QCoro::waitFor(store->library().load());
    state.counters["modelResets"] = resets;
    state.counters["notifications"] = notifications;
}
BENCHMARK(BM_FavoritesReloadUnchanged1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Open, then closed for 20 poll periods: every request the household saw
// while closed, after the read in flight at closing.
void BM_ClosedPanelRequests(benchmark::State &state)
{
    playersim::Household household = playersim::Household::defaultHousehold(QStringLiteral("127.119.5.11"));
    if (!household.start()) {
        state.SkipWithError("could not bind 127.119.5.0/24");
        return;
    }
    constexpr auto period = std::chrono::milliseconds(100);
    QTemporaryDir directory;
    auto store = storeFor(directory, household.addresses().first(), period);
    double sent = 0;
    for (auto _ : state) {
        store->menuOpened();
        serveEventsUntil([] { return false; }, 5 * period);
        store->menuClosed();
        serveEventsUntil([] { return false; }, period); // the read in flight
        household.log()->clear();
        serveEventsUntil([] { return false; }, 20 * period);
        sent += double(household.log()->all().size());
    }
    state.counters["requestsWhileClosed"] = sent / double(state.iterations());
}
BENCHMARK(BM_ClosedPanelRequests)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
