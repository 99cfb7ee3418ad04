// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The way of the events proven while it stays quiet: events that stop after
// they flowed, a coordinator or a member that restarts and forgets its
// subscriptions, and one that stops answering, each noticed at its proof.

#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/ZoneTopology.h"
#include "SonosKit/events/EventListener.h"
#include "SonosKit/events/EventSubscription.h"
#include "SonosKit/events/GroupEvents.h"
#include "playersim/Household.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace SonosKit;
using playersim::Household;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PathProof;
constexpr std::chrono::milliseconds proofInterval{300};
// A proof that gets no first event ends after firstEventLimit; one that
// gets no answer after the request's limit.
constexpr auto shutWithin = proofInterval + EventSubscription::firstEventLimit + std::chrono::seconds(2);
constexpr auto unansweredWithin = proofInterval + std::chrono::milliseconds(qint64(EventSubscription::requestTimeout * 1000))
    + std::chrono::seconds(2);

bool allIn(const GroupEvents &owner, GroupEvents::State state)
{
    const QList<GroupEvents::Subscribed> all = owner.subscriptions();
    return !all.isEmpty()
        && std::all_of(all.cbegin(), all.cend(), [&](const GroupEvents::Subscribed &s) { return s.state == state; });
}

std::optional<TransportState> lastTransportState(const QList<ServiceEvent> &events)
{
    for (auto it = events.crbegin(); it != events.crend(); ++it)
        if (const auto *transport = std::get_if<TransportEvent>(&*it); transport && transport->transportState)
            return transport->transportState;
    return std::nullopt;
}

std::optional<quint32> lastTimerGeneration(const QList<ServiceEvent> &events)
{
    for (auto it = events.crbegin(); it != events.crend(); ++it)
        if (const auto *transport = std::get_if<TransportEvent>(&*it); transport && transport->sleepTimerGeneration)
            return transport->sleepTimerGeneration;
    return std::nullopt;
}

} // namespace

TEST(PathProof, EventsThatStopAreNoticedAndARestartOrASilentCoordinatorTooAtTheNextProof)
{
    Household household = testsupport::startedHousehold(Household::fromJson(
        R"({"players": [{"uuid": "RINCON_A01400", "room": "Alpha",
                         "queue": [{"title": "Long", "uri": "x-file-cifs://nas/long.flac", "duration": 600}]},
                        {"uuid": "RINCON_B01400", "room": "Beta"}],
            "groups": [{"coordinator": "RINCON_A01400", "members": ["RINCON_A01400", "RINCON_B01400"]}]})",
        testsupport::firstAddress(block)));
    EventListener listener;
    listener.listen(QHostAddress(testsupport::spareAddress(block, 250)));
    const QString alpha = household.addresses().first();
    const ZoneGroup group = testsupport::await(ZoneTopology(alpha).groups()).first();
    testsupport::await(GroupController(group).play());

    GroupEvents owner(&listener);
    QList<ServiceEvent> events;
    int blocked = 0, lost = 0, failed = 0, shutProofs = 0;
    QObject::connect(&owner, &GroupEvents::eventReceived,
        [&](EventService, const QString &, const ServiceEvent &event) { events.append(event); });
    QObject::connect(&owner, &GroupEvents::blocked, [&] { ++blocked; });
    QObject::connect(&owner, &GroupEvents::lost, [&] { ++lost; });
    QObject::connect(&owner, &GroupEvents::failed, [&] { ++failed; });
    QObject::connect(&owner, &GroupEvents::proofMade, [&](const QString &, bool open) { shutProofs += !open; });
    owner.setProofInterval(proofInterval);
    testsupport::await(owner.follow(group));
    ASSERT_TRUE(waitUntil([&] { return allIn(owner, GroupEvents::State::receiving); }));
    ASSERT_TRUE(waitUntil([&] { return lastTransportState(events) == TransportState::playing; }));

    // Events stop after they flowed: the next proof finds the way shut and
    // every subscription that was receiving is blocked; the Queue, an
    // add-on, is not said apart (it is read again with the group).
    household.setDropNotifications(true);
    ASSERT_TRUE(waitUntil([&] { return allIn(owner, GroupEvents::State::blocked); }, shutWithin));
    EXPECT_EQ(blocked, 5);
    // A proof that still finds it shut says so again, for one more read.
    EXPECT_TRUE(waitUntil([&] { return blocked > 5; }, shutWithin));

    // The way opens: a proof gets through, and the blocked ones are retried.
    household.setDropNotifications(false);
    ASSERT_TRUE(waitUntil([&] { return allIn(owner, GroupEvents::State::receiving); }, shutWithin));

    // The coordinator restarts and forgets every subscription, then pauses
    // by another controller's hand: the next proof's full state shows it,
    // and the forgotten subscriptions are made afresh, with a full read.
    household.restartPlayer(alpha);
    EXPECT_EQ(household.subscriptionCount(), 1); // Beta's own
    const int lostBefore = lost;
    testsupport::await(GroupController(group).pause());
    EXPECT_TRUE(waitUntil([&] { return lastTransportState(events) == TransportState::paused; }, shutWithin));
    EXPECT_TRUE(waitUntil([&] { return lost >= lostBefore + 3 && allIn(owner, GroupEvents::State::receiving); }));
    // Again, and only a sleep timer set elsewhere meanwhile differs: that
    // shows too, and the subscriptions are made afresh.
    household.restartPlayer(alpha);
    const int lostBeforeTimer = lost;
    testsupport::await(GroupController(group).configureSleepTimer(std::chrono::minutes(30)));
    const quint32 generation = testsupport::await(GroupController(group).sleepTimer()).generation;
    EXPECT_TRUE(waitUntil([&] { return lastTimerGeneration(events) == generation; }, shutWithin));
    EXPECT_TRUE(waitUntil([&] { return lost >= lostBeforeTimer + 3 && allIn(owner, GroupEvents::State::receiving); }));

    // The coordinator is switched off: the next proof goes unanswered and
    // its subscriptions fail, so the owner reads and searches once.
    const int shutBefore = shutProofs;
    household.setSilent(alpha, true);
    // (A proof under way as it went silent may first find the way shut.)
    EXPECT_TRUE(waitUntil([&] { return failed >= 4; }, shutWithin + unansweredWithin));
    EXPECT_GT(shutProofs, shutBefore);
    household.setSilent(alpha, false);

    // A group gone from the list ends every subscription.
    testsupport::await(owner.follow(ZoneGroup{}));
    EXPECT_TRUE(owner.subscriptions().isEmpty());
}

TEST(PathProof, EachMemberIsProvenInTurnSoOneThatRestartedOrWentSilentIsNoticed)
{
    Household household = testsupport::startedHousehold(Household::fromJson(
        R"({"players": [{"uuid": "RINCON_A01400", "room": "Alpha"},
                        {"uuid": "RINCON_B01400", "room": "Beta", "volume": 30},
                        {"uuid": "RINCON_C01400", "room": "Gamma"}],
            "groups": [{"coordinator": "RINCON_A01400",
                        "members": ["RINCON_A01400", "RINCON_B01400", "RINCON_C01400"]}]})",
        testsupport::firstAddress(block)));
    EventListener listener;
    listener.listen(QHostAddress(testsupport::spareAddress(block, 250)));
    const QString beta = household.addressOfRoom(QStringLiteral("Beta"));
    const QString gamma = household.addressOfRoom(QStringLiteral("Gamma"));
    const ZoneGroup group = testsupport::await(ZoneTopology(household.addresses().first()).groups()).first();

    GroupEvents owner(&listener);
    std::optional<int> betaVolume;
    QList<std::pair<QString, EventService>> failed, lost;
    QObject::connect(&owner, &GroupEvents::eventReceived, [&](EventService, const QString &host, const ServiceEvent &event) {
        if (const auto *rendering = std::get_if<RenderingEvent>(&event); rendering && host == beta && rendering->volume)
            betaVolume = rendering->volume;
    });
    QObject::connect(&owner, &GroupEvents::failed, [&](const QString &host, EventService service) {
        failed.append({host, service});
    });
    QObject::connect(&owner, &GroupEvents::lost, [&](const QString &host, EventService service) {
        lost.append({host, service});
    });
    // The coordinator every interval, one of the two members halfway between.
    owner.setProofInterval(proofInterval);
    owner.setOtherProofEvery(1);
    constexpr auto eachMemberWithin = 3 * proofInterval + std::chrono::seconds(2);
    testsupport::await(owner.follow(group));
    ASSERT_TRUE(waitUntil([&] { return allIn(owner, GroupEvents::State::receiving) && betaVolume == 30; }));

    // A member restarts (a nightly update) and forgets its subscription;
    // then its volume is set elsewhere. Its next proof tells the owner, and
    // its subscription is made afresh, with a full read.
    household.restartPlayer(beta);
    household.setVolume(beta, 57);
    EXPECT_TRUE(waitUntil([&] { return betaVolume == 57; }, eachMemberWithin));
    EXPECT_TRUE(waitUntil([&] {
        return lost.contains(std::pair(beta, EventService::renderingControl)) && allIn(owner, GroupEvents::State::receiving);
    }));
    household.setVolume(beta, 12);
    EXPECT_TRUE(waitUntil([&] { return betaVolume == 12; }));

    // Another member is switched off: its proof goes unanswered, and its
    // subscription fails (the owner reads and searches), not the others'.
    household.setSilent(gamma, true);
    EXPECT_TRUE(waitUntil([&] { return !failed.isEmpty(); }, eachMemberWithin + unansweredWithin));
    EXPECT_TRUE(
        std::all_of(failed.cbegin(), failed.cend(), [&](const auto &subscription) { return subscription.first == gamma; }));
    household.setSilent(gamma, false);
    testsupport::await(owner.stop());
}
