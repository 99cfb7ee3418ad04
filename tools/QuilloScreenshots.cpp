// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Renders the panel, the setup screen, the welcome window and the Alarms
// window in the states the README shows, over a real store talking to a
// simulated household, and saves them as PNGs.
//   quillo-screenshots OUT-DIR
#include "Quillo/app/QmlEngine.h"
#include "Quillo/app/QuilloApplication.h"
#include "Quillo/app/Translations.h"
#include "Quillo/store/PlayerStore.h"
#include "Quillo/store/Queue.h"
#include "Quillo/store/RoomSound.h"
#include "playersim/Household.h"

#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/ZoneTopology.h"

#include <QCoroTimer>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QGuiApplication>
#include <QHostAddress>
#include <QPalette>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds limit = std::chrono::seconds(10))
{
    QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop().processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

// The household reached through `address`, its favorites loaded.
void connectTo(PlayerStore &store, const QString &address)
{
    store.household().retry(address);
    waitFor([&] { return !store.library().favorites().isEmpty(); });
}

void settle(std::chrono::milliseconds span = std::chrono::milliseconds(400))
{
    waitFor([] { return false; }, span);
}

using Search = std::function<QCoro::Task<QList<SonosKit::SonosHousehold>>(double)>;

// A search that finds nothing for a long time: the setup screen's search.
QCoro::Task<QList<SonosKit::SonosHousehold>> endlessSearch(double)
{
    co_await QCoro::sleepFor(std::chrono::minutes(10));
    co_return QList<SonosKit::SonosHousehold>();
}

// The households of the players at `addresses`.
QCoro::Task<QList<SonosKit::SonosHousehold>> householdsAt(QStringList addresses)
{
    QList<SonosKit::SonosHousehold> found;
    for (const QString &address : std::as_const(addresses)) {
        SonosKit::SonosHousehold household = co_await SonosKit::SonosDiscovery::householdAt(address);
        found.append(std::move(household));
    }
    co_return found;
}

// A search that finds the households of the players at `addresses`.
Search searchAt(QStringList addresses)
{
    return [addresses](double) { return householdsAt(addresses); };
}

class Shooter
{
public:
    Shooter(QString directory, QString firstAddress)
        : m_directory(std::move(directory))
        , m_address(std::move(firstAddress))
    { }

    // A store that finds nothing, and whose connection check finds `found`.
    std::unique_ptr<PlayerStore> diagnosedStore(SonosKit::Diagnosis found)
    {
        auto made = store(
            false, [](double) -> QCoro::Task<QList<SonosKit::SonosHousehold>> { co_return {}; },
            [found](SonosKit::ConnectionDoctor::Options) -> QCoro::Task<SonosKit::Diagnosis> { co_return found; });
        return made;
    }

    std::unique_ptr<PlayerStore> store(bool searchForever = false, Search search = {},
        std::function<QCoro::Task<SonosKit::Diagnosis>(SonosKit::ConnectionDoctor::Options)> examine = {},
        std::optional<QHostAddress> eventAddress = {})
    {
        PlayerStore::Settings environment;
        environment.examineConnection = std::move(examine);
        if (eventAddress) {
            environment.events = true;
            environment.eventAddress = eventAddress;
        }
        if (search)
            environment.findHouseholds = std::move(search);
        else if (searchForever)
            environment.findHouseholds = endlessSearch;
        else
            environment.findHouseholds = searchAt({m_address});
        auto settings = std::make_unique<QSettings>(
            m_settings.filePath(QStringLiteral("Quillo-%1.conf").arg(++m_count)), QSettings::IniFormat);
        return std::make_unique<PlayerStore>(std::move(settings), std::move(environment));
    }

    // Shows `content` over `store`, lets `prepare` bring it into shape, and
    // saves the window once `ready` holds.
    bool shoot(const QString &name, PlayerStore &store, const QString &content, const std::function<void()> &prepare,
        const std::function<bool()> &ready, const std::function<void()> &afterShowing = {})
    {
        PlayerStore::provideToQml(&store);
        auto engine = makeQmlEngine();
        bool saved = false;
        // Before the panel shows: its opening starts refreshes of its own,
        // which would race the state set up here.
        if (prepare)
            prepare();
        {
            QQuickView view(engine.get(), nullptr);
            view.setResizeMode(QQuickView::SizeViewToRootObject);
            view.setSource(QUrl(content));
            view.show();
            if (afterShowing) {
                settle();
                afterShowing();
            }
            if (!waitFor(ready))
                std::fprintf(stderr, "quillo-screenshots: %s did not reach its state in time\n", qPrintable(name));
            settle();
            const QString path = QDir(m_directory).filePath(name + QStringLiteral(".png"));
            saved = view.grabWindow().save(path, "PNG");
            std::printf("%s\n", qPrintable(path));
            view.hide();
        }
        engine.reset();
        PlayerStore::provideToQml(nullptr);
        return saved;
    }

private:
    QString m_directory;
    QString m_address;
    QTemporaryDir m_settings;
    int m_count = 0;
};

bool roomLevelsKnown(const PlayerStore &store)
{
    const QList<RoomRecord> &rooms = store.rooms().records();
    return std::all_of(rooms.cbegin(), rooms.cend(), [](const RoomRecord &room) { return !room.inGroup || room.hasLevel; });
}

const QString menu = QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml");
const QString alarmsWindow = QStringLiteral("qrc:/Quillo/qml/AlarmsView.qml");

// The first shown item of any window that `matches`, looked for depth first.
QQuickItem *findShown(const std::function<bool(const QQuickItem &)> &matches)
{
    const std::function<QQuickItem *(QQuickItem *)> find = [&](QQuickItem *item) -> QQuickItem * {
        if (!item->isVisible())
            return nullptr;
        if (matches(*item))
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = find(child))
                return found;
        }
        return nullptr;
    };
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        auto *quick = qobject_cast<QQuickWindow *>(window);
        if (QQuickItem *found = quick ? find(quick->contentItem()) : nullptr)
            return found;
    }
    return nullptr;
}

// Clicks the shown button whose text is `text`, in whichever window holds it.
bool clickButton(const QString &text)
{
    QQuickItem *button = findShown([&](const QQuickItem &item) {
        return item.inherits("QQuickAbstractButton") && item.property("text").toString() == text;
    });
    return button && QMetaObject::invokeMethod(button, "clicked");
}

// Opens the list of the shown chooser that shows `text`.
bool openChooser(const QString &text)
{
    QQuickItem *chooser = findShown([&](const QQuickItem &item) {
        return item.inherits("QQuickComboBox") && item.property("currentText").toString() == text;
    });
    QObject *list = chooser ? chooser->property("popup").value<QObject *>() : nullptr;
    return list && QMetaObject::invokeMethod(list, "open");
}

// A room's sound page, bass and treble moved off the middle and loudness off.
void openRoomSound(PlayerStore &store, const QString &room)
{
    for (const RoomRecord &record : store.rooms().records()) {
        if (record.name == room)
            store.roomSound().open(record.id);
    }
    waitFor([&] { return store.roomSound().isOpen() && !store.roomSound().isLoading(); });
    store.roomSound().commitBass(3);
    store.roomSound().commitTreble(-2);
    store.roomSound().setNightMode(true);
}

// The album playing from the queue, its fourth track, with Up Next open.
void showUpNext(PlayerStore &store, const QString &albumID)
{
    store.library().selectItem(albumID);
    waitFor([&] { return !store.trackList().isLoading(); });
    store.library().playSelected();
    waitFor([&] { return store.nowPlaying().isPlaying() && store.queue().isAvailable(); });
    store.queue().setShown(true);
    waitFor([&] { return store.queue().count() > 4 && !store.queue().isLoading(); });
    store.queue().playAt(3);
}

bool upNextShown(const PlayerStore &store)
{
    return store.queue().isShown() && !store.queue().isLoading() && store.queue().currentIndex() == 3
        && store.nowPlaying().isPlaying();
}

bool roomSoundShown(const PlayerStore &store)
{
    return store.roomSound().isOpen() && !store.roomSound().isLoading() && store.roomSound().bass() == 3
        && store.roomSound().treble() == -2 && store.roomSound().nightMode();
}

QString idOf(const PlayerStore &store, const QString &title)
{
    for (const SonosKit::ContentItem &item : store.library().favorites()) {
        if (item.title == title)
            return item.id;
    }
    return QString();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QUICK_BACKEND", "software");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    bool pointsRead = arguments.size() == 3;
    const double points = pointsRead ? arguments.at(2).toDouble(&pointsRead) : 0;
    if (arguments.size() < 2 || arguments.size() > 3 || (arguments.size() == 3 && (!pointsRead || points <= 0))) {
        std::fprintf(stderr,
            "usage: quillo-screenshots OUT-DIR [FONT-POINTS] (in the language LANG or LANGUAGE names; FONT-POINTS "
            "stands in for the desktop's font size, 10 by default)\n");
        return 2;
    }
    if (points > 0) {
        QFont font = QGuiApplication::font();
        font.setPointSizeF(points);
        QGuiApplication::setFont(font);
    }
    installTranslations(app);
    const QString directory = app.arguments().at(1);
    QDir().mkpath(directory);

    playersim::Household household = playersim::Household::defaultHousehold(QStringLiteral("127.122.0.11"));
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "quillo-screenshots: the simulated household did not start: %s\n", qPrintable(error));
        return 1;
    }
    Shooter shooter(directory, household.addresses().first());
    bool ok = true;

    {
        auto store = shooter.store(true);
        ok &= shooter.shoot(
            QStringLiteral("setup-searching"), *store, menu, [&] { TaskGuard::start(store->household().refresh()); },
            [&] { return store->household().isSearching(); });
    }
    {
        auto store = shooter.store();
        ok &= shooter.shoot(
            QStringLiteral("setup-failed"), *store, menu, [&] { store->household().retry(QStringLiteral("127.122.9.9")); },
            [&] { return store->household().statusKind() == StoreStatus::Kind::Failed; });
    }
    // What the connection check names when nothing is found.
    const auto diagnosed = [&](const QString &name, SonosKit::Diagnosis::Cause cause, SonosKit::Diagnosis::Fix fix) {
        SonosKit::Diagnosis found;
        found.cause = cause;
        found.fix = std::move(fix);
        auto store = shooter.diagnosedStore(found);
        return shooter.shoot(
            name, *store, menu, [&] { TaskGuard::start(store->household().refresh()); },
            [&] { return store->household().connectionCheck().hasCause(); });
    };
    ok &= diagnosed(QStringLiteral("setup-firewall"), SonosKit::Diagnosis::Cause::firewall,
        SonosKit::Diagnosis::firewallFix(SonosKit::Diagnosis::Firewall::ufw, {QStringLiteral("192.168.1.0/24")}));
    ok &= diagnosed(QStringLiteral("setup-upnp-off"), SonosKit::Diagnosis::Cause::upnpOff,
        SonosKit::Diagnosis::fixFor(SonosKit::Diagnosis::Cause::upnpOff));
    ok &= diagnosed(QStringLiteral("setup-no-speaker"), SonosKit::Diagnosis::Cause::noSpeakerOnNetwork,
        SonosKit::Diagnosis::fixFor(SonosKit::Diagnosis::Cause::noSpeakerOnNetwork));
    // Up Next and a room's sound, each at the soundbar's group, in whichever
    // palette is set.
    const auto upNext = [&](const QString &name) {
        auto store = shooter.store();
        const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
        return shooter.shoot(
            name, *store, menu,
            [&] {
                connectTo(*store, salon);
                showUpNext(*store, idOf(*store, QStringLiteral("Troen & Ingen")));
            },
            [&] { return upNextShown(*store); });
    };
    const auto roomSound = [&](const QString &name) {
        auto store = shooter.store();
        const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
        return shooter.shoot(
            name, *store, menu,
            [&] {
                connectTo(*store, salon);
                openRoomSound(*store, QStringLiteral("Salon Café"));
            },
            [&] { return roomSoundShown(*store); });
    };
    // The Alarms window, and its editor open on the first alarm, in
    // whichever palette is set.
    const auto alarms = [&](const QString &name, bool editing) {
        auto store = shooter.store();
        return shooter.shoot(
            name, *store, alarmsWindow,
            [&] {
                connectTo(*store, household.addresses().first());
                waitFor([&] { return store->alarms().list().count() > 0; });
                if (editing)
                    store->alarms().edit(store->alarms().list().items().constFirst().id);
            },
            [&] { return store->alarms().list().count() > 0 && store->alarms().draft().isOpen() == editing; });
    };
    {
        auto store = shooter.store();
        const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
        ok &= shooter.shoot(
            QStringLiteral("controls-playing"), *store, menu,
            [&] {
                connectTo(*store, salon);
                store->library().selectItem(idOf(*store, QStringLiteral("Troen & Ingen")));
                waitFor([&] { return !store->trackList().isLoading(); });
                store->trackList().playAt(2);
            },
            [&] {
                return store->nowPlaying().isPlaying() && store->nowPlaying().playback() && store->nowPlaying().playback()->title;
            });
    }
    ok &= upNext(QStringLiteral("up-next"));
    {
        // A night's listening: shuffle, repeat and crossfade on, a sleep
        // timer running, and its menu open with the way to turn it off.
        auto store = shooter.store();
        const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
        ok &= shooter.shoot(
            QStringLiteral("controls-listening"), *store, menu,
            [&] {
                connectTo(*store, salon);
                store->library().selectItem(idOf(*store, QStringLiteral("Troen & Ingen")));
                waitFor([&] { return !store->trackList().isLoading(); });
                store->library().playSelected();
                waitFor([&] { return store->nowPlaying().isPlaying() && store->playModes().canShuffle(); });
                store->playModes().setShuffle(true);
                store->playModes().setRepeat(PlayModes::Repeat::All);
                store->playModes().setCrossfade(true);
                store->sleepTimer().start(45);
            },
            [&] {
                return store->playModes().shuffle() && store->playModes().crossfade() && store->sleepTimer().isRunning()
                    && !store->sleepTimer().isBusy();
            },
            [&] {
                waitFor([&] { return store->sleepTimer().isRunning(); });
                settle();
                // While it runs the button reads the time left.
                if (!clickButton(store->sleepTimer().label()))
                    std::fprintf(stderr, "quillo-screenshots: no Sleep Timer button\n");
            });
    }
    {
        // The soundbar plays its TV: the input in place of a track, the
        // transport it does not allow greyed, the inputs' row below.
        auto store = shooter.store();
        const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
        ok &= shooter.shoot(
            QStringLiteral("controls-tv"), *store, menu,
            [&] {
                connectTo(*store, salon);
                for (const SonosKit::ZoneGroup &group : store->household().groups())
                    if (group.coordinator.host == salon)
                        store->household().select(group.id);
                waitFor([&] { return store->inputs().items().size() == 2; });
                store->inputs().play(0);
            },
            [&] {
                return store->nowPlaying().isPlaying() && store->nowPlaying().playbackRecord().title() == QStringLiteral("TV")
                    && !store->transportAbilities().canPause();
            });
    }
    {
        // The Rooms list open on a group of three, one room muted.
        auto store = shooter.store();
        const QString office = household.addressOfRoom(QStringLiteral("Büro 🎧"));
        ok &= shooter.shoot(
            QStringLiteral("controls-rooms"), *store, menu,
            [&] {
                store->rooms().setShown(true);
                connectTo(*store, office);
                if (const auto group = SonosKit::groupForRoom(store->household().groups(), QStringLiteral("Büro 🎧")))
                    store->household().select(group->id);
            },
            [&] { return roomLevelsKnown(*store); });
    }
    {
        // Two systems on one network, an older one beside the current one:
        // the choice between them above the groups, open.
        playersim::Household older = playersim::Household::secondHousehold(QStringLiteral("127.122.0.61"));
        if (older.start(&error)) {
            auto store = shooter.store(false, searchAt({household.addresses().first(), older.addresses().first()}));
            ok &= shooter.shoot(
                QStringLiteral("households"), *store, menu, [&] { TaskGuard::start(store->refreshAll()); },
                [&] { return store->household().choice().hasSeveral() && !store->library().favorites().isEmpty(); },
                [&] {
                    waitFor([&] { return store->household().choice().hasSeveral(); });
                    settle();
                    HouseholdChoice &choice = store->household().choice();
                    if (!openChooser(choice.listModel()->items().value(choice.shownIndex()).label))
                        std::fprintf(stderr, "quillo-screenshots: no household chooser\n");
                });
            older.stop();
        } else {
            std::fprintf(stderr, "quillo-screenshots: the second household did not start: %s\n", qPrintable(error));
            ok = false;
        }
    }
    // The soundbar's own sound: night sound and speech enhancement as well
    // as what every player has.
    ok &= roomSound(QStringLiteral("room-sound"));
    {
        auto store = shooter.store();
        ok &= shooter.shoot(
            QStringLiteral("favorites-by-provider"), *store, menu,
            [&] {
                connectTo(*store, household.addresses().first());
                store->library().selectProvider(QStringLiteral("Spotify"));
            },
            [&] { return store->library().selectedProvider() == QStringLiteral("Spotify") && !store->trackList().isLoading(); });
    }
    {
        auto store = shooter.store();
        ok &= shooter.shoot(
            QStringLiteral("tracks-unplayable"), *store, menu,
            [&] {
                connectTo(*store, household.addresses().first());
                store->library().selectProvider(QStringLiteral("Deezer"));
                store->library().selectItem(idOf(*store, QStringLiteral("Deezer Flow")));
            },
            [&] {
                return store->household().statusKind() == StoreStatus::Kind::Failed
                    && !store->library().unplayableIDs().isEmpty();
            },
            [&] {
                // The panel's next poll clears the failure; a slow player
                // holds it back long enough to show.
                household.server(household.addresses().first())
                    .inject(QStringLiteral("GetTransportInfo"), playersim::Fault{.delay = std::chrono::seconds(3)});
                store->library().playSelected();
            });
        household.server(household.addresses().first()).clearFaults();
    }
    // The explanation the footer's link opens when the players' events are
    // blocked, on a computer with ufw switched on.
    const auto liveUpdatesBlocked = [&](const QString &name) {
        SonosKit::Diagnosis found;
        found.firewall = SonosKit::Diagnosis::Firewall::ufw;
        found.interfaces = {
            {QStringLiteral("wlan0"), QStringLiteral("192.168.1.37"), QStringLiteral("192.168.1.0/24"), true, true, true, false}};
        // The players take the subscriptions, but their events never arrive.
        household.setDropNotifications(true);
        auto store = shooter.store(
            false, {}, [found](SonosKit::ConnectionDoctor::Options) -> QCoro::Task<SonosKit::Diagnosis> { co_return found; },
            QHostAddress(QStringLiteral("127.122.0.1")));
        const auto restore = qScopeGuard([&] { household.setDropNotifications(false); });
        return shooter.shoot(
            name, *store, menu, [&] { connectTo(*store, household.addresses().first()); },
            [&] { return store->liveUpdates().eventsBlocked() && store->liveUpdates().firewallCheck().hasDiagnosis(); },
            [&] {
                // The footer's link shows once the events were awaited in vain.
                waitFor([&] { return store->liveUpdates().eventsBlocked(); });
                settle();
                if (!clickButton(QCoreApplication::translate("Footer", "Live updates blocked by a firewall")))
                    std::fprintf(stderr, "quillo-screenshots: no link to the live updates' explanation\n");
            });
    };
    ok &= liveUpdatesBlocked(QStringLiteral("live-updates-blocked"));
    ok &= alarms(QStringLiteral("alarms"), false);
    ok &= alarms(QStringLiteral("alarm-editor"), true);
    {
        auto store = shooter.store();
        ok &= shooter.shoot(
            QStringLiteral("welcome"), *store, QStringLiteral("qrc:/Quillo/qml/WelcomeView.qml"), {}, [] { return true; });
    }
    {
        // The same panel under a dark desktop palette: every colour of the
        // views comes from the palette, none is fixed.
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
        dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
        dark.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x33));
        dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
        dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::Highlight, QColor(0x3d, 0xae, 0xe9));
        dark.setColor(QPalette::HighlightedText, Qt::white);
        dark.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3a));
        dark.setColor(QPalette::ToolTipText, QColor(0xee, 0xee, 0xee));
        dark.setColor(QPalette::PlaceholderText, QColor(0x99, 0x99, 0x99));
        QGuiApplication::setPalette(dark);
        auto store = shooter.store();
        ok &= shooter.shoot(
            QStringLiteral("controls-dark"), *store, menu,
            [&] {
                store->rooms().setShown(true);
                connectTo(*store, household.addresses().first());
                store->library().selectItem(idOf(*store, QStringLiteral("Troen & Ingen")));
                waitFor([&] { return !store->trackList().isLoading(); });
                // The album from the queue, shuffled, with a sleep timer.
                store->library().playSelected();
                waitFor([&] { return store->nowPlaying().isPlaying() && store->playModes().canShuffle(); });
                store->playModes().setShuffle(true);
                store->sleepTimer().start(30);
            },
            [&] {
                return store->nowPlaying().playback().has_value() && !store->trackList().tracks().isEmpty()
                    && roomLevelsKnown(*store) && store->playModes().shuffle() && store->sleepTimer().isRunning();
            });
    }
    ok &= upNext(QStringLiteral("up-next-dark"));
    ok &= roomSound(QStringLiteral("room-sound-dark"));
    ok &= liveUpdatesBlocked(QStringLiteral("live-updates-blocked-dark"));
    ok &= alarms(QStringLiteral("alarms-dark"), false);
    ok &= alarms(QStringLiteral("alarm-editor-dark"), true);
    household.stop();
    return ok ? 0 : 1;
}
