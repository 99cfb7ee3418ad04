// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The store kept current by the players' own events, with the polls as the
// fallback, over real sockets against the simulated household: events that
// never came or stopped, a coordinator switched off, a resume from suspend,
// the library changed elsewhere.
#include "PrivateSystemBus.h"
#include "StoreTestSupport.h"

#include "Quillo/mpris/MprisService.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/ZoneTopology.h"
#include "SonosKit/events/EventSubscription.h"
#include "SonosKit/events/GroupEvents.h"

#include <gtest/gtest.h>

using SonosKit::GroupController;
using SonosKit::TransportState;
using SonosKit::ZoneGroup;
using storetest::callCount;
using storetest::freshCallbacks;
using storetest::NotificationCounter;
using storetest::serveFor;
using storetest::titles;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerStoreEvents;
// A change at a player reaches the store within this.
constexpr std::chrono::milliseconds eventLatency{1000};
// Short, so that a closed poll that wrongly runs reads many times.
constexpr std::chrono::milliseconds closedPoll{100};
// Every first event is overdue by then, and the read that follows a proof
// that found the way shut is done (quick on loopback).
constexpr auto blockedWithin = SonosKit::EventSubscription::firstEventLimit + std::chrono::seconds(3);
// Events flow again within this after the computer wakes.
constexpr std::chrono::seconds flowingAgainWithin{10};

// A store with the events on, as the product runs, over `household`.
struct EventRig {
    explicit EventRig(const playersim::Household &household)
        : rig(household)
    {
        rig.events = true;
        rig.eventAddress = storetest::listenAddress(block);
        rig.closedPollInterval = closedPoll;
    }

    // A store that has read the household and follows the group of `room`.
    std::unique_ptr<PlayerStore> store(const QString &room)
    {
        auto made = rig.makeStore();
        testsupport::await(made->refreshAll());
        storetest::selectGroupLedBy(*made, room);
        EXPECT_EQ(made->household().selectedGroup()->coordinator.roomName, room);
        EXPECT_TRUE(waitUntil([&] { return made->nowPlaying().hasPlayback(); }));
        return made;
    }

    storetest::StoreRig rig;
};

bool flowing(const PlayerStore &store)
{
    return store.liveUpdates().isFlowing();
}

} // namespace

TEST(PlayerStoreEvents, OutsideChangesArriveWithoutClosedPanelReadsAndTheMediaPlayersPositionFollowsThem)
{
    playersim::Household household = storetest::startedHousehold(block);
    EventRig events(household);
    auto store = events.store(QStringLiteral("Living Room"));
    MprisService mpris(store.get());
    ASSERT_TRUE(waitUntil([&] { return flowing(*store); }));
    const GroupController living(*store->household().selectedGroup());
    const QString host = store->household().selectedGroup()->coordinator.host;
    const auto seconds = [&] { return mpris.positionMicroseconds() / 1000000; };

    // Another controller starts the queue 100 s in; the panel's last read
    // saw it there, then the panel closed.
    testsupport::await(living.play());
    testsupport::await(living.seek(100));
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().isPlaying(); }, eventLatency));
    ASSERT_TRUE(testsupport::await(store->nowPlaying().refresh()));
    ASSERT_GE(seconds(), 100);
    household.log()->clear();
    household.setVolume(host, 44);
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().volume() == 44; }, eventLatency));

    // Paused elsewhere: the media player's position stops where it got to.
    testsupport::await(living.pause());
    ASSERT_TRUE(waitUntil([&] { return !store->nowPlaying().isPlaying(); }, eventLatency));
    const qint64 paused = mpris.positionMicroseconds();
    serveFor(closedPoll * 3);
    EXPECT_EQ(mpris.positionMicroseconds(), paused);

    // Resumed, then skipped elsewhere: the next track starts from zero.
    testsupport::await(living.play());
    ASSERT_TRUE(waitUntil([&] { return store->nowPlaying().isPlaying(); }, eventLatency));
    EXPECT_GE(seconds(), 100);
    household.nextTrackAfter(host, std::chrono::milliseconds(0));
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().playback()->title == QStringLiteral("Queued 2"); }, eventLatency));
    EXPECT_EQ(store->nowPlaying().playback()->positionSeconds.value_or(0), 0);
    EXPECT_LT(seconds(), 2);

    // Playing with the panel closed, yet not one playback read.
    serveFor(closedPoll * 8);
    EXPECT_FALSE(store->nowPlaying().isPollingWhileClosed());
    EXPECT_EQ(callCount(household, QStringLiteral("GetTransportInfo")), 0);
    EXPECT_EQ(callCount(household, QStringLiteral("GetPositionInfo")), 0);
    EXPECT_EQ(callCount(household, QStringLiteral("GetVolume")), 0);
    EXPECT_FALSE(store->liveUpdates().eventsBlocked());
}

TEST(PlayerStoreEvents, GroupVolumeAndMuteKeepTheirMeaningGroupChangesMoveTheSubscriptionsAndShuttingDownIsBounded)
{
    playersim::Household household = storetest::startedHousehold(block);
    EventRig events(household);
    auto store = events.store(QStringLiteral("Kitchen"));
    ASSERT_TRUE(waitUntil([&] { return flowing(*store); }));
    const ZoneGroup kitchen = *store->household().selectedGroup();
    const QString kitchenHost = kitchen.coordinator.host;
    const QString officeHost = kitchen.members.at(1).host;
    // AVTransport, GroupRenderingControl, the queue, the alarms, the
    // topology and the content directory at Kitchen, each member's
    // RenderingControl.
    EXPECT_EQ(household.subscriptionCount(), 8);
    EXPECT_EQ(store->nowPlaying().volume(), 30);

    // The group volume is the members' average; a member's mute is not the
    // group's, so it changes nothing the store shows.
    NotificationCounter counter(store.get());
    household.setMuted(officeHost, true);
    household.setVolume(officeHost, 60);
    ASSERT_TRUE(waitUntil([&] { return store->nowPlaying().volume() == 40; }, eventLatency));
    EXPECT_FALSE(store->nowPlaying().playback()->isMuted);
    EXPECT_EQ(counter.count("playback"), 1);
    EXPECT_EQ(counter.count("volume"), 1);
    household.setMuted(kitchenHost, true);
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().playback()->isMuted; }, eventLatency));

    // The user picks another group: everything moves there.
    storetest::selectGroupLedBy(*store, QStringLiteral("Living Room"));
    const QString livingHost = store->household().selectedGroup()->coordinator.host;
    EXPECT_FALSE(flowing(*store));
    EXPECT_TRUE(waitUntil([&] { return flowing(*store) && household.subscriptionCount() == 7; }));
    household.setVolume(livingHost, 7);
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().volume() == 7; }, eventLatency));
    // Shutting down ends them all within its bound.
    const auto bound = SonosKit::GroupEvents::stopLimit + std::chrono::seconds(1);
    auto stopping = std::chrono::steady_clock::now();
    testsupport::await(store->shutdown());
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, bound);
    EXPECT_EQ(household.subscriptionCount(), 0);

    // Shut down while its SUBSCRIBEs and a read of a slow player are on
    // their way: still bounded, and once the store is gone nothing touches it.
    store = events.store(QStringLiteral("Living Room"));
    household.server(kitchenHost).inject(QString(), playersim::Fault{.delay = std::chrono::seconds(3)});
    storetest::selectGroupLedBy(*store, QStringLiteral("Kitchen"));
    stopping = std::chrono::steady_clock::now();
    testsupport::await(store->shutdown(), bound);
    store.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, bound);
    serveFor(std::chrono::milliseconds(200));
    household.server(kitchenHost).clearFaults();
}

TEST(PlayerStoreEvents, EventsThatNeverCameOrStoppedLeaveThePollsInChargeUntilTheyFlowAgain)
{
    playersim::Household household = storetest::startedHousehold(block);
    household.setDropNotifications(true);
    EventRig events(household);
    events.rig.eventRetryInterval = std::chrono::milliseconds(500);
    const std::chrono::milliseconds whilePlaying{300}, whileIdle{800};
    events.rig.proofWhilePlaying = whilePlaying;
    events.rig.proofWhileIdle = whileIdle;
    // This computer as the doctor finds it: ufw on, one network.
    auto examined = std::make_shared<QList<SonosKit::ConnectionDoctor::Options>>();
    events.rig.examineConnection = [examined](SonosKit::ConnectionDoctor::Options options) -> QCoro::Task<SonosKit::Diagnosis> {
        examined->append(options);
        SonosKit::Diagnosis found;
        found.firewall = SonosKit::Diagnosis::Firewall::ufw;
        found.interfaces = {
            {QStringLiteral("wlan0"), QStringLiteral("192.168.1.37"), QStringLiteral("192.168.1.0/24"), true, true, true, false}};
        co_return found;
    };
    auto store = events.store(QStringLiteral("Living Room"));
    int alarmsStale = 0;
    QObject::connect(&store->liveUpdates(), &LiveUpdates::alarmsStale, [&] { ++alarmsStale; });
    const ZoneGroup living = *store->household().selectedGroup();
    const QString host = living.coordinator.host;
    testsupport::await(GroupController(living).play());
    // Without events, only a read tells the store (the panel opening).
    ASSERT_TRUE(testsupport::await(store->nowPlaying().refresh()));

    ASSERT_TRUE(waitUntil([&] { return store->liveUpdates().eventsBlocked(); }, blockedWithin));
    EXPECT_FALSE(flowing(*store));
    // Retries (and proofs) that fail again do not flicker the footer.
    // Counted from the first "blocked" over several rounds of fresh
    // SUBSCRIBEs seen at the player, however slowly the machine runs them.
    NotificationCounter counter(store.get());
    const qsizetype subscribed = freshCallbacks(household, host).size();
    ASSERT_TRUE(waitUntil([&] { return freshCallbacks(household, host).size() >= subscribed + 10; }, blockedWithin * 3));
    EXPECT_EQ(counter.count("eventsBlocked"), 0);
    EXPECT_TRUE(store->liveUpdates().eventsBlocked());
    // The alarms are read once for the whole spell, not at each retry: a
    // third AlarmClock SUBSCRIBE comes only after the second was blocked.
    const auto alarmSubscribes = [&] {
        const auto log = household.log()->forPlayer(host);
        return std::ranges::count_if(log, [](const auto &r) {
            return r.method == "SUBSCRIBE" && r.path == "/AlarmClock/Event" && !r.header("CALLBACK").isEmpty();
        });
    };
    ASSERT_TRUE(waitUntil([&] { return alarmSubscribes() >= 3; }, blockedWithin * 3));
    EXPECT_EQ(alarmsStale, 1);

    // The firewall that keeps them out is looked for on this computer alone,
    // once.
    const ConnectionCheck &firewall = store->liveUpdates().firewallCheck();
    ASSERT_TRUE(waitUntil([&] { return firewall.hasDiagnosis(); }));
    ASSERT_EQ(examined->size(), 1);
    EXPECT_FALSE(examined->front().search);
    EXPECT_FALSE(examined->front().manualHost);
    const QString report = firewall.diagnosticsText();
    EXPECT_TRUE(report.contains(
        QStringLiteral("Live updates: blocked, awaited at %1:14").arg(storetest::listenAddress(block).toString())))
        << report.toStdString();
    // The closed panel polls as it always did.
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().isPollingWhileClosed(); }, blockedWithin));
    household.log()->clear();
    EXPECT_TRUE(waitUntil([&] { return callCount(household, QStringLiteral("GetTransportInfo")) >= 2; }, blockedWithin));

    // The way opens: a retry or a proof gets through and the polls stop.
    household.setDropNotifications(false);
    ASSERT_TRUE(waitUntil([&] { return !store->liveUpdates().eventsBlocked() && flowing(*store); }, blockedWithin));
    EXPECT_FALSE(store->nowPlaying().isPollingWhileClosed());
    EXPECT_FALSE(firewall.hasDiagnosis());

    // A firewall switched on after the events flowed, then a pause made
    // elsewhere: the next proof finds the way shut, the footer says so, and
    // the store reads.
    household.setDropNotifications(true);
    testsupport::await(GroupController(living).pause());
    EXPECT_TRUE(waitUntil([&] { return !store->nowPlaying().isPlaying(); }, whilePlaying + blockedWithin));
    EXPECT_TRUE(store->liveUpdates().eventsBlocked());
    EXPECT_FALSE(flowing(*store));
    // Nothing plays, so no polls run: each proof that finds the way still
    // shut reads once, and a play made elsewhere shows.
    testsupport::await(GroupController(living).play());
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().isPlaying(); }, whileIdle + blockedWithin));

    // Open again: the events take over, and the closed panel reads nothing
    // more once a read already on its way has finished.
    household.setDropNotifications(false);
    ASSERT_TRUE(
        waitUntil([&] { return !store->liveUpdates().eventsBlocked() && flowing(*store); }, whilePlaying + blockedWithin));
    EXPECT_FALSE(store->nowPlaying().isPollingWhileClosed());
    serveFor(closedPoll * 5);
    household.log()->clear();
    serveFor(closedPoll * 8);
    EXPECT_EQ(callCount(household, QStringLiteral("GetTransportInfo")), 0);
}

TEST(PlayerStoreEvents, ACoordinatorSwitchedOffStopsShowingPlaying)
{
    playersim::Household household = storetest::startedHousehold(block);
    EventRig events(household);
    events.rig.proofWhilePlaying = std::chrono::milliseconds(300);
    auto store = events.store(QStringLiteral("Living Room"));
    const ZoneGroup living = *store->household().selectedGroup();
    testsupport::await(GroupController(living).play());
    ASSERT_TRUE(waitUntil([&] { return flowing(*store) && store->nowPlaying().isPlaying(); }));

    // No answer at all: the proof's SUBSCRIBE, then the read and the search
    // each end at their own limits.
    household.setSilent(living.coordinator.host, true);
    EXPECT_TRUE(waitUntil([&] { return !store->nowPlaying().isPlaying(); }, std::chrono::seconds(20)));
    EXPECT_FALSE(flowing(*store));
    household.setSilent(living.coordinator.host, false);
}

TEST(PlayerStoreEvents, AReadStartedBeforeAnEventDoesNotPutBackTheOlderState)
{
    playersim::Household household = storetest::startedHousehold(block);
    EventRig events(household);
    auto store = events.store(QStringLiteral("Living Room"));
    const ZoneGroup living = *store->household().selectedGroup();
    testsupport::await(GroupController(living).play());
    ASSERT_TRUE(waitUntil([&] { return flowing(*store) && store->nowPlaying().isPlaying(); }));

    // The read's transport answer is taken while the group plays and
    // delivered late; the group is paused from elsewhere meanwhile.
    playersim::Fault stale;
    stale.delay = std::chrono::milliseconds(600);
    stale.answer = playersim::soapResponse(QStringLiteral("urn:schemas-upnp-org:service:AVTransport:1"),
        QStringLiteral("GetTransportInfo"),
        {{QStringLiteral("CurrentTransportState"), QStringLiteral("PLAYING")},
            {QStringLiteral("CurrentTransportStatus"), QStringLiteral("OK")},
            {QStringLiteral("CurrentSpeed"), QStringLiteral("1")}});
    stale.remaining = 1;
    household.server(living.coordinator.host).inject(QStringLiteral("GetTransportInfo"), stale);
    household.log()->clear();
    QCoro::Task<bool> reading = store->nowPlaying().refresh();
    ASSERT_TRUE(waitUntil([&] { return callCount(household, QStringLiteral("GetTransportInfo")) == 1; }));
    testsupport::await(GroupController(living).pause());
    ASSERT_TRUE(waitUntil([&] { return !store->nowPlaying().isPlaying(); }, eventLatency));
    household.setVolume(living.coordinator.host, 12);
    ASSERT_TRUE(waitUntil([&] { return store->nowPlaying().volume() == 12; }, eventLatency));

    NotificationCounter counter(store.get());
    EXPECT_TRUE(testsupport::await(std::move(reading)));
    EXPECT_EQ(store->nowPlaying().playback()->transportState, TransportState::paused);
    EXPECT_EQ(store->nowPlaying().volume(), 12);
    EXPECT_EQ(counter.count("isPlaying"), 0);
    EXPECT_EQ(counter.count("volume"), 0);

    // A read with no event in between is stored as ever.
    household.setDropNotifications(true);
    household.setVolume(living.coordinator.host, 13);
    EXPECT_TRUE(testsupport::await(store->nowPlaying().refresh()));
    EXPECT_EQ(store->nowPlaying().volume(), 13);
}

TEST(PlayerStoreEvents, AFailedFirstReadIsMadeGoodByTheFirstEvents)
{
    playersim::Household household = storetest::startedHousehold(block);
    const QString living = household.addressOfRoom(QStringLiteral("Living Room"));
    // Another controller plays; the store's first read of it fails.
    const QList<ZoneGroup> groups = testsupport::await(SonosKit::ZoneTopology(living).groups());
    for (const ZoneGroup &group : groups)
        if (group.coordinator.host == living)
            testsupport::await(GroupController(group).play());
    household.server(living).inject(QStringLiteral("GetTransportInfo"), storetest::brokenAnswer());
    household.log()->clear();
    EventRig events(household);
    events.rig.writeSettingsText("selectedRoomName=Living Room\n");
    auto store = events.rig.makeStore();
    testsupport::await(store->refreshAll());
    EXPECT_EQ(callCount(household, QStringLiteral("GetTransportInfo")), 1);

    // With the events flowing nothing reads again: their first full state
    // is what the tray and the media widget show.
    ASSERT_TRUE(waitUntil([&] { return flowing(*store) && store->nowPlaying().hasPlayback(); }));
    EXPECT_TRUE(store->nowPlaying().isPlaying());
    EXPECT_EQ(store->nowPlaying().playback()->title, QStringLiteral("Queued 1"));
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().volume() == 30; }));
    EXPECT_EQ(callCount(household, QStringLiteral("GetTransportInfo")), 1);
}

// While the computer slept, a change was made at the player and its event
// went nowhere; on waking (logind's resume on a private system bus) the store
// subscribes afresh and reads, shows the change, and later changes arrive as
// events again.
TEST(PlayerStoreEvents, WakingSubscribesAfreshAndShowsWhatChangedDuringTheSleep)
{
    testsupport::PrivateSystemBus bus;
    if (!bus.active())
        GTEST_SKIP() << qPrintable(bus.skipReason());
    playersim::Household household = storetest::startedHousehold(block);
    EventRig events(household);
    events.rig.followNetworkChanges = true;
    auto store = events.store(QStringLiteral("Living Room"));
    ASSERT_TRUE(waitUntil([&] { return flowing(*store); }));
    const QString living = household.addressOfRoom(QStringLiteral("Living Room"));
    const qsizetype subscribedBefore = freshCallbacks(household, living).size();

    household.setDropNotifications(true);
    ASSERT_TRUE(bus.prepareForSleep(true));
    household.setVolume(living, 44);
    household.setDropNotifications(false);
    ASSERT_TRUE(bus.prepareForSleep(false));

    // The group's four subscriptions are all at the Living Room.
    EXPECT_TRUE(waitUntil(
        [&] {
            return store->nowPlaying().volume() == 44 && flowing(*store)
                && freshCallbacks(household, living).size() >= subscribedBefore + 4;
        },
        flowingAgainWithin))
        << "volume " << store->nowPlaying().volume() << ", fresh subscriptions "
        << freshCallbacks(household, living).size() - subscribedBefore;
    household.setVolume(living, 45);
    EXPECT_TRUE(waitUntil([&] { return store->nowPlaying().volume() == 45; }, eventLatency));
    testsupport::await(store->shutdown());
}

// Favorites and Sonos Playlists changed in another controller, told by the
// household's ContentDirectory events: shown at once while the panel is open,
// at its next opening otherwise.
TEST(PlayerStoreEvents, LibraryChangesElsewhereShowInTheOpenPanelAtOnceAndInAClosedOneAtItsOpening)
{
    playersim::Household household = storetest::startedHousehold(block);
    EventRig events(household);
    auto store = events.store(QStringLiteral("Kitchen"));
    ASSERT_TRUE(waitUntil([&] { return flowing(*store); }));
    store->menuOpened();
    ASSERT_TRUE(storetest::waitUntilSettled(*store));
    household.log()->clear();
    // Browses of the favorites since the log was cleared: one per load.
    const auto favoritesBrowses = [&] {
        const auto browses = household.log()->calls(QStringLiteral("Browse"));
        return std::count_if(browses.cbegin(), browses.cend(),
            [](const playersim::SoapCall &call) { return call.argument(QStringLiteral("ObjectID")) == u"FV:2"; });
    };
    const auto shows = [&](const QString &title) { return titles(store->library().favorites()).contains(title); };
    const auto addFavorite = [&](const QString &title) {
        QList<playersim::SimFavorite> favorites = household.favorites();
        favorites.append(favorites.first());
        favorites.last().title = title;
        household.setFavorites(favorites);
    };

    // Another controller fills the queue: the content directory tells, with
    // the lists' ids as they were, and the Queue and AVTransport events the
    // queue's new version. Its events come before the next one's.
    const QList<SonosKit::ContentItem> favorites = store->library().favorites();
    const auto container = std::find_if(
        favorites.cbegin(), favorites.cend(), [](const SonosKit::ContentItem &item) { return item.title == u"Discover Weekly"; });
    ASSERT_NE(container, favorites.cend());
    QList<quint32> versions;
    QObject::connect(&store->liveUpdates(), &LiveUpdates::queueEvent, [&](const QString &, quint32 v) { versions.append(v); });
    const ZoneGroup group = *store->household().selectedGroup();
    testsupport::await(GroupController(group).loadIntoQueue(*container));
    const quint32 version = household.queueUpdateId(group.coordinator.host);
    EXPECT_TRUE(waitUntil([&] { return versions.count(version) >= 2; }, eventLatency)) << versions.size();

    // A favorite added elsewhere shows, after one load of the lists.
    addFavorite(QStringLiteral("Jazz Radio"));
    EXPECT_TRUE(waitUntil([&] { return shows(QStringLiteral("Jazz Radio")); }, eventLatency));
    EXPECT_EQ(favoritesBrowses(), 1) << "the queue's events reloaded the lists";

    // A Sonos Playlist renamed elsewhere.
    QList<playersim::SimPlaylist> playlists = household.playlists();
    playlists.first().title = QStringLiteral("Dinner for Two");
    household.setPlaylists(playlists);
    EXPECT_TRUE(waitUntil([&] { return shows(QStringLiteral("Dinner for Two")); }, eventLatency));
    EXPECT_FALSE(shows(QStringLiteral("Dinner Party")));

    // With the panel closed the event loads nothing; the next opening shows
    // the change.
    store->menuClosed();
    std::optional<QString> heard;
    QObject::connect(&store->liveUpdates(), &LiveUpdates::libraryEvent,
        [&heard](const SonosKit::ContentDirectoryEvent &event) { heard = event.favoritesUpdateID; });
    household.log()->clear();
    addFavorite(QStringLiteral("Night Radio"));
    ASSERT_TRUE(waitUntil([&] { return heard.has_value(); }, eventLatency));
    // Long enough for a wrongly started load to reach the players.
    EXPECT_FALSE(waitUntil([&] { return favoritesBrowses() > 0; }, std::chrono::milliseconds(300)))
        << "the closed panel loaded the lists";
    EXPECT_FALSE(shows(QStringLiteral("Night Radio")));
    store->menuOpened();
    EXPECT_TRUE(waitUntil([&] { return shows(QStringLiteral("Night Radio")); }, eventLatency));

    // The alarms changed elsewhere: the coordinator's AlarmClock tells the
    // list's version; an event missed asks for one read, and the group's
    // events flow on all the same.
    QStringList alarmVersions;
    int alarmsStale = 0;
    QObject::connect(&store->liveUpdates(), &LiveUpdates::alarmListVersion, [&](const QString &v) { alarmVersions.append(v); });
    QObject::connect(&store->liveUpdates(), &LiveUpdates::alarmsStale, [&] { ++alarmsStale; });
    household.setAlarms({});
    EXPECT_TRUE(waitUntil([&] { return alarmVersions.contains(household.alarmListVersion()); }, eventLatency));
    household.setDropNotifications(true);
    household.setAlarms({});
    household.setDropNotifications(false);
    household.setAlarms({});
    EXPECT_TRUE(
        waitUntil([&] { return alarmsStale == 1 && alarmVersions.contains(household.alarmListVersion()); }, eventLatency));
    EXPECT_TRUE(flowing(*store));
}
