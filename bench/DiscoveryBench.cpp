// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// How long the household lookup takes with the application's 3-second search,
// against the simulated household in a private network namespace:
//   with DNS-SD (about 3 s by design), with SSDP only (about 6 s: a full
//   browse that finds nothing, then a full search), and with no player at all
//   (about 6 s, then noPlayersFound). Also the worst delay of a 10 ms timer on
//   the main thread while the lookup runs.
// Run it through bench/discovery-bench, which makes the namespace.

#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/SonosError.h"
#include "playersim/DnssdPublisher.h"
#include "playersim/Household.h"
#include "playersim/HouseholdData.h"
#include "playersim/SsdpResponder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr double searchTimeout = 3.0;

enum class Advertised { dnssd, ssdpOnly, nothing };

struct SimulatedHousehold {
    std::unique_ptr<playersim::Household> players;
    std::unique_ptr<playersim::SsdpResponder> ssdp;
    std::unique_ptr<playersim::DnssdPublisher> dnssd;
};

SimulatedHousehold makeHousehold(Advertised advertised, benchmark::State &state)
{
    SimulatedHousehold household;
    if (advertised == Advertised::nothing)
        return household;
    household.players = std::make_unique<playersim::Household>(playersim::Household::defaultHousehold());
    QString error;
    if (!household.players->start(&error)) {
        state.SkipWithError(error.toUtf8().constData());
        return household;
    }
    household.ssdp = std::make_unique<playersim::SsdpResponder>(household.players->ssdpPlayers());
    if (!household.ssdp->start(&error))
        state.SkipWithError(error.toUtf8().constData());
    if (advertised == Advertised::dnssd) {
        household.dnssd = std::make_unique<playersim::DnssdPublisher>(household.players->dnssdPlayers());
        if (!household.dnssd->start(&error) || !household.dnssd->waitUntilEstablished(std::chrono::seconds(10), &error))
            state.SkipWithError(error.toUtf8().constData());
    }
    return household;
}

struct Outcome {
    bool finished = false;
    int groups = -1; // -1: the lookup failed
};

QCoro::Task<void> lookUp(std::shared_ptr<Outcome> outcome, QEventLoop *loop)
{
    try {
        const auto groups = co_await SonosKit::SonosDiscovery::findHousehold(searchTimeout);
        outcome->groups = int(groups.size());
    } catch (const SonosKit::SonosError &) {
    }
    outcome->finished = true;
    loop->quit();
}

void findHousehold(benchmark::State &state, Advertised advertised)
{
    if (qEnvironmentVariable("QUILLO_TEST_NETNS") != u"1") {
        state.SkipWithError("run through bench/discovery-bench: multicast only in a private namespace");
        return;
    }
    const SimulatedHousehold household = makeHousehold(advertised, state);
    qint64 worstLateness = 0;
    int groups = -1;
    for (auto _ : state) {
        QEventLoop loop;
        QElapsedTimer sinceTick;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(10);
        QObject::connect(&tick, &QTimer::timeout, [&] { worstLateness = std::max(worstLateness, sinceTick.restart() - 10); });
        sinceTick.start();
        tick.start();
        auto outcome = std::make_shared<Outcome>();
        auto task = lookUp(outcome, &loop);
        if (!outcome->finished)
            loop.exec();
        groups = outcome->groups;
    }
    state.counters["groups"] = groups;
    state.counters["worst_timer_delay_ms"] = double(worstLateness);
}

} // namespace

BENCHMARK_CAPTURE(findHousehold, dnssd, Advertised::dnssd)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(findHousehold, ssdp_only, Advertised::ssdpOnly)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(findHousehold, nothing, Advertised::nothing)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
