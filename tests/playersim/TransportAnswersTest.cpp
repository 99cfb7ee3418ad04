// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"
#include "PlayerSimTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace playersimtest;
using playersim::Household;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerSimTransport;

const SonosKit::SOAPClient::Arguments instance{{"InstanceID", "0"}};
const SonosKit::SOAPClient::Arguments play{{"InstanceID", "0"}, {"Speed", "1"}};

QString transportState(const QString &address)
{
    return text(call(address, Service::avTransport, QStringLiteral("GetTransportInfo"), instance),
        QStringLiteral("CurrentTransportState"));
}

SonosKit::XMLNode positionInfo(const QString &address)
{
    return call(address, Service::avTransport, QStringLiteral("GetPositionInfo"), instance);
}

} // namespace

// The position moving while playing and held while paused is read through the
// client by the store's polling and events tests; here, the states and
// refusals the client never provokes.
TEST(TransportAnswers, PlayTransitionsThenPlaysAndTheQueueMovesOn)
{
    Household household = startedHousehold(Household::fromJson(smallHouseholdJson(1, 3), firstAddress(block)));
    const QString alpha = household.addresses()[0];
    EXPECT_EQ(transportState(alpha), QStringLiteral("STOPPED"));

    call(alpha, Service::avTransport, QStringLiteral("Play"), play);
    EXPECT_EQ(transportState(alpha), QStringLiteral("TRANSITIONING"));
    EXPECT_TRUE(waitUntil([&] { return transportState(alpha) == QStringLiteral("PLAYING"); }));
    // The member reports its group's state too.
    EXPECT_EQ(transportState(household.addresses()[1]), QStringLiteral("PLAYING"));

    EXPECT_EQ(text(positionInfo(alpha), QStringLiteral("TrackDuration")), QStringLiteral("0:00:01"));

    // One-second tracks: the next follows by itself, and the end stops.
    EXPECT_TRUE(waitUntil([&] { return text(positionInfo(alpha), QStringLiteral("Track")) == QStringLiteral("2"); }));
    EXPECT_TRUE(waitUntil([&] { return transportState(alpha) == QStringLiteral("STOPPED"); }));
    EXPECT_EQ(household.trackNumber(alpha), 1);

    call(alpha, Service::avTransport, QStringLiteral("Seek"), {{"InstanceID", "0"}, {"Unit", "TRACK_NR"}, {"Target", "3"}});
    EXPECT_EQ(text(positionInfo(alpha), QStringLiteral("Track")), QStringLiteral("3"));
    EXPECT_EQ(faultCode(alpha, Service::avTransport, QStringLiteral("Seek"),
                  {{"InstanceID", "0"}, {"Unit", "TRACK_NR"}, {"Target", "4"}}),
        711);
    EXPECT_EQ(faultCode(alpha, Service::avTransport, QStringLiteral("Seek"),
                  {{"InstanceID", "0"}, {"Unit", "REL_TIME"}, {"Target", "soon"}}),
        402);
    EXPECT_EQ(faultCode(alpha, Service::avTransport, QStringLiteral("Next"), instance), 711);
}

TEST(TransportAnswers, RefusalsAsPlayersGiveThem)
{
    Household household = startedHousehold(Household::defaultHousehold(firstAddress(block)));
    const auto favorites = household.favorites();
    const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
    const QString kitchen = household.addressOfRoom(QStringLiteral("Küche"));
    const QString office = household.addressOfRoom(QStringLiteral("Büro 🎧"));

    // Nothing loaded, then an empty queue.
    EXPECT_EQ(transportState(office), QStringLiteral("NO_MEDIA_PRESENT"));
    EXPECT_EQ(faultCode(office, Service::avTransport, QStringLiteral("Play"), play), 701);
    call(office, Service::avTransport, QStringLiteral("SetAVTransportURI"),
        {{"InstanceID", "0"}, {"CurrentURI", QStringLiteral("x-rincon-queue:%1#0").arg(household.uuidOf(office))},
            {"CurrentURIMetaData", ""}});
    EXPECT_EQ(faultCode(office, Service::avTransport, QStringLiteral("Play"), play), 701);

    // A grouped member refuses transport commands.
    for (const QString action : {"Play", "Pause", "Next", "Previous", "Stop", "ConfigureSleepTimer"})
        EXPECT_EQ(faultCode(kitchen, Service::avTransport, action, action == u"Play" ? play : instance), 800)
            << action.toStdString();

    // Containers go through the queue.
    const auto weekly = std::find_if(
        favorites.cbegin(), favorites.cend(), [](const auto &f) { return f.title == u"Discover Weekly"; });
    ASSERT_NE(weekly, favorites.cend());
    EXPECT_EQ(faultCode(salon, Service::avTransport, QStringLiteral("SetAVTransportURI"),
                  {{"InstanceID", "0"}, {"CurrentURI", weekly->uri}, {"CurrentURIMetaData", ""}}),
        714);
    // Inputs the group cannot play: a player without a line-in, a soundbar's
    // TV on a group it does not lead, a TV's URI without its end.
    const auto setInput = [&](const QString &at, const QString &uri) {
        return faultCode(at, Service::avTransport, QStringLiteral("SetAVTransportURI"),
            {{"InstanceID", "0"}, {"CurrentURI", uri}, {"CurrentURIMetaData", ""}});
    };
    EXPECT_EQ(setInput(salon, QStringLiteral("x-rincon-stream:") + household.uuidOf(salon)), 714);
    EXPECT_EQ(setInput(office, QStringLiteral("x-sonos-htastream:%1:spdif").arg(household.uuidOf(salon))), 714);
    EXPECT_EQ(setInput(salon, QStringLiteral("x-sonos-htastream:") + household.uuidOf(salon)), 402);
    EXPECT_EQ(faultCode(salon, Service::avTransport, QStringLiteral("Play"), {{"InstanceID", "7"}, {"Speed", "1"}}), 402);
    EXPECT_EQ(faultCode(salon, Service::avTransport, QStringLiteral("ConfigureSleepTimer"),
                  {{"InstanceID", "0"}, {"NewSleepTimerDuration", "0:30"}}),
        402);
}

// Running out: the group pauses, and the timer is gone under a new generation.
TEST(TransportAnswers, SleepTimerRunningOutPausesTheGroup)
{
    Household household = startedHousehold(Household::fromJson(smallHouseholdJson(60, 1), firstAddress(block)));
    const QString alpha = household.addresses()[0];
    call(alpha, Service::avTransport, QStringLiteral("Play"), play);
    call(alpha, Service::avTransport, QStringLiteral("ConfigureSleepTimer"),
        {{"InstanceID", "0"}, {"NewSleepTimerDuration", "00:00:01"}});
    EXPECT_TRUE(waitUntil([&] { return transportState(alpha) == QStringLiteral("PAUSED_PLAYBACK"); }));
    const auto timer = call(alpha, Service::avTransport, QStringLiteral("GetRemainingSleepTimerDuration"), instance);
    EXPECT_EQ(text(timer, QStringLiteral("RemainingSleepTimerDuration")), QString());
    EXPECT_EQ(text(timer, QStringLiteral("CurrentSleepTimerGeneration")), QStringLiteral("2"));
}
