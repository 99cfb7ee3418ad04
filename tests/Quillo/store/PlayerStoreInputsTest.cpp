// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The default household's line-in and TV through the store: which a group
// is offered, playing one, what shows while it plays, the transport buttons
// it allows, and a refusal that changes nothing.
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

using namespace storetest;
using testsupport::Suite;
using testsupport::waitUntil;

namespace {

QStringList inputNames(const PlayerStore &store)
{
    QStringList names;
    for (const InputRecord &input : store.inputs().items())
        names.append(input.name);
    return names;
}

// With the coordinator's events telling what the source allows, and with
// the reads that stand in for them.
class PlayerStoreInputs : public ::testing::TestWithParam<bool>
{
};

} // namespace

TEST_P(PlayerStoreInputs, OfferedPerGroupPlayedShownAndRefused)
{
    playersim::Household household = testsupport::startedHousehold(
        playersim::Household::defaultHousehold(testsupport::firstAddress(Suite::PlayerStoreInputs)));
    StoreRig rig(household);
    rig.events = GetParam();
    rig.eventAddress = listenAddress(Suite::PlayerStoreInputs);
    auto store = rig.makeStore();
    testListModels(*store);
    testsupport::await(store->refreshAll());
    ASSERT_TRUE(waitUntil([&] { return store->liveUpdates().isFlowing() == GetParam(); }));
    const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
    const QString bedroom = household.addressOfRoom(QStringLiteral("寝室"));
    const TransportAbilities &abilities = store->transportAbilities();

    // The soundbar's TV for the group it leads; the Five's line-in for any.
    selectGroupLedBy(*store, QStringLiteral("Salon Café"));
    ASSERT_TRUE(waitUntil([&] { return inputNames(*store).size() == 2; }));
    EXPECT_EQ(inputNames(*store), (QStringList{QStringLiteral("TV (Salon Café)"), QStringLiteral("Line-In (Büro 🎧)")}));
    selectGroupLedBy(*store, QStringLiteral("寝室"));
    EXPECT_EQ(inputNames(*store), QStringList{QStringLiteral("Line-In (Büro 🎧)")});

    // Another room's line-in (zonescout's test checks its URI), shown
    // by kind and room; it plays and pauses, never skips.
    store->inputs().play(0);
    ASSERT_TRUE(waitUntil([&] { return store->nowPlaying().playbackRecord().inputKind() == u"lineIn"; }));
    const PlaybackRecord lineIn = store->nowPlaying().playbackRecord();
    EXPECT_EQ(std::pair(lineIn.title(), lineIn.artist()), std::pair(QStringLiteral("Line-In"), QStringLiteral("Büro 🎧")));
    EXPECT_TRUE(lineIn.albumArtURI().isEmpty());
    ASSERT_TRUE(waitUntil([&] { return !abilities.canNext(); }));
    EXPECT_TRUE(abilities.canPause() && abilities.canStop());
    EXPECT_FALSE(abilities.canPrevious() || abilities.canSeek());

    // The TV allows nothing while it plays; Play anyway is refused, says so
    // in the status line and changes nothing.
    selectGroupLedBy(*store, QStringLiteral("Salon Café"));
    ASSERT_TRUE(waitUntil([&] { return inputNames(*store).size() == 2; }));
    store->inputs().play(0);
    ASSERT_TRUE(waitUntil(
        [&] { return store->nowPlaying().playbackRecord().title() == u"TV" && !abilities.canPause() && !abilities.canPlay(); }));
    EXPECT_EQ(store->nowPlaying().playbackRecord().artist(), QStringLiteral("Salon Café"));
    QStringList messages;
    QObject::connect(&store->household(), &Household::statusChanged, [&] {
        if (store->household().statusKind() == StoreStatus::Kind::Failed)
            messages.append(store->household().statusMessage());
    });
    store->nowPlaying().play();
    ASSERT_TRUE(waitUntil([&] { return !messages.isEmpty(); }));
    EXPECT_TRUE(messages.front().contains(QStringLiteral("701"))) << messages.front().toStdString();
    EXPECT_EQ(household.currentURI(salon), QStringLiteral("x-sonos-htastream:%1:spdif").arg(household.uuidOf(salon)));
    EXPECT_NE(household.transportState(salon), u"STOPPED");
    ASSERT_TRUE(waitUntil([&] { return store->household().statusKind() == StoreStatus::Kind::Ready; }));
    EXPECT_EQ(store->nowPlaying().playbackRecord().title(), QStringLiteral("TV"));
    EXPECT_TRUE(store->nowPlaying().isPlaying());
    EXPECT_FALSE(abilities.canPlay());

    // A member joining changes the group, not what it plays: the buttons
    // stay. The TV played again is no failure, though soundbars answer Play
    // on the TV they play by themselves with a fault.
    const qsizetype members = store->household().selectedGroup()->members.size();
    ASSERT_TRUE(household.join(bedroom, salon));
    testsupport::await(store->refreshAll());
    ASSERT_GT(store->household().selectedGroup()->members.size(), members);
    EXPECT_FALSE(abilities.canPlay() || abilities.canPause());
    household.log()->clear();
    household.server(salon).inject(QStringLiteral("Play"), playersim::Fault{.answer = playersim::soapFault(701), .remaining = 1});
    store->inputs().play(0);
    ASSERT_TRUE(waitUntil([&] { return callCount(household, QStringLiteral("Play")) == 1; }));
    storetest::serveFor(std::chrono::milliseconds(200));
    EXPECT_EQ(messages.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PlayerStoreInputs, ::testing::Bool(), [](const auto &info) { return info.param ? "Events" : "Reads"; });
