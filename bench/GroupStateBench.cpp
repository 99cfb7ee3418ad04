// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The group state query against a simulated household on loopback: how close
// the five concurrent requests come to the slowest of them alone, and what one
// query costs in CPU on the caller's side.

#include <SonosKit/GroupController.h>
#include <SonosKit/ZoneTopology.h>
#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>

using namespace SonosKit;
using Clock = std::chrono::steady_clock;

namespace {

// Players on a LAN take a while to answer; with every request delayed alike,
// overlapping them is what the wall time shows.
constexpr auto playerLatency = std::chrono::milliseconds(20);

ZoneGroup salonGroup(const QString &host)
{
    const QList<ZoneGroup> groups = QCoro::waitFor(ZoneTopology(host).groups());
    return *groupForRoom(groups, QStringLiteral("Salon Café"));
}

double millisecondsOf(const std::function<void()> &operation, int repetitions)
{
    const auto start = Clock::now();
    for (int i = 0; i < repetitions; ++i)
        operation();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / repetitions;
}

void BM_StateAgainstSlowestChildAlone(benchmark::State &state)
{
    playersim::Household household = playersim::Household::defaultHousehold(QStringLiteral("127.40.250.11"));
    if (!household.start()) {
        state.SkipWithError("could not bind 127.40.250.0/24");
        return;
    }
    const GroupController controller(salonGroup(household.addresses().first()));
    playersim::Fault slow;
    slow.delay = playerLatency;
    for (const SonosDevice &member : controller.group().members)
        household.server(member.host).inject(QString(), slow);

    const auto call = [&](const QString &action) {
        return [&controller, action] {
            QCoro::waitFor(controller.coordinator.call(SOAPClient::Service::avTransport, action, {{"InstanceID", "0"}}));
        };
    };
    const std::function<void()> children[] = {call(QStringLiteral("GetTransportInfo")), call(QStringLiteral("GetPositionInfo")),
        call(QStringLiteral("GetMediaInfo")), [&] { QCoro::waitFor(controller.volume()); },
        [&] { QCoro::waitFor(controller.isMuted()); }};
    double slowest = 0;
    for (const auto &child : children)
        slowest = std::max(slowest, millisecondsOf(child, 10));

    const auto start = Clock::now();
    for (auto _ : state)
        benchmark::DoNotOptimize(QCoro::waitFor(controller.state()));
    const double perState = std::chrono::duration<double, std::milli>(Clock::now() - start).count() / double(state.iterations());
    state.counters["slowestChildMs"] = slowest;
    state.counters["stateMs"] = perState;
    state.counters["ratio"] = perState / slowest;
}
BENCHMARK(BM_StateAgainstSlowestChildAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

// The players in a process of their own, so that the process CPU time counted
// here is the caller's alone: request building, Qt's HTTP, parsing, the
// coroutines.
void BM_StateCPU(benchmark::State &state)
{
    QProcess players;
    players.start(QStringLiteral(PLAYERSIM_PATH), {QStringLiteral("--first-address"), QStringLiteral("127.40.251.11")});
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    QByteArray output;
    while (!output.contains("ready") && Clock::now() < deadline && players.waitForReadyRead(1000))
        output += players.readAllStandardOutput();
    if (!output.contains("ready")) {
        state.SkipWithError("playersim did not start on 127.40.251.0/24");
        return;
    }
    const GroupController controller(salonGroup(QStringLiteral("127.40.251.11")));
    QCoro::waitFor(controller.state());
    for (auto _ : state)
        benchmark::DoNotOptimize(QCoro::waitFor(controller.state()));
    players.terminate();
    players.waitForFinished(5000);
}
BENCHMARK(BM_StateCPU)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime()->MinTime(2.0);

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
