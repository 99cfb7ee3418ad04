// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Favorites and Sonos Playlists changed in another controller, told by the
// household's ContentDirectory events, over the simulated household.
#include "StoreTestSupport.h"

#include "SonosKit/GroupController.h"

#include <gtest/gtest.h>

using storetest::titles;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::LibraryEvents;
// A change at a player shows within this.
constexpr std::chrono::milliseconds eventLatency{1000};
// Long enough for a wrongly started load to reach the players.
constexpr std::chrono::milliseconds quiet{300};

struct LibraryRig {
    playersim::Household household = storetest::startedHousehold(block);
    storetest::StoreRig rig = [this] {
        storetest::StoreRig made(household);
        made.events = true;
        made.eventAddress = storetest::listenAddress(block);
        return made;
    }();
    std::unique_ptr<PlayerStore> store = rig.makeStore();

    // The panel opened on Kitchen's group while its events flow, the lists
    // loaded; the request log starts empty.
    void openPanel()
    {
        testsupport::await(store->refreshAll());
        storetest::selectGroupLedBy(*store, QStringLiteral("Kitchen"));
        ASSERT_TRUE(waitUntil([&] { return store->liveUpdates().isFlowing(); }));
        store->menuOpened();
        ASSERT_TRUE(storetest::waitUntilSettled(*store));
        household.log()->clear();
    }
    // Browses of the favorites since the log was cleared: one per load.
    int favoritesBrowses() const
    {
        const auto browses = household.log()->calls(QStringLiteral("Browse"));
        return int(std::count_if(browses.cbegin(), browses.cend(),
            [](const playersim::SoapCall &call) { return call.argument(QStringLiteral("ObjectID")) == u"FV:2"; }));
    }
    bool shows(const QString &title) const { return titles(store->library().favorites()).contains(title); }
    void addFavorite(const QString &title)
    {
        QList<playersim::SimFavorite> favorites = household.favorites();
        favorites.append(favorites.first());
        favorites.last().title = title;
        household.setFavorites(favorites);
    }
};

} // namespace

TEST(LibraryEvents, ChangesElsewhereShowInTheOpenPanelAndOnlyThey)
{
    LibraryRig rig;
    rig.openPanel();

    // Another controller fills the queue: the content directory tells, but
    // with the lists' ids as they were. Its event comes before the next one.
    const QList<SonosKit::ContentItem> favorites = rig.store->library().favorites();
    const auto container = std::find_if(
        favorites.cbegin(), favorites.cend(), [](const SonosKit::ContentItem &item) { return item.title == u"Discover Weekly"; });
    ASSERT_NE(container, favorites.cend());
    testsupport::await(SonosKit::GroupController(*rig.store->household().selectedGroup()).loadIntoQueue(*container));

    // A favorite added elsewhere shows, after one load of the lists.
    rig.addFavorite(QStringLiteral("Jazz Radio"));
    EXPECT_TRUE(waitUntil([&] { return rig.shows(QStringLiteral("Jazz Radio")); }, eventLatency));
    EXPECT_EQ(rig.favoritesBrowses(), 1) << "the queue's event reloaded the lists";

    // A Sonos Playlist renamed elsewhere.
    QList<playersim::SimPlaylist> playlists = rig.household.playlists();
    playlists.first().title = QStringLiteral("Dinner for Two");
    rig.household.setPlaylists(playlists);
    EXPECT_TRUE(waitUntil([&] { return rig.shows(QStringLiteral("Dinner for Two")); }, eventLatency));
    EXPECT_FALSE(rig.shows(QStringLiteral("Dinner Party")));
}

TEST(LibraryEvents, WithThePanelClosedAChangeShowsAtTheNextOpening)
{
    LibraryRig rig;
    rig.openPanel();
    rig.store->menuClosed();
    std::optional<QString> heard;
    QObject::connect(&rig.store->liveUpdates(), &LiveUpdates::libraryEvent,
        [&heard](const SonosKit::ContentDirectoryEvent &event) { heard = event.favoritesUpdateID; });

    rig.addFavorite(QStringLiteral("Jazz Radio"));
    ASSERT_TRUE(waitUntil([&] { return heard.has_value(); }, eventLatency));
    EXPECT_FALSE(waitUntil([&] { return rig.favoritesBrowses() > 0; }, quiet)) << "the closed panel loaded the lists";
    EXPECT_FALSE(rig.shows(QStringLiteral("Jazz Radio")));

    rig.store->menuOpened();
    EXPECT_TRUE(waitUntil([&] { return rig.shows(QStringLiteral("Jazz Radio")); }, eventLatency));
}
