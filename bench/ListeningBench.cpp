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

// The sleep timer on 127.119.81.0/24: the menu's lengths set from the store,
// and a length set in another controller reaching the button's label.
void benchSleepTimer()
{
    const QString firstAddress = QStringLiteral("127.119.81.11");
    playersim::Household household = playersim::Household::defaultHousehold(firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "ListeningBench: the sleep timer's household did not start: %s\n", qPrintable(error));
        return;
    }
    QTemporaryDir directory;
    // The default household's first player leads "Salon Café + 1".
    auto store = followingStore(directory, firstAddress, QStringLiteral("127.119.81.250"), QStringLiteral("Salon Café"));
    if (!store) {
        std::fprintf(stderr, "ListeningBench: no events reached the sleep timer's store\n");
        return;
    }
    SleepTimer &timer = store->sleepTimer();
    const QString configure = QStringLiteral("ConfigureSleepTimer");

    std::vector<double> commands;
    for (int i = 0; i < rounds; ++i) {
        const int minutes = i % 2 == 0 ? 15 : 30;
        household.log()->clear();
        const Clock::time_point clicked = Clock::now();
        timer.start(minutes);
        serveEventsUntil([&] { return receivedAt(household, configure).has_value(); }, roundLimit);
        if (const std::optional<Clock::time_point> seen = receivedAt(household, configure))
            commands.push_back(millisecondsBetween(clicked, *seen));
        const QString shown = SleepTimer::labelFor(std::chrono::minutes(minutes));
        serveEventsUntil([&] { return timer.label() == shown && !timer.isBusy(); }, roundLimit);
    }
    bench::printFigures("Sleep timer: a menu entry to ConfigureSleepTimer at the player", std::move(commands), rounds);

    // Another controller sets lengths the label tells apart; the store hears
    // the generation in the coordinator's event and reads the time left.
    Clock::time_point notified;
    QObject::connect(&timer, &SleepTimer::textChanged, [&] { notified = Clock::now(); });
    const SonosKit::GroupController elsewhere(*store->household().selectedGroup());
    std::vector<double> outside;
    for (int i = 0; i < rounds; ++i) {
        const std::chrono::minutes length{i % 2 == 0 ? 100 : 110};
        household.log()->clear();
        QCoro::waitFor(elsewhere.configureSleepTimer(length));
        const QString shown = SleepTimer::labelFor(length);
        serveEventsUntil([&] { return timer.label() == shown; }, roundLimit);
        const std::optional<Clock::time_point> changed = receivedAt(household, configure);
        if (timer.label() == shown && changed)
            outside.push_back(millisecondsBetween(*changed, notified));
    }
    bench::printFigures("Sleep timer: set in another controller to the store's label notifying", std::move(outside), rounds);
    QCoro::waitFor(elsewhere.configureSleepTimer(0s));
}

// Shuffle on 127.119.44.0/24: a click in the store until SetPlayMode reaches
// the player, and another controller's SetPlayMode until PlayModes::shuffle
// notifies.
void benchPlayModes()
{
    const QString firstAddress = QStringLiteral("127.119.44.11");
    playersim::Household household = playersim::Household::fromJson(R"({"players": [
        {"uuid": "RINCON_L01400", "room": "Living Room", "volume": 30,
         "queue": [{"title": "One", "uri": "x-file-cifs://nas/1.flac", "duration": 600}]}]})",
        firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "ListeningBench: the play modes' household did not start: %s\n", qPrintable(error));
        return;
    }
    QTemporaryDir directory;
    auto store = followingStore(directory, firstAddress, QStringLiteral("127.119.44.250"), QStringLiteral("Living Room"));
    if (!store) {
        std::fprintf(stderr, "ListeningBench: no events reached the play modes' store\n");
        return;
    }
    PlayModes &modes = store->playModes();
    serveEventsUntil([&] { return modes.canShuffle(); }, roundLimit);
    const SonosKit::GroupController elsewhere(*store->household().selectedGroup());
    const QString setPlayMode = QStringLiteral("SetPlayMode");
    Clock::time_point notified;
    QObject::connect(&modes, &PlayModes::shuffleChanged, [&] { notified = Clock::now(); });

    std::vector<double> clicks;
    std::vector<double> outside;
    for (int i = 0; i < rounds; ++i) {
        household.log()->clear();
        const bool clickedTo = !modes.shuffle();
        const Clock::time_point clicked = Clock::now();
        modes.toggleShuffle();
        serveEventsUntil([&] { return receivedAt(household, setPlayMode).has_value(); }, roundLimit);
        if (const std::optional<Clock::time_point> seen = receivedAt(household, setPlayMode))
            clicks.push_back(millisecondsBetween(clicked, *seen));
        // The answer and the echoing event are in before the change elsewhere.
        serveEventsUntil([&] { return modes.shuffle() == clickedTo; }, roundLimit);
        serveEventsUntil([] { return false; }, 20ms);

        const bool wanted = !modes.shuffle();
        household.log()->clear();
        QCoro::waitFor(elsewhere.setPlayMode(SonosKit::PlayMode{wanted, SonosKit::Repeat::off}));
        serveEventsUntil([&] { return modes.shuffle() == wanted; }, roundLimit);
        const std::optional<Clock::time_point> changed = receivedAt(household, setPlayMode);
        if (modes.shuffle() == wanted && changed)
            outside.push_back(millisecondsBetween(*changed, notified));
    }
    bench::printFigures("Shuffle: a click to SetPlayMode at the player", std::move(clicks), rounds);
    bench::printFigures("Shuffle: set in another controller to the store's property notifying", std::move(outside), rounds);
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
    bench::printFigures("Input clicked to SetAVTransportURI at the player", std::move(sent), rounds);

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
    bench::printFigures("Input switched elsewhere to the store's now playing notifying", std::move(shown), rounds);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchSleepTimer();
    benchPlayModes();
    benchInputs();
    return 0;
}
