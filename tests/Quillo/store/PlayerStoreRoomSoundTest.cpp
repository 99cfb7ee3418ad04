// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Each room's sound in the store, over the simulated household with events
// on: every control against a player that has it and one that does not, a
// drag, changes from elsewhere, reset and a refusal.
#include "StoreTestSupport.h"

#include "SonosKit/RoomSound.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using SonosKit::RoomSoundControl;
using storetest::callCount;
using testsupport::await;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerStoreRoomSound;

} // namespace

TEST(PlayerStoreRoomSound, EachControlWhereThePlayerHasItADragChangesElsewhereResetAndARefusal)
{
    playersim::Household household = storetest::startedHousehold(block);
    storetest::StoreRig rig(household);
    auto store = rig.makeFollowingStore(block, QStringLiteral("Kitchen"));
    ASSERT_TRUE(store);
    const int groupSubscriptions = household.subscriptionCount();
    QSignalSpy flowing(&store->liveUpdates(), &LiveUpdates::flowingChanged);
    RoomSound &sound = store->roomSound();

    // The soundbar plays outside the selected group: its page has every
    // control, and its own events keep it current.
    const QString living = storetest::roomID(*store, QStringLiteral("Living Room"));
    const RoomSoundControl soundbar(*store->rooms().device(living));
    sound.open(living);
    ASSERT_TRUE(waitUntil([&] { return !sound.isLoading(); }));
    EXPECT_EQ(sound.roomName(), QStringLiteral("Living Room"));
    EXPECT_TRUE(sound.hasNightMode() && sound.hasSpeechEnhancement() && sound.loudness());
    EXPECT_FALSE(sound.nightMode() || sound.speechEnhancement());

    // A drag shows each value at once and sends nothing until released; keys
    // pressed while a send is under way go after it, the newest last.
    household.log()->clear();
    for (int level = 1; level <= 8; ++level)
        sound.previewBass(level);
    EXPECT_EQ(sound.bass(), 8);
    EXPECT_EQ(callCount(household, QStringLiteral("SetBass")), 0);
    sound.commitBass(8);
    sound.commitBass(9);
    sound.commitBass(10);
    sound.commitBass(12); // held to the scale
    EXPECT_EQ(sound.bass(), 10);
    ASSERT_TRUE(waitUntil([&] { return await(soundbar.read(false)).bass == 10; }));
    EXPECT_EQ(callCount(household, QStringLiteral("SetBass")), 2);

    sound.setLoudness(false);
    sound.setNightMode(true);
    sound.setSpeechEnhancement(true);
    EXPECT_TRUE(sound.nightMode()) << "shown at once";
    ASSERT_TRUE(waitUntil([&] { return await(soundbar.read()) == SonosKit::RoomSound{10, 0, false, true, true}; }));

    // Changed in another controller: the player's event brings it.
    await(soundbar.setTreble(-3));
    await(soundbar.setEQ(SonosKit::EQType::nightMode, false));
    EXPECT_TRUE(waitUntil([&] { return sound.treble() == -3 && !sound.nightMode(); }));

    sound.reset();
    EXPECT_TRUE(sound.bass() == 0 && sound.treble() == 0 && sound.loudness()) << "shown at once";
    ASSERT_TRUE(waitUntil([&] { return await(soundbar.read(false)) == SonosKit::RoomSound{0, 0, true, {}, {}}; }));

    // Refused: the status line says so and the slider has the player's
    // value back.
    household.server(household.addressOfRoom(QStringLiteral("Living Room")))
        .inject(QStringLiteral("SetTreble"), {.answer = playersim::soapFault(402), .remaining = 1});
    sound.commitTreble(4);
    EXPECT_EQ(sound.treble(), 4);
    EXPECT_TRUE(waitUntil([&] { return sound.treble() == 0 && !store->household().statusMessage().isEmpty(); }));

    // Keys pressed, then the page closed at once: the player still ends on
    // the last; the page's subscription ends, and it never had a say in
    // how the group is kept current.
    sound.commitBass(1);
    sound.commitBass(2);
    sound.commitBass(3);
    sound.close();
    EXPECT_TRUE(waitUntil([&] { return await(soundbar.read(false)).bass == 3; }));
    EXPECT_TRUE(waitUntil([&] { return household.subscriptionCount() == groupSubscriptions; }));
    EXPECT_EQ(flowing.count(), 0);

    // A member of the selected group without the home-theatre types: no
    // switch for them, nothing sent for them, and asked for them once.
    const QString office = storetest::roomID(*store, QStringLiteral("Office"));
    household.log()->clear();
    for (int opening = 0; opening < 2; ++opening) {
        sound.open(office);
        ASSERT_TRUE(waitUntil([&] { return !sound.isLoading(); }));
        if (opening == 0)
            sound.close();
    }
    EXPECT_FALSE(sound.hasNightMode() || sound.hasSpeechEnhancement());
    EXPECT_EQ(callCount(household, QStringLiteral("GetEQ")), 2);
    sound.setNightMode(true);
    EXPECT_EQ(callCount(household, QStringLiteral("SetEQ")), 0);
    await(RoomSoundControl(*store->rooms().device(office)).setBass(-5));
    EXPECT_TRUE(waitUntil([&] { return sound.bass() == -5; }));
    EXPECT_FALSE(sound.hasNightMode());

    // The panel closing closes the page.
    store->menuClosed();
    EXPECT_FALSE(sound.isOpen());
}
