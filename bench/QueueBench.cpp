// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// Up Next opening, printed: from the store's verb (the button's click) to
// the rows around the playing entry ready to show, with a queue of 10 and of
// 10,000 entries, median and worst over 30 openings; and the memory resident
// after opening the long one. Each queue plays from its middle, over a
// simulated household of its own on 127.119.29.0/24 and 127.119.31.0/24.
// The simulated players run in this process: the resident figures include
// their queue, so the growth across the first opening is printed beside
// the total.

#include "BenchEvents.h"
#include "Quillo/store/PlayerStore.h"

#include <SonosKit/GroupController.h>
#include <playersim/Household.h>
#include <playersim/ResidentMemory.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int rounds = 30;
constexpr std::chrono::seconds roundLimit{5};

QByteArray householdWithQueue(int length)
{
    QJsonArray tracks;
    for (int i = 1; i <= length; ++i)
        tracks.append(QJsonObject{{"title", QStringLiteral("Track %1").arg(i)},
            {"uri", QStringLiteral("x-file-cifs://nas/%1.flac").arg(i)}, {"artist", "Bench Artist"}, {"duration", 200}});
    const QJsonObject household{{"players",
        QJsonArray{QJsonObject{{"uuid", "RINCON_L01400"}, {"room", "Living Room"}, {"volume", 30}, {"queue", tracks}}}}};
    return QJsonDocument(household).toJson(QJsonDocument::Compact);
}

// What is resident now, in KiB, from /proc/self/statm; -1 when unreadable.
qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4 : -1;
}

void benchOpening(int length, const QString &firstAddress)
{
    playersim::Household household = playersim::Household::fromJson(householdWithQueue(length), firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "QueueBench: the household did not start: %s\n", qPrintable(error));
        return;
    }
    QTemporaryDir directory;
    auto file = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), firstAddress);
    file->setValue(QStringLiteral("selectedRoomName"), QStringLiteral("Living Room"));
    file->sync();
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.events = false;
    settings.followNetworkChanges = false;
    PlayerStore store(std::move(file), std::move(settings));
    QCoro::waitFor(store.refreshAll());
    if (!store.household().selectedGroup()) {
        std::fprintf(stderr, "QueueBench: no group found at %s\n", qPrintable(firstAddress));
        return;
    }
    const int middle = length / 2;
    QCoro::waitFor(SonosKit::GroupController(*store.household().selectedGroup()).playQueueTrack(middle));
    QCoro::waitFor(store.nowPlaying().refresh());

    Queue &queue = store.queue();
    const auto ready = [&] { return !queue.isLoading() && queue.count() == length && queue.entries().item(middle); };
    // The moment the rows around the playing entry are in, not the next
    // look of the wait.
    Clock::time_point readyAt;
    QObject::connect(&queue, &Queue::opened, [&] { readyAt = Clock::now(); });
    std::vector<double> openings;
    qint64 growth = -1;
    qint64 resident = -1;
    for (int i = 0; i < rounds; ++i) {
        queue.setShown(false);
        std::optional<playersim::ResidentGrowth> watch;
        if (i == 0)
            watch.emplace();
        const Clock::time_point clicked = Clock::now();
        queue.setShown(true);
        bench::serveEventsUntil(ready, roundLimit);
        if (!ready())
            continue;
        openings.push_back(std::chrono::duration<double, std::milli>(readyAt - clicked).count());
        if (watch) {
            growth = watch->kib();
            resident = residentKiB();
        }
    }
    if (openings.empty()) {
        std::printf("Up Next opening, %d entries: no round completed\n", length);
        return;
    }
    const double worst = *std::max_element(openings.cbegin(), openings.cend());
    const size_t completed = openings.size();
    std::printf("Up Next opening, %d entries (%zu of %d): median %.2f ms, worst %.2f ms; %d of %d entries held\n", length,
        completed, rounds, bench::median(std::move(openings)), worst,
        std::min(queue.entries().heldPageCount() * QueueListModel::pageSize, length), length);
    std::printf("  resident after the first opening: %lld KiB (the opening grew it by %lld KiB)\n", qlonglong(resident),
        qlonglong(growth));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchOpening(10, QStringLiteral("127.119.29.11"));
    benchOpening(10'000, QStringLiteral("127.119.31.11"));
    return 0;
}
