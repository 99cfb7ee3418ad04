// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// A day's listening from the tray, printed: for each feature, the time from
// the panel's command to the request seen at the simulated player, and from
// a change made in another controller to the store's property notifying,
// median and worst over 50 rounds. Each feature runs over a household of its
// own on its own /24 of 127.119.0.0/16.

#include "BenchEvents.h"
#include "Quillo/store/PlayerStore.h"

#include <SonosKit/GroupController.h>
#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

using bench::serveEventsUntil;

constexpr int rounds = 50;
constexpr std::chrono::seconds roundLimit{5};

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void printFigure(const char *what, std::vector<double> figures)
{
    if (figures.empty()) {
        std::printf("%s: no round completed\n", what);
        return;
    }
    const double worst = *std::max_element(figures.cbegin(), figures.cend());
    const size_t completed = figures.size();
    std::printf(
        "%s (%zu of %d): median %.2f ms, worst %.2f ms\n", what, completed, rounds, bench::median(std::move(figures)), worst);
}

// When the household last received `action`.
std::optional<Clock::time_point> receivedAt(const playersim::Household &household, const QString &action)
{
    std::optional<Clock::time_point> last;
    for (const playersim::LoggedRequest &request : household.log()->all()) {
        if (request.call.action == action)
            last = request.received;
    }
    return last;
}

// A store with events on over the household at `firstAddress`, following
// the group of `room`; null when the events never flowed.
std::unique_ptr<PlayerStore> followingStore(
    const QTemporaryDir &directory, const QString &firstAddress, const QString &listenAddress, const QString &room)
{
    auto file = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), firstAddress);
    file->setValue(QStringLiteral("selectedRoomName"), room);
    file->sync();
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.eventAddress = QHostAddress(listenAddress);
    settings.followNetworkChanges = false;
    auto store = std::make_unique<PlayerStore>(std::move(file), std::move(settings));
    QCoro::waitFor(store->refreshAll());
    serveEventsUntil([&] { return store->liveUpdates().isFlowing(); }, roundLimit);
    if (!store->liveUpdates().isFlowing())
        return nullptr;
    return store;
}

// The inputs on 127.119.83.0/24: the default household's TV and line-in
// played from the panel's row, turn about, and from another controller.
void benchInputs()
{
    const QString firstAddress = QStringLiteral("127.119.83.11");
    playersim::Household household = playersim::Household::defaultHousehold(firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "ListeningBench: the inputs' household did not start: %s\n", qPrintable(error));
        return;
    }
    QTemporaryDir directory;
    auto store = followingStore(directory, firstAddress, QStringLiteral("127.119.83.250"), QStringLiteral("Salon Café"));
    if (!store) {
        std::fprintf(stderr, "ListeningBench: no events reached the inputs' store\n");
        return;
    }
    serveEventsUntil([&] { return store->inputs().items().size() == 2; }, roundLimit);
    if (store->inputs().items().size() != 2) {
        std::fprintf(stderr, "ListeningBench: the household's inputs were not found\n");
        return;
    }
    const auto shows = [&](const QString &title) { return store->nowPlaying().playbackRecord().title() == title; };
    const QString titles[] = {
        Inputs::titleFor(store->inputs().items().at(0).kind), Inputs::titleFor(store->inputs().items().at(1).kind)};

    // 1. A click on an input to its SetAVTransportURI at the coordinator.
    std::vector<double> sent;
    for (int i = 0; i < rounds; ++i) {
        const int index = i % 2;
        household.log()->clear();
        const auto clicked = Clock::now();
        store->inputs().play(index);
        serveEventsUntil(
            [&] { return receivedAt(household, QStringLiteral("Play")).has_value() && shows(titles[index]); }, roundLimit);
        if (const auto received = receivedAt(household, QStringLiteral("SetAVTransportURI")))
            sent.push_back(millisecondsBetween(clicked, *received));
    }
    printFigure("Input clicked to SetAVTransportURI at the player", std::move(sent));

    // 2. Another controller switches the input; what plays shows it.
    std::vector<double> shown;
    const SonosKit::ZoneGroup group = *store->household().selectedGroup();
    const InputRecord inputs[] = {store->inputs().items().at(0), store->inputs().items().at(1)};
    for (int i = 0; i < rounds; ++i) {
        const int index = (i + 1) % 2;
        std::optional<Clock::time_point> notified;
        const QMetaObject::Connection watch = QObject::connect(&store->nowPlaying(), &NowPlaying::playbackChanged, [&] {
            if (!notified && shows(titles[index]))
                notified = Clock::now();
        });
        const SonosKit::GroupController elsewhere(group);
        const auto changed = Clock::now();
        QCoro::waitFor(inputs[index].kind == SonosKit::InputSource::Kind::tv ? elsewhere.playTV(inputs[index].player)
                                                                             : elsewhere.playLineIn(inputs[index].player));
        serveEventsUntil([&] { return notified.has_value(); }, roundLimit);
        QObject::disconnect(watch);
        if (notified)
            shown.push_back(millisecondsBetween(changed, *notified));
    }
    printFigure("Input switched elsewhere to the store's now playing notifying", std::move(shown));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchInputs();
    return 0;
}
