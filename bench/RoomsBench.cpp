// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Figures of the Rooms list in the panel as the program shows it, over a
// store talking to simulated households on 127.119.50.0/24 and
// 127.119.51.0/24: a click on a room's box to the group picker showing the
// new group, with the players' events and without; and for a household of
// 32 rooms, the list opening to its first frame and the longest main-thread
// stall while it scrolls. Prints them; asserts nothing.
//   RoomsBench [CLICKS]
#include "BenchEvents.h"
#include "Quillo/app/QmlEngine.h"
#include "Quillo/store/PlayerStore.h"
#include "Quillo/tray/TrayPopup.h"
#include "playersim/Household.h"
#include "playersim/HouseholdGenerator.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;
using bench::median;
using bench::serveEventsUntil;

namespace {

constexpr auto patience = std::chrono::seconds(10);
// Scrolled this far per step, a step per frame: a brisk flick.
constexpr qreal scrollStep = 6;

double milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

QQuickItem *findItem(QQuickItem *root, const std::function<bool(QQuickItem *)> &wanted)
{
    if (!root)
        return nullptr;
    if (wanted(root))
        return root;
    for (QQuickItem *child : root->childItems())
        if (QQuickItem *found = findItem(child, wanted))
            return found;
    return nullptr;
}

QQuickItem *itemWithText(TrayPopup &panel, const char *className, const QString &text)
{
    return findItem(panel.contentItem(), [&](QQuickItem *item) {
        return item->inherits(className) && item->isVisible() && item->property("text").toString() == text;
    });
}

// The store and the open panel over a household, remembered group `room`.
struct Panel {
    Panel(const playersim::Household &household, const QString &room, bool events)
    {
        auto settings = std::make_unique<QSettings>(directory.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat);
        settings->setValue(QStringLiteral("manualHost"), household.addresses().first());
        settings->setValue(QStringLiteral("hasSeenWelcome"), true);
        settings->setValue(QStringLiteral("selectedRoomName"), room);
        settings->sync();
        PlayerStore::Settings environment;
        environment.events = events;
        const QString first = household.addresses().first();
        environment.eventAddress = QHostAddress(first.left(first.lastIndexOf(u'.') + 1) + QStringLiteral("250"));
        store = std::make_unique<PlayerStore>(std::move(settings), std::move(environment));
        PlayerStore::provideToQml(store.get());
        engine = makeQmlEngine();
        panel = std::make_unique<TrayPopup>(engine.get(), QUrl(QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml")));
        QObject::connect(panel.get(), &QQuickWindow::frameSwapped, [this] { framed = true; });
        panel->open(QRect(1200, 0, 22, 22));
        serveEventsUntil(
            [this] { return !store->household().groups().isEmpty() && store->nowPlaying().hasPlayback(); }, patience);
        if (events)
            serveEventsUntil([this] { return store->liveUpdates().isFlowing(); }, patience);
    }
    ~Panel()
    {
        panel.reset();
        engine.reset();
        PlayerStore::provideToQml(nullptr);
    }

    // From `act` to the next frame the panel shows.
    double toNextFrame(const std::function<void()> &act)
    {
        framed = false;
        const auto start = Clock::now();
        act();
        serveEventsUntil([this] { return framed; }, patience);
        return milliseconds(Clock::now() - start);
    }

    QTemporaryDir directory;
    std::unique_ptr<PlayerStore> store;
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<TrayPopup> panel;
    bool framed = false;
};

// A click on `room`'s box, in and out again, `clicks` times: from the click
// to the group picker showing the group the click made.
std::vector<double> clicksToPicker(const playersim::Household &household, bool events, int clicks)
{
    Panel panel(household, QStringLiteral("Kitchen"), events);
    panel.store->rooms().setShown(true);
    QQuickItem *picker = findItem(
        panel.panel->contentItem(), [](QQuickItem *item) { return item->inherits("QQuickComboBox") && item->isVisible(); });
    std::vector<double> spans;
    for (int i = 0; i < clicks; ++i) {
        serveEventsUntil([&] { return itemWithText(*panel.panel, "QQuickCheckBox", QStringLiteral("Living Room")); }, patience);
        QQuickItem *box = itemWithText(*panel.panel, "QQuickCheckBox", QStringLiteral("Living Room"));
        const QString before = picker->property("displayText").toString();
        const auto start = Clock::now();
        QMetaObject::invokeMethod(box, "clicked");
        serveEventsUntil([&] { return picker->property("displayText").toString() != before; }, patience);
        spans.push_back(milliseconds(Clock::now() - start));
        // The confirming topology read, before the next click.
        serveEventsUntil([] { return false; }, std::chrono::milliseconds(100));
    }
    return spans;
}

playersim::Household started(playersim::Household household)
{
    QString error;
    if (!household.start(&error))
        std::fprintf(stderr, "RoomsBench: the simulated household did not start: %s\n", qPrintable(error));
    return household;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int clicks = app.arguments().size() > 1 ? app.arguments().at(1).toInt() : 20;

    // Living Room alone; Kitchen and Office together.
    playersim::HouseholdData small;
    for (const auto &[uuid, room] : {std::pair{"RINCON_L01400", "Living Room"}, std::pair{"RINCON_K01400", "Kitchen"},
             std::pair{"RINCON_O01400", "Office"}}) {
        playersim::SimPlayerRecord player;
        player.uuid = QString::fromLatin1(uuid);
        player.roomName = QString::fromUtf8(room);
        player.volume = 30;
        small.players.append(player);
    }
    small.groups = {{QStringLiteral("RINCON_L01400"), {QStringLiteral("RINCON_L01400")}},
        {QStringLiteral("RINCON_K01400"), {QStringLiteral("RINCON_K01400"), QStringLiteral("RINCON_O01400")}}};
    playersim::Household household = started(playersim::Household(small, QStringLiteral("127.119.50.11")));
    const std::vector<double> withEvents = clicksToPicker(household, true, clicks);
    const std::vector<double> withoutEvents = clicksToPicker(household, false, clicks);

    // 32 rooms in groups of one to four, the list closed at first.
    playersim::GeneratorOptions options;
    options.players = 32;
    options.favorites = 20;
    options.playlistTracks = 20;
    options.firstAddress = QStringLiteral("127.119.51.11");
    playersim::Household large = started(playersim::Household::generate(options));
    double opening = 0;
    qint64 longestStall = 0;
    int rooms = 0;
    {
        Panel panel(large, QString(), false);
        panel.store->rooms().setShown(false);
        serveEventsUntil([] { return false; }, std::chrono::milliseconds(300));
        opening = panel.toNextFrame([&] { panel.store->rooms().setShown(true); });
        rooms = int(panel.store->rooms().records().size());
        QQuickItem *list = findItem(
            panel.panel->contentItem(), [](QQuickItem *item) { return item->objectName() == QStringLiteral("roomRows"); });
        const qreal end = list ? list->property("contentHeight").toReal() - list->height() : 0;

        bench::StallWatch stalls;
        stalls.start();
        for (qreal y = 0; list && y <= end; y += scrollStep)
            panel.toNextFrame([&] { list->setProperty("contentY", y); });
        stalls.stop();
        longestStall = stalls.longestMs();
    }

    std::printf("click on a room to the picker, events     %.1f ms median, %.1f ms worst (%d clicks)\n", median(withEvents),
        *std::max_element(withEvents.begin(), withEvents.end()), clicks);
    std::printf("click on a room to the picker, no events  %.1f ms median, %.1f ms worst\n", median(withoutEvents),
        *std::max_element(withoutEvents.begin(), withoutEvents.end()));
    std::printf("rooms in the large household              %d\n", rooms);
    std::printf("Rooms list opening to its first frame     %.1f ms\n", opening);
    std::printf("longest stall while it scrolls            %lld ms\n", longestStall);
    return 0;
}
