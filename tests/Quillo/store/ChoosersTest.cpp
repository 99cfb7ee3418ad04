// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The group picker and the favorite chooser show a row by its index: the
// index must follow the list, not only the choice, or the picker shows one
// group while the buttons act on another.
#include "Quillo/store/Household.h"
#include "Quillo/store/Library.h"
#include "Quillo/store/Preferences.h"
#include "Quillo/store/StoreContext.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Each model alone, on preferences of its own; nothing here reaches a player.
struct Models {
    QTemporaryDir directory;
    StoreContext context{StoreSettings()};
    Preferences preferences{std::make_unique<QSettings>(directory.filePath(QStringLiteral("q.ini")), QSettings::IniFormat)};
    Household household{context, preferences};
    Library library{context, household, preferences};
};

SonosKit::ZoneGroup group(const QString &room)
{
    const SonosKit::SonosDevice player(QStringLiteral("127.0.0.9"), QStringLiteral("RINCON_") + room, room);
    return {QStringLiteral("group-") + room, player, {player}};
}

SonosKit::ContentItem item(const QString &id)
{
    SonosKit::ContentItem entry;
    entry.id = id;
    entry.title = id;
    entry.uri = QStringLiteral("x-sonosapi-stream:") + id;
    return entry;
}

} // namespace

TEST(Choosers, AGroupListedBeforeTheChosenOneMovesItsRowNotTheChoice)
{
    Models models;
    Household &household = models.household;
    household.setSelectedRoomName(QStringLiteral("Office"));
    household.setGroups({group(QStringLiteral("Kitchen")), group(QStringLiteral("Office"))});
    ASSERT_EQ(household.selectedGroupIndex(), 1);

    int choice = 0;
    int row = 0;
    QObject::connect(&household, &Household::selectedGroupChanged, [&choice] { ++choice; });
    QObject::connect(&household, &Household::selectedGroupIndexChanged, [&row] { ++row; });
    household.setGroups({group(QStringLiteral("Bath")), group(QStringLiteral("Kitchen")), group(QStringLiteral("Office"))});
    EXPECT_EQ(household.selectedGroupIndex(), 2);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(choice, 0) << "the same group is chosen";

    // The chosen group gone: the first one is chosen, at row 0.
    household.setGroups({group(QStringLiteral("Bath")), group(QStringLiteral("Kitchen"))});
    EXPECT_EQ(household.selectedGroup()->coordinator.roomName, QStringLiteral("Bath"));
    EXPECT_EQ(household.selectedGroupIndex(), 0);
}

TEST(Choosers, AFavoriteAddedBeforeTheChosenOneMovesItsRowAndAFilterToo)
{
    Models models;
    Library &library = models.library;
    library.setFavorites({item(QStringLiteral("a")), item(QStringLiteral("c"))});
    library.setSelectedItemID(QStringLiteral("c"));
    ASSERT_EQ(library.selectedItemIndex(), 1);

    int choice = 0;
    int row = 0;
    QObject::connect(&library, &Library::selectedItemChanged, [&choice] { ++choice; });
    QObject::connect(&library, &Library::selectedItemIndexChanged, [&row] { ++row; });
    library.setFavorites({item(QStringLiteral("a")), item(QStringLiteral("b")), item(QStringLiteral("c"))});
    EXPECT_EQ(library.selectedItemIndex(), 2);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(choice, 0);

    // A provider that hides the entries before it moves the row as well.
    SonosKit::ContentItem station = item(QStringLiteral("d"));
    station.serviceID = 254;
    library.setFavorites({item(QStringLiteral("a")), item(QStringLiteral("b")), item(QStringLiteral("c")), station});
    library.setSelectedItemID(QStringLiteral("d"));
    ASSERT_EQ(library.selectedItemIndex(), 3);
    library.setSelectedProvider(station.providerName({}));
    EXPECT_EQ(library.selectedItemIndex(), 0);
    EXPECT_EQ(library.selectedItem()->id, QStringLiteral("d"));
}
