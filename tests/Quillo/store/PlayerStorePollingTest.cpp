// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The panel's cycle: polling only while open, notifications only on change,
// commands and their failures, and the volume the slider keeps.
#include "StoreTestSupport.h"

#include <QDeadlineTimer>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <algorithm>

using namespace storetest;
using testsupport::Suite;
using testsupport::waitUntil;

namespace {

std::optional<SonosKit::ZoneGroup> groupNamed(const PlayerStore &store, const QString &displayName)
{
    for (const SonosKit::ZoneGroup &group : store.household().groups()) {
        if (group.displayName() == displayName)
            return group;
    }
    ADD_FAILURE() << "no group " << displayName.toStdString();
    return std::nullopt;
}

struct PollingRig {
    explicit PollingRig(std::chrono::milliseconds closedPollInterval = {})
    {
        rig.closedPollInterval = closedPollInterval;
        store = rig.makeStore();
    }

    playersim::Household household = startedHousehold(Suite::PlayerStorePolling);
    StoreRig rig{household};
    std::unique_ptr<PlayerStore> store;

    // Topology known and the chosen group selected, panel still closed.
    void choose(const QString &displayName)
    {
        testsupport::await(store->household().refresh());
        if (const auto group = groupNamed(*store, displayName))
            store->household().select(group->id);
        ASSERT_TRUE(waitUntil([this] { return store->nowPlaying().playback().has_value(); }));
    }
    QString address(const QString &room) const { return household.addressOfRoom(room); }
};

} // namespace

TEST(PlayerStorePolling, PollsOnlyWhileOpenWithOneLoopEvenWhenOpenedTwice)
{
    PollingRig rig;
    rig.choose(QStringLiteral("Living Room"));
    // A slow answer makes two loops overlap if there ever were two.
    rig.household.server(rig.address(QStringLiteral("Living Room")))
        .inject(QStringLiteral("GetTransportInfo"), playersim::Fault{.delay = std::chrono::milliseconds(40)});

    rig.store->menuOpened();
    rig.store->menuOpened();
    ASSERT_TRUE(waitUntilSettled(*rig.store));
    serveFor(std::chrono::milliseconds(150)); // both start-ups are over
    rig.household.log()->clear();
    ASSERT_TRUE(waitUntil([&] { return callCount(rig.household, QStringLiteral("GetTransportInfo")) >= 5; }));

    std::vector<playersim::LoggedRequest> logged;
    for (const playersim::LoggedRequest &request : rig.household.log()->all()) {
        if (request.call.action == QStringLiteral("GetTransportInfo"))
            logged.push_back(request);
    }
    for (size_t i = 1; i < logged.size(); ++i) {
        if (logged[i - 1].answered == std::chrono::steady_clock::time_point())
            continue;
        EXPECT_GE(logged[i].received, logged[i - 1].answered) << "read " << i << " overlaps the one before";
    }

    rig.store->menuClosed();
    EXPECT_FALSE(rig.store->nowPlaying().isPolling());
    const int atClose = callCount(rig.household, QStringLiteral("GetTransportInfo"));
    serveFor(std::chrono::milliseconds(300));
    const int settled = callCount(rig.household, QStringLiteral("GetTransportInfo"));
    EXPECT_LE(settled, atClose + 1) << "only the read in flight may still arrive";
    serveFor(std::chrono::milliseconds(600)); // ten poll periods
    EXPECT_EQ(callCount(rig.household, QStringLiteral("GetTransportInfo")), settled);
}

TEST(PlayerStorePolling, AnEqualSnapshotNotifiesNothingAMovedPositionDoes)
{
    PollingRig rig;
    rig.choose(QStringLiteral("Living Room"));
    ASSERT_EQ(rig.store->nowPlaying().playback()->transportState, SonosKit::TransportState::stopped);
    NotificationCounter counter(rig.store.get());
    int reads = 0;
    QObject::connect(&rig.store->nowPlaying(), &NowPlaying::playbackRead, [&reads] { ++reads; });

    testsupport::await(rig.store->nowPlaying().refresh());
    testsupport::await(rig.store->nowPlaying().refresh());
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(counter.notified(), QStringList()) << "a stopped group reads the same twice";

    rig.store->nowPlaying().play();
    ASSERT_TRUE(waitUntil([&] { return rig.store->nowPlaying().isPlaying(); }));
    ASSERT_TRUE(waitUntil([&] {
        testsupport::await(rig.store->nowPlaying().refresh());
        return rig.store->nowPlaying().playback()->positionSeconds.value_or(0) >= 1;
    }));
    EXPECT_GE(counter.count("playback"), 2);
    EXPECT_EQ(counter.count("isPlaying"), 1);
    EXPECT_EQ(counter.count("volume"), 0) << "the volume did not change";
    EXPECT_EQ(counter.count("groups.count"), 0);
}

TEST(PlayerStorePolling, AFailedCommandShowsFailedUntilTheRefreshFindsThePlayers)
{
    PollingRig rig;
    rig.choose(QStringLiteral("Living Room"));
    rig.household.server(rig.address(QStringLiteral("Living Room")))
        .inject(QStringLiteral("Next"), playersim::Fault{.answer = playersim::soapFault(711), .remaining = 1});
    QList<StoreStatus::Kind> kinds;
    QObject::connect(
        &rig.store->household(), &Household::statusChanged, [&] { kinds.append(rig.store->household().statusKind()); });
    rig.household.log()->clear();

    rig.store->nowPlaying().next();
    ASSERT_TRUE(waitUntil([&] { return kinds.size() >= 2; }));
    EXPECT_EQ(kinds, (QList<StoreStatus::Kind>{StoreStatus::Kind::Failed, StoreStatus::Kind::Ready}));
    EXPECT_EQ(callCount(rig.household, QStringLiteral("GetZoneGroupState")), 1);
}

TEST(PlayerStorePolling, TheSliderKeepsTheCommittedVolumeUntilThePanelCloses)
{
    PollingRig rig;
    rig.choose(QStringLiteral("Living Room"));
    const QString living = rig.address(QStringLiteral("Living Room"));
    rig.store->menuOpened();
    rig.store->nowPlaying().commitVolume(130); // kept as given; the player clamps
    EXPECT_EQ(rig.store->nowPlaying().volume(), 130);
    ASSERT_TRUE(waitUntil([&] { return rig.household.volume(living) == 100; }));

    rig.household.setVolume(living, 12); // someone else turns it down
    ASSERT_TRUE(waitUntil([&] { return rig.store->nowPlaying().playback()->volume == 12; }));
    EXPECT_EQ(rig.store->nowPlaying().volume(), 130);

    rig.store->menuClosed();
    EXPECT_FALSE(rig.store->nowPlaying().pendingVolume());
    EXPECT_EQ(rig.store->nowPlaying().volume(), 12);
}

TEST(PlayerStorePolling, ASnapshotOfTheGroupJustLeftIsDropped)
{
    PollingRig rig;
    rig.choose(QStringLiteral("Kitchen + 1"));
    // Something to tell the groups apart by: the kitchen plays a station.
    rig.store->library().refresh();
    ASSERT_TRUE(waitUntilSettled(*rig.store));
    rig.store->library().selectItem(idOfTitle(*rig.store, QStringLiteral("Radio Paradise")));
    rig.store->library().playSelected();
    ASSERT_TRUE(waitUntil([&] { return rig.store->nowPlaying().isPlaying(); }));
    const auto kitchen = rig.store->nowPlaying().playback();

    rig.household.server(rig.address(QStringLiteral("Kitchen")))
        .inject(QStringLiteral("GetTransportInfo"), playersim::Fault{.delay = std::chrono::milliseconds(300), .remaining = 1});
    QList<std::optional<SonosKit::PlaybackState>> shown;
    QObject::connect(
        &rig.store->nowPlaying(), &NowPlaying::playbackChanged, [&] { shown.append(rig.store->nowPlaying().playback()); });

    auto lateRead = rig.store->nowPlaying().refresh();
    rig.store->household().select(groupNamed(*rig.store, QStringLiteral("Living Room"))->id);
    testsupport::await(std::move(lateRead));

    ASSERT_FALSE(shown.isEmpty());
    EXPECT_FALSE(shown.front()) << "choosing a group empties what is shown first";
    for (const auto &playback : shown)
        EXPECT_NE(playback, kitchen);
    EXPECT_FALSE(rig.store->nowPlaying().isPlaying());
}

TEST(PlayerStorePolling, APanelClosedDuringItsStartUpStartsNothingMore)
{
    PollingRig rig;
    rig.choose(QStringLiteral("Living Room"));
    for (const QString &address : rig.household.addresses())
        rig.household.server(address).inject(
            QStringLiteral("GetZoneGroupState"), playersim::Fault{.delay = std::chrono::milliseconds(200)});
    rig.household.log()->clear();
    rig.store->menuOpened();
    rig.store->menuClosed();
    // The topology read in flight ends as usual; nothing follows it.
    ASSERT_TRUE(waitUntil([&] { return callCount(rig.household, QStringLiteral("GetZoneGroupState")) > 0; }));
    serveFor(std::chrono::milliseconds(500));
    EXPECT_EQ(callCount(rig.household, QStringLiteral("GetTransportInfo")), 0);
    EXPECT_EQ(callCount(rig.household, QStringLiteral("Browse")), 0);
}

TEST(PlayerStorePolling, WhileClosedAPlayingGroupIsReadSlowlyAPausedOneNotAtAllAndAwayFromHomeThePollBacksOffThenStops)
{
    PollingRig rig(std::chrono::milliseconds(100));
    rig.choose(QStringLiteral("Living Room"));
    EXPECT_FALSE(rig.store->nowPlaying().isPollingWhileClosed()) << "nothing plays";

    rig.store->nowPlaying().play();
    ASSERT_TRUE(waitUntil([&] { return rig.store->nowPlaying().isPlaying(); }));
    EXPECT_TRUE(rig.store->nowPlaying().isPollingWhileClosed());
    rig.household.log()->clear();
    ASSERT_TRUE(waitUntil([&] { return callCount(rig.household, QStringLiteral("GetTransportInfo")) >= 3; }));
    // One read per period, not one after another.
    EXPECT_LE(callCount(rig.household, QStringLiteral("GetTransportInfo")), 4);

    // The panel's own poll takes over while it is open.
    rig.store->menuOpened();
    EXPECT_FALSE(rig.store->nowPlaying().isPollingWhileClosed());
    rig.store->menuClosed();
    EXPECT_TRUE(rig.store->nowPlaying().isPollingWhileClosed());

    rig.store->nowPlaying().pause();
    ASSERT_TRUE(waitUntil([&] { return !rig.store->nowPlaying().isPlaying(); }));
    EXPECT_FALSE(rig.store->nowPlaying().isPollingWhileClosed());
    serveFor(std::chrono::milliseconds(200)); // a read in flight ends
    rig.household.log()->clear();
    serveFor(std::chrono::milliseconds(600));
    EXPECT_EQ(rig.household.log()->all().size(), 0u) << "a paused group with the panel closed costs nothing";

    // Away from home: the closed poll backs off, then stops.
    rig.store->nowPlaying().play();
    ASSERT_TRUE(waitUntil([&] { return rig.store->nowPlaying().isPlaying(); }));
    // The player refuses its reads, the household still answers: each
    // failed read waits twice as long as the one before.
    rig.household.server(rig.address(QStringLiteral("Living Room")))
        .inject(QStringLiteral("GetTransportInfo"), brokenAnswer(1000));
    rig.household.log()->clear();
    serveFor(std::chrono::milliseconds(1300));
    const int reads = callCount(rig.household, QStringLiteral("GetTransportInfo"));
    EXPECT_GE(reads, 2);
    EXPECT_LE(reads, 4) << "100, 200, 400, 800 ms apart, not every 100 ms";
    EXPECT_TRUE(rig.store->nowPlaying().isPlaying());

    // Nobody answers at all: what played is no longer shown as playing, and
    // the poll stops searching for the household.
    rig.household.stop();
    ASSERT_TRUE(waitUntil([&] { return !rig.store->nowPlaying().isPlaying(); }, std::chrono::seconds(5)));
    EXPECT_FALSE(rig.store->nowPlaying().hasPlayback());
    EXPECT_FALSE(rig.store->nowPlaying().isPollingWhileClosed());
    const int searches = *rig.rig.searches;
    serveFor(std::chrono::milliseconds(500));
    EXPECT_EQ(*rig.rig.searches, searches);
}
