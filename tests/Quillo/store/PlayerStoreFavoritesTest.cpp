// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Favorites and Sonos Playlists: the load, the provider filter and the entry
// the user chose.
#include "StoreTestSupport.h"

#include "SonosKit/ContentItem.h"

#include <gtest/gtest.h>

using namespace storetest;
using testsupport::Suite;
using testsupport::waitUntil;

namespace {

struct FavoritesRig {
    playersim::Household household = startedHousehold(Suite::PlayerStoreFavorites);
    StoreRig rig{household};
    std::unique_ptr<PlayerStore> store = rig.makeStore();

    void load() { ASSERT_TRUE(refreshedFavorites(*store)); }
};

} // namespace

TEST(PlayerStoreFavorites, LoadsFavoritesThenPlaylistsWithSortedProviders)
{
    FavoritesRig rig;
    NotificationCounter counter(rig.store.get());
    rig.load();
    EXPECT_EQ(titles(rig.store->library().favorites()),
        (QStringList{"Radio Paradise", "Discover Weekly", "Morning Mix", "Browse Jazz", "Solo", "Dinner Party"}));
    EXPECT_EQ(rig.store->library().providers(), (QStringList{"Deezer", "Sonos Playlists", "Spotify", "TuneIn"}));
    EXPECT_EQ(rig.store->library().visibleFavorites(), rig.store->library().favorites());
    // The first playable entry is chosen when nothing was.
    ASSERT_TRUE(rig.store->library().selectedItem());
    EXPECT_EQ(rig.store->library().selectedItem()->title, QStringLiteral("Radio Paradise"));
    EXPECT_EQ(counter.count("isRefreshing"), 2);
    EXPECT_EQ(counter.count("favorites.count"), 1);

    counter.reset();
    rig.load();
    EXPECT_EQ(counter.count("favorites.count"), 0) << "an equal reload notifies nothing";
    EXPECT_EQ(counter.count("visibleFavorites.count"), 0);
    EXPECT_EQ(counter.count("providerChoices"), 0);
    EXPECT_EQ(counter.count("selectedItem"), 0);
}

TEST(PlayerStoreFavorites, TheProviderFilterAndAProviderThatVanished)
{
    FavoritesRig rig;
    rig.load();
    rig.store->library().selectProvider(QStringLiteral("Spotify"));
    EXPECT_EQ(titles(rig.store->library().visibleFavorites()), (QStringList{"Discover Weekly", "Browse Jazz", "Solo"}));
    EXPECT_EQ(rig.store->library().selectedItem()->title, QStringLiteral("Discover Weekly"));
    rig.store->library().selectItem(idOfTitle(*rig.store, QStringLiteral("Solo")));
    EXPECT_EQ(rig.store->library().selectedItem()->title, QStringLiteral("Solo"));

    // A reload keeps both choices while they still exist.
    rig.load();
    EXPECT_EQ(rig.store->library().selectedProvider(), QStringLiteral("Spotify"));
    EXPECT_EQ(rig.store->library().selectedItem()->title, QStringLiteral("Solo"));

    // Changing the provider forgets the entry.
    rig.store->library().selectProvider(QStringLiteral("TuneIn"));
    EXPECT_FALSE(rig.store->library().selectedItemID());
    EXPECT_EQ(rig.store->library().selectedItem()->title, QStringLiteral("Radio Paradise"));

    // A provider stored earlier that this household does not have.
    StoreRig other(rig.household);
    other.writeSettingsText("[General]\nselectedProvider=Napster\n");
    auto reopened = other.makeStore();
    EXPECT_EQ(reopened->library().selectedProvider(), QStringLiteral("Napster"));
    reopened->library().refresh();
    ASSERT_TRUE(waitUntilSettled(*reopened));
    ASSERT_TRUE(waitUntil([&] { return !reopened->library().isRefreshing(); }));
    EXPECT_EQ(reopened->library().selectedProvider(), std::nullopt);
    EXPECT_EQ(reopened->library().visibleFavorites().size(), 6);
}

TEST(PlayerStoreFavorites, AFailingBrowseLeavesFavoritesAndCancelsTheRest)
{
    FavoritesRig rig;
    rig.load();
    const QList<SonosKit::ContentItem> before = rig.store->library().favorites();
    const QString host = rig.store->household().selectedGroup()->coordinator.host;
    // The service list answers slowly, the listings fail:
    // the load gives up at once instead of waiting for the names.
    rig.household.server(host).inject(
        QStringLiteral("ListAvailableServices"), playersim::Fault{.delay = std::chrono::seconds(4), .remaining = 1});
    rig.household.server(host).inject(QStringLiteral("Browse"), playersim::Fault{.reset = true});
    NotificationCounter counter(rig.store.get());

    rig.store->library().refresh();
    ASSERT_TRUE(waitUntil([&] { return !rig.store->library().isRefreshing(); }, std::chrono::seconds(3)))
        << "the slow request was not cancelled";
    EXPECT_EQ(rig.store->household().statusKind(), StoreStatus::Kind::Failed);
    EXPECT_EQ(rig.store->library().favorites(), before);
    EXPECT_EQ(counter.count("favorites.count"), 0);
}

TEST(PlayerStoreFavorites, AnEntryPickedWhileTheLoadFinishesStaysPicked)
{
    FavoritesRig rig;
    rig.load();
    const QString host = rig.store->household().selectedGroup()->coordinator.host;
    // The lists arrive, the service names a little later.
    rig.household.server(host).inject(
        QStringLiteral("ListAvailableServices"), playersim::Fault{.delay = std::chrono::milliseconds(400), .remaining = 1});
    rig.household.log()->clear();
    rig.store->library().refresh();
    ASSERT_TRUE(waitUntil([&] { return callCount(rig.household, QStringLiteral("Browse")) >= 2; }));
    rig.store->library().selectItem(idOfTitle(*rig.store, QStringLiteral("Solo")));
    ASSERT_TRUE(waitUntil([&] { return !rig.store->library().isRefreshing(); }));
    ASSERT_TRUE(rig.store->library().selectedItem());
    EXPECT_EQ(rig.store->library().selectedItem()->title, QStringLiteral("Solo"));
    EXPECT_EQ(rig.store->library().selectedItemID(), std::optional<QString>(idOfTitle(*rig.store, QStringLiteral("Solo"))));
}
