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

TEST(LibraryEvents, ChangesElsewhereShowInTheOpenPanelAtOnceAndInAClosedOneAtItsOpening)
{
    LibraryRig rig;
    testsupport::await(rig.store->refreshAll());
    storetest::selectGroupLedBy(*rig.store, QStringLiteral("Kitchen"));
    ASSERT_TRUE(waitUntil([&] { return rig.store->liveUpdates().isFlowing(); }));
    rig.store->menuOpened();
    ASSERT_TRUE(storetest::waitUntilSettled(*rig.store));
    rig.household.log()->clear();

    // Another controller fills the queue: the content directory tells, with
    // the lists' ids as they were. Its events come before the next one's.
    const QList<SonosKit::ContentItem> favorites = rig.store->library().favorites();
    const auto container = std::find_if(
        favorites.cbegin(), favorites.cend(), [](const SonosKit::ContentItem &item) { return item.title == u"Discover Weekly"; });
    ASSERT_NE(container, favorites.cend());
    testsupport::await(SonosKit::GroupController(*rig.store->household().selectedGroup()).loadIntoQueue(*container));

    // A favorite added elsewhere shows, after one load of the lists.
    rig.addFavorite(QStringLiteral("Jazz Radio"));
    EXPECT_TRUE(waitUntil([&] { return rig.shows(QStringLiteral("Jazz Radio")); }, eventLatency));
    EXPECT_EQ(rig.favoritesBrowses(), 1) << "the queue's events reloaded the lists";

    // A Sonos Playlist renamed elsewhere.
    QList<playersim::SimPlaylist> playlists = rig.household.playlists();
    playlists.first().title = QStringLiteral("Dinner for Two");
    rig.household.setPlaylists(playlists);
    EXPECT_TRUE(waitUntil([&] { return rig.shows(QStringLiteral("Dinner for Two")); }, eventLatency));
    EXPECT_FALSE(rig.shows(QStringLiteral("Dinner Party")));

    // With the panel closed the event loads nothing; the next opening shows
    // the change.
    rig.store->menuClosed();
    std::optional<QString> heard;
    QObject::connect(&rig.store->liveUpdates(), &LiveUpdates::libraryEvent,
        [&heard](const SonosKit::ContentDirectoryEvent &event) { heard = event.favoritesUpdateID; });
    rig.household.log()->clear();
    rig.addFavorite(QStringLiteral("Night Radio"));
    ASSERT_TRUE(waitUntil([&] { return heard.has_value(); }, eventLatency));
    EXPECT_FALSE(waitUntil([&] { return rig.favoritesBrowses() > 0; }, quiet)) << "the closed panel loaded the lists";
    EXPECT_FALSE(rig.shows(QStringLiteral("Night Radio")));
    rig.store->menuOpened();
    EXPECT_TRUE(waitUntil([&] { return rig.shows(QStringLiteral("Night Radio")); }, eventLatency));
}
