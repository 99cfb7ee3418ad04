// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SharedHousehold.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/GroupController.h>
#include <SonosKit/RoomSound.h>
#include <SonosKit/ZoneTopology.h>
#include <playersim/Household.h>
#include <playersim/HouseholdGenerator.h>
#include <playersim/SoapMessages.h>

#include <gtest/gtest.h>

using namespace SonosKit;
using playersim::Arguments;
using playersim::Household;

namespace {

using GroupControllerCommands = testsupport::SharedHousehold<testsupport::Suite::GroupControllerCommands>;

// (player, action, arguments) of every SOAP call since the log was cleared.
struct Sent {
    QString player;
    QString action;
    Arguments arguments;
    bool operator==(const Sent &) const = default;
};

void PrintTo(const Sent &sent, std::ostream *out)
{
    *out << sent.player.toStdString() << ' ' << sent.action.toStdString() << '(';
    for (const auto &[name, value] : sent.arguments)
        *out << name.toStdString() << '=' << value.left(60).toStdString() << ' ';
    *out << ')';
}

std::vector<Sent> sent(const Household &household)
{
    std::vector<Sent> result;
    for (const auto &call : household.log()->calls())
        result.push_back({call.player, call.action, call.arguments});
    return result;
}

// Every request to this player is accepted without doing anything, so that
// the requests themselves can be read off the log.
void acceptEverything(Household &household, const QString &address)
{
    household.server(address).inject(
        QString(), {.answer = playersim::soapResponse(SOAPClient::urn(SOAPClient::Service::avTransport), "Accepted", {})});
}

void answerTransportState(Household &household, const QString &address, const QString &state)
{
    household.server(address).inject(QStringLiteral("GetTransportInfo"),
        {.answer = playersim::soapResponse(SOAPClient::urn(SOAPClient::Service::avTransport), "GetTransportInfo",
             state.isNull() ? Arguments{} : Arguments{{"CurrentTransportState", state}}),
            .remaining = 1});
}

ContentItem favorite(const ZoneGroup &group, const QString &title)
{
    for (const ContentItem &item : testsupport::await(ContentDirectory(group.coordinator.host).favorites()))
        if (item.title == title)
            return item;
    throw std::runtime_error("no such favorite");
}

const Arguments instance{{"InstanceID", "0"}};
const Arguments play{{"InstanceID", "0"}, {"Speed", "1"}};

Arguments master(const QString &name, const QString &value)
{
    return {{"InstanceID", "0"}, {"Channel", "Master"}, {name, value}};
}

} // namespace

// Play, pause, next and seeking reach the coordinator through the store's and
// the views' tests (a seek to 83 s reads back as 1:23); here, what the
// library decides on its own.
TEST_F(GroupControllerCommands, ToggleActsOnTheStateItReads)
{
    const GroupController controller(groupOf(QStringLiteral("寝室")));
    const QString c = controller.group().coordinator.host;
    const std::vector<std::pair<QString, QString>> cases{{"TRANSITIONING", "Pause"}, {"PLAYING", "Pause"},
        {"NO_MEDIA_PRESENT", "Play"}, {"PAUSED_PLAYBACK", "Play"}, {QString(), "Play"}, {"playing", "Play"}};
    acceptEverything(household, c);
    for (const auto &[state, command] : cases) {
        answerTransportState(household, c, state);
        household.log()->clear();
        testsupport::await(controller.togglePlayPause());
        const auto requests = sent(household);
        ASSERT_EQ(requests.size(), 2u) << state.toStdString();
        EXPECT_EQ(requests[0].action, u"GetTransportInfo");
        EXPECT_EQ(requests[1], (Sent{c, command, command == u"Play" ? play : instance})) << state.toStdString();
    }

    // A failed read sends nothing.
    household.server(c).clearFaults();
    household.server(c).inject(QStringLiteral("GetTransportInfo"), {.answer = playersim::soapFault(501)});
    household.log()->clear();
    EXPECT_TRUE(testsupport::failureOf<SonosError>(controller.togglePlayPause()));
    EXPECT_EQ(sent(household).size(), 1u);
}

TEST_F(GroupControllerCommands, VolumeAndMuteVisitEveryMemberInTurn)
{
    const GroupController controller(groupOf(QStringLiteral("Büro 🎧")));
    const QList<SonosDevice> members = controller.group().members;
    ASSERT_EQ(members.size(), 3);
    household.setVolume(members[0].host, 10);
    household.setVolume(members[1].host, 20);
    household.setVolume(members[2].host, 25);
    EXPECT_EQ(testsupport::await(controller.volume()), 18);

    // Levels are held to 0 to 100 before they are sent to every member in
    // turn (each command's effect is zonescout's control test).
    household.log()->clear();
    testsupport::await(controller.setVolume(150));
    testsupport::await(controller.setVolume(-3));
    std::vector<Sent> expected;
    for (const QString value : {"100", "0"})
        for (const SonosDevice &member : members)
            expected.push_back({member.host, "SetVolume", master("DesiredVolume", value)});
    EXPECT_EQ(sent(household), expected);

    // The member loop stops at the first refusal: the third is never asked.
    household.server(members[1].host).inject(QStringLiteral("SetVolume"), {.answer = playersim::soapFault(402)});
    household.log()->clear();
    const auto error = testsupport::failureOf<SonosError>(controller.setVolume(33));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), 402);
    EXPECT_EQ(household.volume(members[0].host), 33);
    EXPECT_EQ(sent(household).size(), 2u);
}

// With the group's volume the players scale the rooms (the store's rooms test
// reads where they end); without it the library does the same, room by room.
TEST_F(GroupControllerCommands, BalancedVolumeKeepsTheRoomsApartWithOrWithoutTheGroupService)
{
    const GroupController controller(groupOf(QStringLiteral("Salon Café")));
    ASSERT_EQ(controller.group().members.size(), 2);
    const QString c = controller.group().members[0].host;
    const QString k = controller.group().members[1].host;
    const auto balancedTo = [&](int level) {
        household.setVolume(c, 30);
        household.setVolume(k, 45);
        household.log()->clear();
        testsupport::await(controller.setBalancedVolume(level));
        return std::pair(household.volume(c), household.volume(k));
    };

    const auto byThePlayers = balancedTo(60);
    EXPECT_EQ(sent(household),
        (std::vector<Sent>{
            {c, "SnapshotGroupVolume", instance}, {c, "SetGroupVolume", {{"InstanceID", "0"}, {"DesiredVolume", "60"}}}}));
    balancedTo(150);
    EXPECT_EQ(household.log()->calls(QStringLiteral("SetGroupVolume")).back().argument(QStringLiteral("DesiredVolume")), u"100");

    // A player without the action (401) or without the service's address
    // (404, an error page): each room is read, scaled and written.
    const playersim::Answer missingAction = playersim::soapFault(401);
    const playersim::Answer missingAddress{404, "<html><body><h1>404 Not Found</h1></body></html>", "text/html", {}};
    for (const playersim::Answer &missing : {missingAction, missingAddress}) {
        household.server(c).inject(QStringLiteral("SnapshotGroupVolume"), playersim::Fault{.answer = missing});
        EXPECT_EQ(balancedTo(60), byThePlayers) << missing.status;
        EXPECT_EQ(household.log()->calls(QStringLiteral("SetVolume")).size(), 2u);
        EXPECT_TRUE(household.log()->calls(QStringLiteral("SetGroupVolume")).empty());
    }

    // A refusal is no missing service: the call fails and no room changes.
    household.server(c).inject(QStringLiteral("SnapshotGroupVolume"), playersim::Fault{.answer = playersim::soapFault(800)});
    const auto refused = testsupport::failureOf<SonosError>(controller.setBalancedVolume(10));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->code(), 800);
    EXPECT_EQ(std::pair(household.volume(c), household.volume(k)), byThePlayers);
}

TEST_F(GroupControllerCommands, PlayingFavoritesOfEachKind)
{
    const ZoneGroup group = groupOf(QStringLiteral("Salon Café"));
    const GroupController controller(group);
    const QString c = group.coordinator.host;

    // A browse shortcut: refused before anything is sent.
    const ContentItem shortcut = favorite(group, QStringLiteral("Spotify: Made For You"));
    household.log()->clear();
    const auto notPlayable = testsupport::failureOf<SonosError>(controller.playItem(shortcut));
    ASSERT_TRUE(notPlayable);
    EXPECT_EQ(notPlayable->kind(), SonosError::Kind::notPlayable);
    EXPECT_EQ(notPlayable->title(), shortcut.title);
    EXPECT_TRUE(testsupport::failureOf<SonosError>(controller.loadIntoQueue(shortcut)));
    EXPECT_TRUE(sent(household).empty());

    // A station plays with the metadata it came with: zonescout's control
    // test reads its title back. A streaming playlist: the queue replaced by
    // its tracks and played from the start.
    const ContentItem playlist = favorite(group, QStringLiteral("Discover Weekly"));
    ASSERT_TRUE(playlist.isContainer);
    testsupport::await(controller.playItem(playlist));
    EXPECT_EQ(household.queueTitles(c).size(), 30);
    EXPECT_EQ(household.trackNumber(c), 1);
    EXPECT_NE(household.transportState(c), u"STOPPED");
}

// Loading replaces the queue with the whole playlist and answers with the
// queue as browsed (paging and its limit are ContentDirectoryTest's), without
// starting anything.
TEST_F(GroupControllerCommands, LongPlaylistsLoadWholeIntoTheQueue)
{
    playersim::GeneratorOptions options;
    options.players = 1;
    options.favorites = 0;
    options.playlistTracks = 1200;
    options.firstAddress = testsupport::firstAddress(testsupport::Suite::GroupControllerCommands);
    Household hall = testsupport::startedHousehold(Household::generate(options));
    const GroupController controller(testsupport::await(ZoneTopology(hall.addresses().first()).groups()).first());
    const ContentItem longest = testsupport::await(ContentDirectory(controller.group().coordinator.host).playlists()).first();

    hall.log()->clear();
    const QList<ContentItem> loaded = testsupport::await(controller.loadIntoQueue(longest));
    const QStringList queue = hall.queueTitles(controller.group().coordinator.host);
    ASSERT_EQ(loaded.size(), 1000);
    EXPECT_EQ(hall.log()->calls(QStringLiteral("Browse")).front().argument(QStringLiteral("ObjectID")), u"Q:0");
    EXPECT_EQ(queue.size(), 1200);
    // Page after page, each from where the last ended.
    EXPECT_EQ(loaded.last().title, queue.at(999));
    EXPECT_TRUE(hall.log()->calls(QStringLiteral("Play")).empty());
    EXPECT_TRUE(hall.log()->calls(QStringLiteral("SetAVTransportURI")).empty());
}

// What cannot be set is refused before it is sent (a member's refusal and a
// malformed length are TransportAnswersTest's); a garbled time left is no timer.
TEST_F(GroupControllerCommands, SleepTimerIsSetReadAndCancelledAtTheCoordinator)
{
    using namespace std::chrono_literals;
    const GroupController controller(groupOf(QStringLiteral("Salon Café")));
    const quint32 before = testsupport::await(controller.sleepTimer()).generation;
    testsupport::await(controller.configureSleepTimer(30min));
    const SleepTimer set = testsupport::await(controller.sleepTimer());
    EXPECT_TRUE(set.remaining > 29min + 55s && set.remaining <= 30min);
    EXPECT_EQ(set.generation, before + 1);

    household.log()->clear();
    for (const std::chrono::seconds length : {std::chrono::seconds(24h), -1s})
        EXPECT_EQ(testsupport::failureOf<SonosError>(controller.configureSleepTimer(length))
                      .value_or(SonosError::noPlayersFound())
                      .kind(),
            SonosError::Kind::sleepTimerOutOfRange);
    EXPECT_TRUE(sent(household).empty());

    household.server(controller.group().coordinator.host)
        .inject(QStringLiteral("GetRemainingSleepTimerDuration"),
            {.answer = playersim::soapResponse(SOAPClient::urn(SOAPClient::Service::avTransport),
                 "GetRemainingSleepTimerDuration",
                 {{"RemainingSleepTimerDuration", "0:75:00"}, {"CurrentSleepTimerGeneration", "9"}}),
                .remaining = 1});
    EXPECT_EQ(testsupport::await(controller.sleepTimer()), (SleepTimer{std::nullopt, 9}));

    testsupport::await(controller.configureSleepTimer(0s));
    EXPECT_EQ(testsupport::await(controller.sleepTimer()), (SleepTimer{std::nullopt, before + 2}));
}

TEST_F(GroupControllerCommands, RoomSoundOfASoundbarAndOfAPlayerWithoutTheHomeTheatreTypes)
{
    const SonosDevice salon = *memberForRoom(groupOf(QStringLiteral("Salon Café")), QStringLiteral("Salon Café"));
    const SonosDevice kitchen = *memberForRoom(groupOf(QStringLiteral("Küche")), QStringLiteral("Küche"));
    const RoomSoundControl soundbar(salon);
    const RoomSoundControl plain(kitchen);

    // Every type is probed; a player's fault hides it and fails nothing.
    EXPECT_EQ(testsupport::await(soundbar.read()), (RoomSound{0, 0, true, false, false}));
    EXPECT_EQ(testsupport::await(plain.read()), (RoomSound{0, 0, true, std::nullopt, std::nullopt}));
    EXPECT_EQ(household.log()->calls(QStringLiteral("GetEQ")).size(), 4U);

    // Levels beyond the scale are held to it before they are sent.
    testsupport::await(soundbar.setBass(15));
    testsupport::await(soundbar.setTreble(-4));
    testsupport::await(soundbar.setLoudness(false));
    testsupport::await(soundbar.setEQ(EQType::nightMode, true));
    testsupport::await(soundbar.setEQ(EQType::speechEnhancement, true));
    EXPECT_EQ(testsupport::await(soundbar.read()), (RoomSound{10, -4, false, true, true}));
    // A busy soundbar's fault says nothing about its types: the read fails.
    household.server(salon.host).inject(QStringLiteral("GetEQ"), {.answer = playersim::soapFault(501), .remaining = 1});
    EXPECT_THROW(testsupport::await(soundbar.read()), SonosError);
    testsupport::await(soundbar.reset());
    EXPECT_EQ(testsupport::await(soundbar.read(false)), (RoomSound{0, 0, true, std::nullopt, std::nullopt}));
    // A confused player's levels: held to the scale, or flat when no number.
    const QString urn = SOAPClient::urn(SOAPClient::Service::renderingControl);
    household.server(salon.host)
        .inject(QStringLiteral("GetBass"),
            {.answer = playersim::soapResponse(urn, "GetBass", {{"CurrentBass", "12345"}}), .remaining = 1});
    household.server(salon.host)
        .inject(QStringLiteral("GetTreble"),
            {.answer = playersim::soapResponse(urn, "GetTreble", {{"CurrentTreble", "-3; DROP"}}), .remaining = 1});
    EXPECT_EQ(testsupport::await(soundbar.read(false)), (RoomSound{10, 0, true, std::nullopt, std::nullopt}));

    // Setting a type the player lacks is its refusal; a player that does
    // not answer GetEQ fails the read rather than hiding the control.
    EXPECT_THROW(testsupport::await(plain.setEQ(EQType::nightMode, true)), SonosError);
    household.server(kitchen.host).inject(QStringLiteral("GetEQ"), {.reset = true});
    EXPECT_THROW(testsupport::await(plain.read()), SonosError);
}
