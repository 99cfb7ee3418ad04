// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The four preferences: what reaches the file, when, and what a damaged file
// reads as. None of these needs a player.
#include "StoreTestSupport.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace storetest;

namespace {

// Nothing listens here: every search fails at once.
const QString nobody = QStringLiteral("127.0.0.2");

QSettings readBack(const StoreRig &rig)
{
    return QSettings(rig.settingsPath(), QSettings::IniFormat);
}

} // namespace

TEST(PlayerStorePreferences, AScriptedSessionLeavesExactlyItsChoicesOnDisk)
{
    StoreRig rig(nobody);
    {
        auto store = rig.makeStore();
        // A new store writes nothing, and the defaults hold.
        EXPECT_FALSE(QFile::exists(rig.settingsPath()));
        EXPECT_FALSE(store->preferences().selectedRoomName());
        EXPECT_FALSE(store->preferences().hasSeenWelcome());
        EXPECT_FALSE(store->library().selectedProvider());
        EXPECT_EQ(store->household().statusKind(), StoreStatus::Kind::Idle);

        store->setHasSeenWelcome(true);
        store->library().selectProvider(QStringLiteral("Spotify"));
        store->household().retry(QStringLiteral(" \t127.0.0.3 "));
        // Read back while the store still lives: each write is on disk at once.
        QSettings onDisk = readBack(rig);
        EXPECT_EQ(onDisk.value("manualHost").toString(), QStringLiteral("127.0.0.3"));
        EXPECT_EQ(onDisk.value("selectedProvider").toString(), QStringLiteral("Spotify"));
        EXPECT_EQ(onDisk.value("hasSeenWelcome").toString(), QStringLiteral("true"));
        EXPECT_FALSE(onDisk.contains("selectedRoomName"));

        // A blank address is no address: the key goes.
        store->household().retry(QStringLiteral("  "));
        EXPECT_FALSE(readBack(rig).contains("manualHost"));
        EXPECT_FALSE(store->preferences().manualHost());
    }
    auto reopened = rig.makeStore();
    EXPECT_TRUE(reopened->preferences().hasSeenWelcome());
    EXPECT_EQ(reopened->library().selectedProvider(), QStringLiteral("Spotify"));
    EXPECT_FALSE(reopened->preferences().manualHost());
    const QString text = rig.settingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("hasSeenWelcome=true"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("manualHost"))) << text.toStdString();
}

TEST(PlayerStorePreferences, ProviderIsWrittenOnlyOnChangeTheOthersOnEveryAssignment)
{
    StoreRig rig(nobody);
    auto store = rig.makeStore();
    NotificationCounter counter(store.get());

    store->library().selectProvider(QString());
    EXPECT_FALSE(QFile::exists(rig.settingsPath())) << "an unchanged provider is not written";
    EXPECT_EQ(counter.count("selectedProvider"), 0);

    // An assignment of the value already held still reaches the file (an
    // edited file is put right), but tells no observer.
    store->setHasSeenWelcome(false);
    EXPECT_EQ(readBack(rig).value("hasSeenWelcome").toString(), QStringLiteral("false"));
    EXPECT_EQ(counter.count("hasSeenWelcome"), 0);
    {
        QSettings edit(rig.settingsPath(), QSettings::IniFormat);
        edit.setValue("hasSeenWelcome", true);
    }
    store->setHasSeenWelcome(false);
    EXPECT_EQ(readBack(rig).value("hasSeenWelcome").toString(), QStringLiteral("false"));

    store->setHasSeenWelcome(true);
    store->setHasSeenWelcome(true);
    EXPECT_EQ(counter.count("hasSeenWelcome"), 1);
}

TEST(PlayerStorePreferences, ValuesOfTheWrongTypeReadAsAbsent)
{
    StoreRig rig(nobody);
    rig.writeSettingsText("[General]\n"
                          "selectedRoomName=Kitchen, Office\n" // a list in INI syntax
                          "selectedProvider=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                          "manualHost=192.168.1.20\n"
                          "hasSeenWelcome=maybe\n");
    auto store = rig.makeStore();
    EXPECT_FALSE(store->preferences().selectedRoomName());
    EXPECT_EQ(store->library().selectedProvider(), std::nullopt);
    EXPECT_EQ(store->preferences().manualHost(), std::optional<QString>(QStringLiteral("192.168.1.20")));
    EXPECT_FALSE(store->preferences().hasSeenWelcome());
}

TEST(PlayerStorePreferences, ACorruptFileGivesTheDefaultsAndTakesNewChoices)
{
    for (const QByteArray &garbage :
        {QByteArray("\xff\xfe\x00\x01[[[=\n\x00\x00", 10), QByteArray(100000, '['), QByteArray("[General\nmanualHost")}) {
        StoreRig rig(nobody);
        rig.writeSettingsText(garbage);
        auto store = rig.makeStore();
        EXPECT_FALSE(store->preferences().hasSeenWelcome());
        EXPECT_EQ(store->library().selectedProvider(), std::nullopt);
        // Choices made afterwards are kept as usual.
        store->setHasSeenWelcome(true);
        EXPECT_TRUE(rig.makeStore()->preferences().hasSeenWelcome());
    }
}

TEST(PlayerStorePreferences, AnUnreadableFileGivesTheDefaults)
{
    StoreRig unreadable(nobody);
    unreadable.writeSettingsText("[General]\nhasSeenWelcome=true\n");
    QFile::setPermissions(unreadable.settingsPath(), QFileDevice::Permissions());
    if (QFile(unreadable.settingsPath()).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with permission to read any file (root), so no file is unreadable";
    EXPECT_FALSE(unreadable.makeStore()->preferences().hasSeenWelcome());
}
