// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// A day's listening from the tray, printed: for each feature, the time from
// a command in the store to its request at the simulated player, and from a
// change made elsewhere to the store's property notifying. Each part runs on
// a household and a /24 of its own and asserts nothing.

#include "BenchEvents.h"
#include "Quillo/store/PlayerStore.h"

#include <SonosKit/GroupController.h>
#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

using bench::serveEventsUntil;

constexpr int rounds = 50;
constexpr std::chrono::seconds patience{5};

double milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

void printFigure(const char *what, std::vector<double> figures)
{
    if (figures.empty()) {
        std::printf("%s: no round completed\n", what);
        return;
    }
    std::sort(figures.begin(), figures.end());
    std::printf("%s (%zu of %d): median %.2f ms, worst %.2f ms\n", what, figures.size(), rounds, figures[figures.size() / 2],
        figures.back());
}

// A store with events on, over the player at `address`, following `room`.
std::unique_ptr<PlayerStore> storeFollowing(
    const QTemporaryDir &directory, const QString &address, const QString &listen, const QString &room)
{
    auto file = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), address);
    file->setValue(QStringLiteral("selectedRoomName"), room);
    file->sync();
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.events = true;
    settings.eventAddress = QHostAddress(listen);
    settings.followNetworkChanges = false;
    auto store = std::make_unique<PlayerStore>(std::move(file), std::move(settings));
    QCoro::waitFor(store->refreshAll());
    return store;
}

// The last request of `action` the household received, once answered.
std::optional<playersim::LoggedRequest> answered(const playersim::Household &household, const QString &action, size_t after)
{
    size_t seen = 0;
    for (const playersim::LoggedRequest &request : household.log()->all()) {
        if (request.call.action != action || ++seen <= after)
            continue;
        if (request.answered != Clock::time_point{})
            return request;
    }
    return std::nullopt;
}

size_t countOf(const playersim::Household &household, const QString &action)
{
    return household.log()->calls(action).size();
}

// Shuffle: a click in the store until SetPlayMode reaches the player, and
// another controller's SetPlayMode until PlayModes::shuffle notifies.
void benchPlayModes()
{
    const QString first = QStringLiteral("127.119.44.11");
    playersim::Household household = playersim::Household::fromJson(R"({"players": [
        {"uuid": "RINCON_L01400", "room": "Living Room", "volume": 30,
         "queue": [{"title": "One", "uri": "x-file-cifs://nas/1.flac", "duration": 600}]}]})",
        first);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "ListeningBench: the play modes' household did not start: %s\n", qPrintable(error));
        return;
    }
    QTemporaryDir directory;
    auto store = storeFollowing(directory, first, QStringLiteral("127.119.44.250"), QStringLiteral("Living Room"));
    PlayModes &modes = store->playModes();
    serveEventsUntil([&] { return store->liveUpdates().isFlowing() && modes.canShuffle(); }, patience);
    if (!store->liveUpdates().isFlowing()) {
        std::fprintf(stderr, "ListeningBench: no events reached the play modes' store\n");
        return;
    }
    const SonosKit::GroupController elsewhere(*store->household().selectedGroup());
    Clock::time_point notified;
    QObject::connect(&modes, &PlayModes::shuffleChanged, [&] { notified = Clock::now(); });

    std::vector<double> clicks;
    std::vector<double> outside;
    for (int i = 0; i < rounds; ++i) {
        const size_t before = countOf(household, QStringLiteral("SetPlayMode"));
        const Clock::time_point clicked = Clock::now();
        modes.toggleShuffle();
        serveEventsUntil([&] { return answered(household, QStringLiteral("SetPlayMode"), before).has_value(); }, patience);
        if (const auto request = answered(household, QStringLiteral("SetPlayMode"), before))
            clicks.push_back(milliseconds(request->received - clicked));
        // The answer and the echoing event are in before the change elsewhere.
        serveEventsUntil([] { return false; }, std::chrono::milliseconds(20));

        const bool wanted = !modes.shuffle();
        const size_t sent = countOf(household, QStringLiteral("SetPlayMode"));
        QCoro::waitFor(elsewhere.setPlayMode(SonosKit::PlayMode{wanted, SonosKit::Repeat::off}));
        serveEventsUntil([&] { return modes.shuffle() == wanted; }, patience);
        const auto request = answered(household, QStringLiteral("SetPlayMode"), sent);
        if (modes.shuffle() == wanted && request)
            outside.push_back(milliseconds(notified - request->received));
    }
    printFigure("Shuffle clicked to SetPlayMode at the player", clicks);
    printFigure("Shuffle set elsewhere to PlayModes.shuffle notifying", outside);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchPlayModes();
    return 0;
}
