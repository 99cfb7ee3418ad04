// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The way of the events proven while it stays quiet: events that stop after
// they flowed, a coordinator that restarts and forgets its subscriptions,
// and one that stops answering, each noticed at the next proof.

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
    // every subscription that was receiving is blocked.
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
    household.setVolume(alpha, 41);
    EXPECT_TRUE(waitUntil([&] {
        return std::any_of(events.cbegin(), events.cend(), [](const ServiceEvent &e) {
            const auto *rendering = std::get_if<RenderingEvent>(&e);
            return rendering && rendering->volume == 41;
        });
    }));

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
