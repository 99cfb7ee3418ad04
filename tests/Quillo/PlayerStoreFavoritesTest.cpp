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

    void load()
    {
        ASSERT_TRUE(refreshedFavorites(*store));
    }
};

} // namespace

TEST(PlayerStoreFavorites, LoadsFavoritesThenPlaylistsWithSortedProviders)
{
    FavoritesRig rig;
    NotificationCounter counter(rig.store.get());
    rig.load();
    EXPECT_EQ(titles(rig.store->favorites()),
              (QStringList{"Radio Paradise", "Discover Weekly", "Morning Mix", "Browse Jazz", "Solo", "Dinner Party"}));
    EXPECT_EQ(rig.store->availableProviders(),
              (QStringList{"All Providers", "Deezer", "Sonos Playlists", "Spotify", "TuneIn"}));
    EXPECT_EQ(rig.store->visibleFavorites(), rig.store->favorites());
    // The first playable entry is chosen when nothing was.
    ASSERT_TRUE(rig.store->selectedItem());
    EXPECT_EQ(rig.store->selectedItem()->title, QStringLiteral("Radio Paradise"));
    EXPECT_EQ(counter.count("isRefreshingFavorites"), 2);
    EXPECT_EQ(counter.count("favoriteCount"), 1);

    counter.reset();
    rig.load();
    EXPECT_EQ(counter.count("favoriteCount"), 0) << "an equal reload notifies nothing";
    EXPECT_EQ(counter.count("visibleFavoriteCount"), 0);
    EXPECT_EQ(counter.count("availableProviders"), 0);
    EXPECT_EQ(counter.count("selectedItem"), 0);
}

TEST(PlayerStoreFavorites, TheProviderFilterAndAProviderThatVanished)
{
    FavoritesRig rig;
    rig.load();
    rig.store->setSelectedProvider(QStringLiteral("Spotify"));
    EXPECT_EQ(titles(rig.store->visibleFavorites()), (QStringList{"Discover Weekly", "Browse Jazz", "Solo"}));
    EXPECT_EQ(rig.store->selectedItem()->title, QStringLiteral("Discover Weekly"));
    rig.store->selectItem(idOfTitle(*rig.store, QStringLiteral("Solo")));
    EXPECT_EQ(rig.store->selectedItem()->title, QStringLiteral("Solo"));

    // A reload keeps both choices while they still exist.
    rig.load();
    EXPECT_EQ(rig.store->selectedProvider(), QStringLiteral("Spotify"));
    EXPECT_EQ(rig.store->selectedItem()->title, QStringLiteral("Solo"));

    // Changing the provider forgets the entry.
    rig.store->setSelectedProvider(QStringLiteral("TuneIn"));
    EXPECT_FALSE(rig.store->selectedItemID());
    EXPECT_EQ(rig.store->selectedItem()->title, QStringLiteral("Radio Paradise"));

    // A provider stored earlier that this household does not have.
    StoreRig other(rig.household);
    other.writeSettingsText("[General]\nselectedProvider=Napster\n");
    auto reopened = other.makeStore();
    EXPECT_EQ(reopened->selectedProvider(), QStringLiteral("Napster"));
    reopened->refreshFavorites();
    ASSERT_TRUE(waitUntilSettled(*reopened));
    ASSERT_TRUE(waitUntil([&] { return !reopened->isRefreshingFavorites(); }));
    EXPECT_EQ(reopened->selectedProvider(), QStringLiteral("All Providers"));
    EXPECT_EQ(reopened->visibleFavorites().size(), 6);
}

TEST(PlayerStoreFavorites, AFailingBrowseLeavesFavoritesAndCancelsTheRest)
{
    FavoritesRig rig;
    rig.load();
    const QList<SonosKit::ContentItem> before = rig.store->favorites();
    const QString host = rig.store->selectedGroup()->coordinator.host;
    // The service list answers slowly, the listings fail:
    // the load gives up at once instead of waiting for the names.
    rig.household.server(host).inject(QStringLiteral("ListAvailableServices"),
                                      playersim::Fault{.delay = std::chrono::seconds(4), .remaining = 1});
    rig.household.server(host).inject(QStringLiteral("Browse"), playersim::Fault{.reset = true});
    NotificationCounter counter(rig.store.get());

    rig.store->refreshFavorites();
    ASSERT_TRUE(waitUntil([&] { return !rig.store->isRefreshingFavorites(); }, std::chrono::seconds(3)))
        << "the slow request was not cancelled";
    EXPECT_EQ(rig.store->statusKind(), StoreStatus::Kind::Failed);
    EXPECT_EQ(rig.store->favorites(), before);
    EXPECT_EQ(counter.count("favoriteCount"), 0);
}

TEST(PlayerStoreFavorites, AnEntryPickedWhileTheLoadFinishesStaysPicked)
{
    FavoritesRig rig;
    rig.load();
    const QString host = rig.store->selectedGroup()->coordinator.host;
    // The lists arrive, the service names a little later.
    rig.household.server(host).inject(QStringLiteral("ListAvailableServices"),
                                      playersim::Fault{.delay = std::chrono::milliseconds(400), .remaining = 1});
    rig.household.log()->clear();
    rig.store->refreshFavorites();
    ASSERT_TRUE(waitUntil([&] { return callCount(rig.household, QStringLiteral("Browse")) >= 2; }));
    rig.store->selectItem(idOfTitle(*rig.store, QStringLiteral("Solo")));
    ASSERT_TRUE(waitUntil([&] { return !rig.store->isRefreshingFavorites(); }));
    ASSERT_TRUE(rig.store->selectedItem());
    EXPECT_EQ(rig.store->selectedItem()->title, QStringLiteral("Solo"));
    EXPECT_EQ(rig.store->selectedItemID(), std::optional<QString>(idOfTitle(*rig.store, QStringLiteral("Solo"))));
}
