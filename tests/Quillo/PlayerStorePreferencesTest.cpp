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

TEST(PlayerStorePreferences, ConstructionWritesNothingAndDefaultsHold)
{
    StoreRig rig(nobody);
    auto store = rig.makeStore();
    EXPECT_FALSE(QFile::exists(rig.settingsPath()));
    EXPECT_FALSE(store->selectedRoomName());
    EXPECT_FALSE(store->manualHost());
    EXPECT_FALSE(store->hasSeenWelcome());
    EXPECT_EQ(store->selectedProvider(), QStringLiteral("All Providers"));
    EXPECT_EQ(store->availableProviders(), QStringList{QStringLiteral("All Providers")});
    EXPECT_EQ(store->statusKind(), StoreStatus::Kind::Idle);
    // QML tells an absent optional from an empty text.
    EXPECT_TRUE(store->selectedRoomNameValue().isNull());
    EXPECT_TRUE(store->tracksMessageValue().isNull());
    EXPECT_TRUE(store->playbackValue().isNull());
    EXPECT_TRUE(store->selectedGroupValue().isNull());
}

TEST(PlayerStorePreferences, AScriptedSessionLeavesExactlyItsChoicesOnDisk)
{
    StoreRig rig(nobody);
    {
        auto store = rig.makeStore();
        store->setHasSeenWelcome(true);
        store->setSelectedProvider(QStringLiteral("Spotify"));
        store->retryDiscovery(std::optional<QString>(QStringLiteral(" \t127.0.0.3 ")));
        // Read back while the store still lives: each write is on disk at once.
        QSettings onDisk = readBack(rig);
        EXPECT_EQ(onDisk.value("manualHost").toString(), QStringLiteral("127.0.0.3"));
        EXPECT_EQ(onDisk.value("selectedProvider").toString(), QStringLiteral("Spotify"));
        EXPECT_EQ(onDisk.value("hasSeenWelcome").toString(), QStringLiteral("true"));
        EXPECT_FALSE(onDisk.contains("selectedRoomName"));

        // A blank address is no address: the key goes.
        store->retryDiscovery(std::optional<QString>(QStringLiteral("  ")));
        EXPECT_FALSE(readBack(rig).contains("manualHost"));
        EXPECT_FALSE(store->manualHost());
    }
    auto reopened = rig.makeStore();
    EXPECT_TRUE(reopened->hasSeenWelcome());
    EXPECT_EQ(reopened->selectedProvider(), QStringLiteral("Spotify"));
    EXPECT_FALSE(reopened->manualHost());
    const QString text = rig.settingsText();
    EXPECT_TRUE(text.contains(QStringLiteral("hasSeenWelcome=true"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("manualHost"))) << text.toStdString();
}

TEST(PlayerStorePreferences, ProviderIsWrittenOnlyOnChangeTheOthersOnEveryAssignment)
{
    StoreRig rig(nobody);
    auto store = rig.makeStore();
    NotificationCounter counter(store.get());

    store->setSelectedProvider(QStringLiteral("All Providers"));
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
    EXPECT_FALSE(store->selectedRoomName());
    EXPECT_EQ(store->selectedProvider(), QStringLiteral("All Providers"));
    EXPECT_EQ(store->manualHost(), std::optional<QString>(QStringLiteral("192.168.1.20")));
    EXPECT_FALSE(store->hasSeenWelcome());
}

TEST(PlayerStorePreferences, ACorruptFileGivesTheDefaultsAndTakesNewChoices)
{
    for (const QByteArray &garbage : {QByteArray("\xff\xfe\x00\x01[[[=\n\x00\x00", 10), QByteArray(100000, '['),
                                      QByteArray("[General\nmanualHost")}) {
        StoreRig rig(nobody);
        rig.writeSettingsText(garbage);
        auto store = rig.makeStore();
        EXPECT_FALSE(store->hasSeenWelcome());
        EXPECT_EQ(store->selectedProvider(), QStringLiteral("All Providers"));
        // Choices made afterwards are kept as usual.
        store->setHasSeenWelcome(true);
        EXPECT_TRUE(rig.makeStore()->hasSeenWelcome());
    }
}

TEST(PlayerStorePreferences, AnUnreadableFileGivesTheDefaults)
{
    StoreRig unreadable(nobody);
    unreadable.writeSettingsText("[General]\nhasSeenWelcome=true\n");
    QFile::setPermissions(unreadable.settingsPath(), QFileDevice::Permissions());
    if (QFile(unreadable.settingsPath()).open(QIODevice::ReadOnly))
        GTEST_SKIP() << "running with permission to read any file (root), so no file is unreadable";
    EXPECT_FALSE(unreadable.makeStore()->hasSeenWelcome());
}

TEST(PlayerStorePreferences, PendingVolumeFromQmlIsAWholeNumberOrAbsent)
{
    StoreRig rig(nobody);
    auto store = rig.makeStore();
    NotificationCounter counter(store.get());
    store->setPendingVolumeValue(QVariant(41.6));
    EXPECT_EQ(store->pendingVolume(), std::optional<int>(41));
    EXPECT_EQ(store->volume(), 41);
    store->setPendingVolumeValue(QVariant(41.2));
    EXPECT_EQ(counter.count("pendingVolume"), 1);
    store->setPendingVolumeValue(QVariant(std::numeric_limits<double>::quiet_NaN()));
    store->setPendingVolumeValue(QVariant(QStringLiteral("loud")));
    EXPECT_EQ(store->pendingVolume(), std::optional<int>(41));
    store->setPendingVolumeValue(QVariant());
    EXPECT_FALSE(store->pendingVolume());
    EXPECT_EQ(store->volume(), 0);
    EXPECT_EQ(counter.count("volume"), 2);
}
