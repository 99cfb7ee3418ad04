// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SharedHousehold.h"

#include <SonosKit/GroupController.h>
#include <SonosKit/ZoneTopology.h>
#include <playersim/Household.h>
#include <playersim/SoapMessages.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace SonosKit;
using namespace std::chrono_literals;
using playersim::Household;

namespace {

// Each test has a household of its own: a stalled answer holds its player's
// server for minutes.
class GroupControllerState : public ::testing::Test
{
protected:
    Household household = testsupport::startedHousehold(
        Household::defaultHousehold(testsupport::firstAddress(testsupport::Suite::GroupControllerState)));
    ZoneGroup groupOf(const QString &room) const { return testsupport::groupOf(household, room); }
};

// From now on `server` answers `action` with `arguments` and nothing else.
void answerWith(playersim::SimServer &server, const QString &action, const playersim::Arguments &arguments,
    SOAPClient::Service service = SOAPClient::Service::avTransport)
{
    server.inject(action, {.answer = playersim::soapResponse(SOAPClient::urn(service), action, arguments)});
}

const QString salon = QStringLiteral("Salon Café");

} // namespace

// A station's title from its media's metadata and never an artist from it
// is read end to end by zonescout's control test.
TEST_F(GroupControllerState, OddAnswersGiveAbsentFieldsNotFailures)
{
    const GroupController controller(groupOf(QStringLiteral("Büro 🎧")));
    const QString coordinator = controller.group().coordinator.host;
    auto &server = household.server(coordinator);
    answerWith(server, QStringLiteral("GetTransportInfo"), {{"CurrentTransportState", "PAUSED"}});
    answerWith(server, QStringLiteral("GetPositionInfo"),
        {{"TrackMetaData", "no markup at all &amp; nothing to recover"}, {"RelTime", "0:03:07"}, {"TrackDuration", "soon"}});
    answerWith(server, QStringLiteral("GetMediaInfo"),
        {{"CurrentURIMetaData",
            "<DIDL-Lite><item id=\"m\"><title>From the media</title>"
            "<albumArtURI>https://art.example/x.jpg</albumArtURI></item></DIDL-Lite>"}});
    answerWith(server, QStringLiteral("GetMute"), {{"CurrentMute", "true"}}, SOAPClient::Service::renderingControl);
    // A coordinator without the group's volume: the members' average, where
    // one member reporting no volume at all counts as 0.
    server.inject(QStringLiteral("GetGroupVolume"), {.answer = playersim::soapFault(401)});
    answerWith(household.server(controller.group().members[1].host), QStringLiteral("GetVolume"), {{"CurrentVolume", ""}},
        SOAPClient::Service::renderingControl);
    household.setVolume(controller.group().members[0].host, 10);
    household.setVolume(controller.group().members[2].host, 25);

    const PlaybackState state = testsupport::await(controller.state());
    EXPECT_EQ(state.transportState, TransportState::stopped);
    EXPECT_EQ(state.title, u"From the media");
    EXPECT_EQ(state.artist, std::nullopt);
    EXPECT_EQ(state.albumArtURI, u"https://art.example/x.jpg");
    EXPECT_EQ(state.positionSeconds, 187);
    EXPECT_EQ(state.durationSeconds, std::nullopt);
    EXPECT_EQ(state.volume, (10 + 0 + 25) / 3);
    EXPECT_FALSE(state.isMuted);
}

// Each answer is held back a while, so that the order of the requests shows.
TEST_F(GroupControllerState, QueueTrackWithRelativeArtFromRequestsThatOverlap)
{
    const GroupController controller(groupOf(salon));
    const QString coordinator = controller.group().coordinator.host;
    testsupport::await(controller.playQueueTrack(0));
    for (const char *action : {"GetTransportInfo", "GetPositionInfo", "GetMediaInfo", "GetMute"})
        household.server(coordinator).inject(QString::fromLatin1(action), {.delay = 300ms});
    // The players' own group volume, whatever the members' average (28).
    household.server(coordinator)
        .inject(QStringLiteral("GetGroupVolume"),
            {.delay = 300ms,
                .answer = playersim::soapResponse(SOAPClient::urn(SOAPClient::Service::groupRenderingControl),
                    QStringLiteral("GetGroupVolume"), {{"CurrentVolume", "77"}})});
    household.log()->clear();

    const PlaybackState state = testsupport::await(controller.state());
    EXPECT_EQ(state.title, household.queueTitles(coordinator).first());
    EXPECT_TRUE(state.artist.has_value());
    EXPECT_TRUE(state.album.has_value());
    ASSERT_TRUE(state.albumArtURI.has_value());
    EXPECT_TRUE(state.albumArtURI->startsWith(QStringLiteral("http://") + coordinator + QStringLiteral(":1400/getaa?")))
        << state.albumArtURI->toStdString();
    EXPECT_TRUE(state.durationSeconds.has_value());
    EXPECT_EQ(state.volume, 77);
    EXPECT_FALSE(state.isMuted);

    // The five reads go to the coordinator alone, and overlap.
    const auto requests = household.log()->all();
    ASSERT_EQ(requests.size(), 5u);
    const auto firstAnswer = std::min_element(requests.begin(), requests.end(), [](const auto &a, const auto &b) {
        return a.answered < b.answered;
    })->answered;
    for (const auto &request : requests) {
        EXPECT_EQ(request.player, coordinator);
        EXPECT_LT(request.received, firstAnswer)
            << request.call.action.toStdString() << " started only after another was answered";
    }
}

// A refused group volume read is no missing service: no member is asked in
// its place.
TEST_F(GroupControllerState, AFailingVolumeReadFailsTheCallAndStopsTheRest)
{
    const GroupController controller(groupOf(salon));
    const QString coordinator = controller.group().coordinator.host;
    // The refusal comes once every read is out; the mute read would hang far
    // beyond the call, and the failure must not wait for it.
    household.server(coordinator)
        .inject(QStringLiteral("GetGroupVolume"),
            {.delay = 200ms, .answer = playersim::soapFault(402, QStringLiteral("Invalid Args"))});
    household.server(coordinator).inject(QStringLiteral("GetMute"), {.stallAfterBytes = 0});

    const auto started = std::chrono::steady_clock::now();
    const std::optional<SonosError> error = testsupport::failureOf<SonosError>(controller.state(), 5s);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), SonosError::Kind::upnpFault);
    EXPECT_EQ(error->action(), u"GetGroupVolume");
    EXPECT_EQ(error->code(), 402);
    // Well inside the six-second request timeout: the stalled read was aborted.
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
    EXPECT_EQ(household.log()->calls(QStringLiteral("GetMute")).size(), 1u);
    EXPECT_TRUE(household.log()->calls(QStringLiteral("GetVolume")).empty());
}

TEST_F(GroupControllerState, CancellingTheCallerAbortsEveryRequest)
{
    const GroupController controller(groupOf(salon));
    household.server(controller.group().coordinator.host).inject(QString(), {.stallAfterBytes = 0});
    CancellationToken cancel;
    QTimer::singleShot(100ms, [cancel] { cancel.cancel(); });
    const auto started = std::chrono::steady_clock::now();
    const std::optional<SonosError> error = testsupport::failureOf<SonosError>(controller.state(cancel), 5s);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), SonosError::Kind::network);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
}
