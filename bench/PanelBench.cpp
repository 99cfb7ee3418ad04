// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Figures of the panel as the program shows it, over a store talking to a
// simulated household of 1000 favorites: memory after launch and after 200
// openings, time from the click to the first frame, the longest main-thread
// stall while the favorites fill the chooser, and what a closed panel costs
// (main-thread wakeups per second, requests). Prints them; asserts nothing.
//   PanelBench [SECONDS-CLOSED]
#include "BenchEvents.h"
#include "Quillo/app/QmlEngine.h"
#include "Quillo/app/QuilloApplication.h"
#include "Quillo/store/PlayerStore.h"
#include "Quillo/tray/TrayPopup.h"
#include "playersim/Household.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

using bench::median;
using bench::serveEventsUntil;

// A field of /proc/self/status (or of the main thread's), in its own unit.
long long statusField(const QString &path, const QByteArray &name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

long long mainThreadSwitches()
{
    const QString path = QStringLiteral("/proc/self/task/%1/status").arg(QCoreApplication::applicationPid());
    return statusField(path, "voluntary_ctxt_switches") + statusField(path, "nonvoluntary_ctxt_switches");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int closedSeconds = app.arguments().size() > 1 ? app.arguments().at(1).toInt() : 10;

    playersim::GeneratorOptions options;
    options.players = 4;
    options.favorites = 1000;
    options.playlistTracks = 200;
    options.firstAddress = QStringLiteral("127.119.20.11");
    playersim::Household household = playersim::Household::generate(options);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "PanelBench: the simulated household did not start: %s\n", qPrintable(error));
        return 1;
    }

    QTemporaryDir directory;
    auto settings = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    settings->setValue(QStringLiteral("manualHost"), household.addresses().first());
    settings->setValue(QStringLiteral("hasSeenWelcome"), true);
    settings->sync();
    PlayerStore store(std::move(settings));
    PlayerStore::provideToQml(&store);
    auto engine = makeQmlEngine();
    TrayPopup popover(engine.get(), QUrl(QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml")));
    serveEventsUntil([] { return false; }, std::chrono::milliseconds(500));
    const long long rssLaunch = statusField(QStringLiteral("/proc/self/status"), "VmRSS");

    bool framed = false;
    QObject::connect(&popover, &QQuickWindow::frameSwapped, [&framed] { framed = true; });
    const auto openOnce = [&] {
        framed = false;
        const auto start = Clock::now();
        popover.open(QRect(1200, 0, 22, 22));
        serveEventsUntil([&] { return framed; }, std::chrono::seconds(10));
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };

    // The first opening finds the household and builds the controls; the
    // favorites, held back a little, then fill the chooser while the main
    // thread must keep serving a 1 ms timer.
    playersim::Fault slowListing;
    slowListing.delay = std::chrono::milliseconds(400);
    household.server(household.addresses().first()).inject(QStringLiteral("Browse"), slowListing);
    bench::StallWatch stalls;
    const double firstOpening = openOnce();
    serveEventsUntil([&] { return store.household().groups().size() > 0; }, std::chrono::seconds(10));
    framed = false;
    serveEventsUntil([&] { return framed; }, std::chrono::seconds(10)); // the controls are up
    stalls.start();
    serveEventsUntil(
        [&] { return store.library().favorites().size() >= 1000 && !store.trackList().isLoading(); }, std::chrono::seconds(30));
    serveEventsUntil([] { return false; }, std::chrono::milliseconds(300));
    stalls.stop();
    household.server(household.addresses().first()).clearFaults();
    popover.close();
    serveEventsUntil([] { return false; }, std::chrono::milliseconds(300));
    const long long rssFirst = statusField(QStringLiteral("/proc/self/status"), "VmRSS");

    std::vector<double> openings;
    for (int i = 0; i < 200; ++i) {
        openings.push_back(openOnce());
        popover.close();
        serveEventsUntil([] { return false; }, std::chrono::milliseconds(5));
    }
    serveEventsUntil([] { return false; }, std::chrono::milliseconds(500));
    const long long rssCycles = statusField(QStringLiteral("/proc/self/status"), "VmRSS");
    const long long rssPeak = statusField(QStringLiteral("/proc/self/status"), "VmHWM");

    household.log()->clear();
    // A plain event loop, as the program runs while the panel is closed.
    QEventLoop idle;
    QTimer::singleShot(std::chrono::seconds(closedSeconds), &idle, &QEventLoop::quit);
    const long long switchesBefore = mainThreadSwitches();
    idle.exec();
    const long long switches = mainThreadSwitches() - switchesBefore - 1;
    const size_t requests = household.log()->all().size();

    std::printf("favorites                          %d\n", int(store.library().favorites().size()));
    std::printf("RSS after launch                   %lld KiB\n", rssLaunch);
    std::printf("RSS after the first opening        %lld KiB\n", rssFirst);
    std::printf("RSS after 200 openings             %lld KiB (peak %lld KiB)\n", rssCycles, rssPeak);
    std::printf("click to first frame, first        %.1f ms\n", firstOpening);
    std::printf("click to first frame, later        %.1f ms median, %.1f ms worst\n", median(openings),
        *std::max_element(openings.begin(), openings.end()));
    std::printf("longest stall, 1000 favorites in   %lld ms\n", stalls.longestMs());
    std::printf("closed %d s: main-thread wakeups   %.2f per second\n", closedSeconds, double(switches) / closedSeconds);
    std::printf("closed %d s: requests              %zu\n", closedSeconds, requests);

    PlayerStore::provideToQml(nullptr);
    return 0;
}
