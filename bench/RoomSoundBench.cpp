// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// A room's sound page, printed: the bass slider dragged for about a second
// (a preview every 16 ms, as a pointer moves, then the release) and its arrow
// key held as long, with the requests per second the player saw; then, over
// 50 rounds, a bass set in another controller until the store's property
// notifies, median and worst. The household listens on 127.119.97.0/24.

#include "BenchEvents.h"
#include "Quillo/store/PlayerStore.h"

#include <SonosKit/RoomSound.h>
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
constexpr std::chrono::milliseconds frame{16};
constexpr std::chrono::milliseconds dragLength{1000};
// A desktop's key repeat.
constexpr std::chrono::milliseconds keyRepeat{33};

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The last time the household received `action`.
std::optional<Clock::time_point> receivedAt(const playersim::Household &household, const QString &action)
{
    std::optional<Clock::time_point> last;
    for (const playersim::LoggedRequest &request : household.log()->all()) {
        if (request.call.action == action)
            last = request.received;
    }
    return last;
}

int requestCount(const playersim::Household &household)
{
    int count = 0;
    for (const playersim::LoggedRequest &request : household.log()->all())
        count += request.call.action.startsWith(u"Set") ? 1 : 0;
    return count;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString firstAddress = QStringLiteral("127.119.97.11");
    playersim::Household household = playersim::Household::defaultHousehold(firstAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "RoomSoundBench: the household did not start: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir directory;
    auto file = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
    file->setValue(QStringLiteral("manualHost"), firstAddress);
    file->setValue(QStringLiteral("selectedRoomName"), QStringLiteral("Küche"));
    file->sync();
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    settings.eventAddress = QHostAddress(QStringLiteral("127.119.97.250"));
    settings.followNetworkChanges = false;
    PlayerStore store(std::move(file), std::move(settings));
    QCoro::waitFor(store.refreshAll());
    serveEventsUntil([&] { return store.liveUpdates().isFlowing(); }, roundLimit);
    if (!store.liveUpdates().isFlowing()) {
        std::fprintf(stderr, "RoomSoundBench: no events reached the store\n");
        return 1;
    }

    // The soundbar, outside the selected group: its events come through the
    // page's own subscription.
    RoomSound &sound = store.roomSound();
    QString soundbar;
    for (const RoomRecord &room : store.rooms().records())
        if (room.name == u"Salon Café")
            soundbar = room.id;
    const std::optional<SonosKit::SonosDevice> soundbarDevice = store.rooms().device(soundbar);
    if (!soundbarDevice) {
        std::fprintf(stderr, "The household has no room named Salon Café.\n");
        return 1;
    }
    sound.open(soundbar);
    serveEventsUntil([&] { return !sound.isLoading(); }, roundLimit);
    const SonosKit::RoomSoundControl elsewhere(*soundbarDevice);

    // 1. A drag: previews at the pointer's pace, then the release.
    household.log()->clear();
    const Clock::time_point began = Clock::now();
    int level = 0;
    while (Clock::now() - began < dragLength) {
        level = level >= 10 ? -10 : level + 1;
        sound.previewBass(level);
        serveEventsUntil([] { return false; }, frame);
    }
    sound.commitBass(level);
    serveEventsUntil([&] { return QCoro::waitFor(elsewhere.read(false)).bass == level; }, roundLimit);
    const double seconds = millisecondsBetween(began, Clock::now()) / 1000.0;
    std::printf("Bass slider dragged for %.2f s: requests at the player %d, %.2f per second, ending on %+d\n", seconds,
        requestCount(household), requestCount(household) / seconds, QCoro::waitFor(elsewhere.read(false)).bass);

    // 2. An arrow key held down: each repeat is committed at once, and the
    // sends of one slider queue behind each other, the newest replacing any
    // that waited.
    household.log()->clear();
    const Clock::time_point pressed = Clock::now();
    while (Clock::now() - pressed < dragLength) {
        level = level >= 10 ? -10 : level + 1;
        sound.commitBass(level);
        serveEventsUntil([] { return false; }, keyRepeat);
    }
    serveEventsUntil([&] { return QCoro::waitFor(elsewhere.read(false)).bass == level; }, roundLimit);
    const double held = millisecondsBetween(pressed, Clock::now()) / 1000.0;
    std::printf("Bass key held for %.2f s (a step every %lld ms): requests at the player %d, %.2f per second, ending on %+d\n",
        held, static_cast<long long>(keyRepeat.count()), requestCount(household), requestCount(household) / held,
        QCoro::waitFor(elsewhere.read(false)).bass);

    // 3. Bass changed in another controller until RoomSound::bass notifies.
    std::optional<Clock::time_point> notified;
    QObject::connect(&sound, &RoomSound::bassChanged, [&] { notified = Clock::now(); });
    std::vector<double> outside;
    for (int i = 0; i < rounds; ++i) {
        const int wanted = i % 2 == 0 ? 4 : -4;
        household.log()->clear();
        notified.reset();
        QCoro::waitFor(elsewhere.setBass(wanted));
        serveEventsUntil([&] { return sound.bass() == wanted; }, roundLimit);
        const std::optional<Clock::time_point> changed = receivedAt(household, QStringLiteral("SetBass"));
        if (sound.bass() == wanted && changed && notified)
            outside.push_back(millisecondsBetween(*changed, *notified));
    }
    bench::printFigures("Bass set in another controller to the store's property notifying", std::move(outside), rounds);
    return 0;
}
