// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The panel's held figures with two households of 16 rooms each on the
// network, next to one: click to first frame (first opening and later ones)
// and memory after 100 openings. Each case runs in a process of its own, so
// that one's memory does not count in the other's. The simulated households
// run in that process too. Prints them; asserts
// nothing. Households on 127.119.90.0/24 and 127.119.91.0/24.
//   HouseholdsBench [HOUSEHOLDS]   (without: runs itself for 1 and for 2)
#include "BenchEvents.h"
#include "Quillo/app/QmlEngine.h"
#include "Quillo/store/PlayerStore.h"
#include "Quillo/tray/TrayPopup.h"
#include "playersim/Household.h"
#include "playersim/HouseholdGenerator.h"

#include "SonosKit/SonosDiscovery.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlEngine>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

constexpr int roomsEach = 16;
constexpr int openings = 100;

long long residentKiB()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

QCoro::Task<QList<SonosKit::SonosHousehold>> householdsAt(QStringList players)
{
    QList<SonosKit::SonosHousehold> found;
    for (const QString &player : std::as_const(players)) {
        SonosKit::SonosHousehold household = co_await SonosKit::SonosDiscovery::householdAt(player);
        found.append(std::move(household));
    }
    co_return found;
}

playersim::Household household(int number)
{
    playersim::GeneratorOptions options;
    options.players = roomsEach;
    options.favorites = 200;
    options.playlistTracks = 50;
    options.seed = quint32(number + 1);
    playersim::HouseholdData data = playersim::generateHousehold(options);
    data.householdId = QStringLiteral("Sonos_BenchHousehold%1").arg(number);
    return playersim::Household(std::move(data), QStringLiteral("127.119.%1.11").arg(90 + number));
}

int measure(int householdCount)
{
    // Both simulated households run in either case, so that the simulator's
    // own memory counts alike; the search finds one or both.
    std::vector<playersim::Household> households;
    QStringList firstPlayers;
    for (int i = 0; i < 2; ++i) {
        households.push_back(household(i));
        QString error;
        if (!households.back().start(&error)) {
            std::fprintf(stderr, "HouseholdsBench: a simulated household did not start: %s\n", qPrintable(error));
            return 1;
        }
        if (i < householdCount)
            firstPlayers.append(households.back().addresses().first());
    }

    QTemporaryDir directory;
    auto settings = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    settings->setValue(QStringLiteral("hasSeenWelcome"), true);
    settings->sync();
    PlayerStore::Settings environment = PlayerStore::defaultSettings();
    environment.events = false;
    environment.followNetworkChanges = false;
    environment.examineConnection = {};
    // Multicast stays inside a namespace: the search asks each household's
    // first player, as the network's answers would name them.
    environment.findHouseholds = [firstPlayers](double) { return householdsAt(firstPlayers); };
    PlayerStore store(std::move(settings), std::move(environment));
    PlayerStore::provideToQml(&store);
    auto engine = makeQmlEngine();
    TrayPopup popover(engine.get(), QUrl(QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml")));
    bench::serveEventsUntil([] { return false; }, std::chrono::milliseconds(500));

    bool framed = false;
    QObject::connect(&popover, &QQuickWindow::frameSwapped, [&framed] { framed = true; });
    const auto openOnce = [&] {
        framed = false;
        const auto start = Clock::now();
        popover.open(QRect(1200, 0, 22, 22));
        bench::serveEventsUntil([&] { return framed; }, std::chrono::seconds(10));
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    const double first = openOnce();
    bench::serveEventsUntil([&] { return !store.library().favorites().isEmpty(); }, std::chrono::seconds(30));
    popover.close();
    std::vector<double> later;
    for (int i = 0; i < openings; ++i) {
        later.push_back(openOnce());
        popover.close();
        bench::serveEventsUntil([] { return false; }, std::chrono::milliseconds(5));
    }
    bench::serveEventsUntil([] { return false; }, std::chrono::milliseconds(500));

    std::printf("%d household(s) of %d rooms, %d in the chooser: first opening %.1f ms, later %.1f ms median, "
                "%.1f ms worst; RSS after %d openings %lld KiB\n",
        householdCount, roomsEach, int(store.household().choice().households().size()), first, bench::median(later),
        *std::max_element(later.begin(), later.end()), openings, residentKiB());
    PlayerStore::provideToQml(nullptr);
    for (playersim::Household &running : households)
        running.stop();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (app.arguments().size() > 1)
        return measure(std::clamp(app.arguments().at(1).toInt(), 1, 2));
    int status = 0;
    for (const char *count : {"1", "2"}) {
        QProcess run;
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(app.applicationFilePath(), {QString::fromLatin1(count)});
        run.waitForFinished(-1);
        status |= run.exitCode();
    }
    return status;
}
