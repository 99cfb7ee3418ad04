// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// The Alarms window's figures, printed: listing a household's 100 alarms,
// from the store's verb to the rows ready to show; and applying an alarm
// event, from another controller switching one alarm to the row showing
// it. Median and worst over 30 rounds each, over a simulated household on
// 127.119.90.0/24 whose players run in this process.

#include "BenchEvents.h"
#include "Quillo/store/PlayerStore.h"

#include <SonosKit/AlarmClock.h>
#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>
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

using bench::serveEventsUntil;

const QString firstAddress = QStringLiteral("127.119.90.11");
const QString listenAddress = QStringLiteral("127.119.90.250");
constexpr int alarmCount = 100;
constexpr int rounds = 30;
constexpr std::chrono::seconds roundLimit{5};

// Two rooms and 100 alarms across the day, every fifth switched off.
QByteArray householdJson()
{
    const QStringList rooms{QStringLiteral("RINCON_B01400"), QStringLiteral("RINCON_K01400")};
    QJsonArray alarms;
    for (int i = 0; i < alarmCount; ++i) {
        const int minutes = (i * 14) % (24 * 60);
        alarms.append(QJsonObject{{"id", i + 1},
            {"startTime", QStringLiteral("%1:%2:00").arg(minutes / 60, 2, 10, QChar(u'0')).arg(minutes % 60, 2, 10, QChar(u'0'))},
            {"recurrence",
                i % 3 == 0       ? "WEEKDAYS"
                    : i % 3 == 1 ? "ON_135"
                                 : "DAILY"},
            {"enabled", i % 5 != 0}, {"roomUUID", rooms.at(i % 2)}});
    }
    const QJsonObject household{{"players",
                                    QJsonArray{QJsonObject{{"uuid", rooms.at(0)}, {"room", "Bedroom"}, {"volume", 20}},
                                        QJsonObject{{"uuid", rooms.at(1)}, {"room", "Kitchen"}, {"volume", 30}}}},
        {"alarms", alarms}};
    return QJsonDocument(household).toJson(QJsonDocument::Compact);
}

std::unique_ptr<PlayerStore> storeFor(const QTemporaryDir &directory, bool events)
{
    auto file = std::make_unique<QSettings>(
        directory.filePath(QStringLiteral("Quillo-%1.conf").arg(events)), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), firstAddress);
    file->setValue(QStringLiteral("selectedRoomName"), QStringLiteral("Bedroom"));
    file->sync();
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.events = events;
    settings.eventAddress = QHostAddress(listenAddress);
    settings.followNetworkChanges = false;
    auto store = std::make_unique<PlayerStore>(std::move(file), std::move(settings));
    QCoro::waitFor(store->refreshAll());
    return store;
}

double since(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void benchListing(const QTemporaryDir &directory)
{
    auto store = storeFor(directory, false);
    Alarms &alarms = store->alarms();
    Clock::time_point shownAt;
    QObject::connect(&alarms, &Alarms::readDone, [&] { shownAt = Clock::now(); });
    std::vector<double> listings;
    for (int i = 0; i < rounds; ++i) {
        // Nothing held: each round lists them all afresh, as at start-up.
        alarms.list().setRecords({});
        const Clock::time_point asked = Clock::now();
        alarms.reload();
        serveEventsUntil([&] { return alarms.list().count() == alarmCount && !alarms.isLoading(); }, roundLimit);
        if (alarms.list().count() == alarmCount)
            listings.push_back(since(asked, shownAt));
    }
    bench::printFigures("Listing 100 alarms, verb to rows ready", std::move(listings), rounds);
}

void benchEvent(const QTemporaryDir &directory, const QString &host)
{
    auto store = storeFor(directory, true);
    Alarms &alarms = store->alarms();
    serveEventsUntil([&] { return store->liveUpdates().isFlowing() && alarms.list().count() == alarmCount; }, 10s);
    if (!store->liveUpdates().isFlowing() || alarms.list().count() != alarmCount) {
        std::printf("Applying an alarm event: the events did not flow\n");
        return;
    }
    // The alarm that rings first: row 0.
    const QString id = alarms.list().items().constFirst().id;
    Clock::time_point changedAt;
    QObject::connect(&alarms.list(), &QAbstractItemModel::dataChanged, [&] { changedAt = Clock::now(); });
    const SonosKit::AlarmClock elsewhere(host);
    std::vector<double> applied;
    for (int i = 0; i < rounds; ++i) {
        const auto held = std::find_if(
            alarms.alarms().cbegin(), alarms.alarms().cend(), [&](const SonosKit::Alarm &alarm) { return alarm.id == id; });
        if (held == alarms.alarms().cend())
            break;
        SonosKit::Alarm switched = *held;
        switched.enabled = !switched.enabled;
        changedAt = {};
        const Clock::time_point sent = Clock::now();
        QCoro::waitFor(elsewhere.update(switched));
        serveEventsUntil([&] { return alarms.list().items().constFirst().enabled == switched.enabled; }, roundLimit);
        if (changedAt != Clock::time_point() && alarms.list().items().constFirst().enabled == switched.enabled)
            applied.push_back(since(sent, changedAt));
    }
    bench::printFigures("Applying an alarm event, switched elsewhere to the row changed", std::move(applied), rounds);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    playersim::Household household = playersim::Household::fromJson(householdJson(), firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "AlarmsBench: the simulated household did not start: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir directory;
    benchListing(directory);
    benchEvent(directory, household.addresses().constFirst());
    household.stop();
    return 0;
}
