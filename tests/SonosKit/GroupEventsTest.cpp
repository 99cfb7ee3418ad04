// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include "SonosKit/ZoneTopology.h"
#include "SonosKit/events/EventListener.h"
#include "SonosKit/events/EventSubscription.h"
#include "SonosKit/events/GroupEvents.h"
#include "playersim/Household.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace SonosKit;
using playersim::Household;
using testsupport::firstAddress;
using testsupport::startedHousehold;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::GroupEvents;
// Long enough for every first event to be overdue.
constexpr auto blockedWithin = EventSubscription::firstEventLimit + std::chrono::seconds(2);

// Alpha and Beta grouped with a track in their queue, Gamma alone.
QByteArray householdJson()
{
    return R"({"players": [{"uuid": "RINCON_A01400", "room": "Alpha",
                            "queue": [{"title": "Long", "uri": "x-file-cifs://nas/long.flac", "duration": 600}]},
                           {"uuid": "RINCON_B01400", "room": "Beta"},
                           {"uuid": "RINCON_C01400", "room": "Gamma"}],
              "groups": [{"coordinator": "RINCON_A01400", "members": ["RINCON_A01400", "RINCON_B01400"]}]})";
}

struct Received {
    EventService service;
    QString host;
    ServiceEvent event;
};

// Everything a GroupEvents reports, as it comes.
struct Recorder {
    QList<Received> events;
    QList<std::pair<QString, EventService>> blocked;
    QList<std::pair<QString, EventService>> lost;
    QList<std::pair<QString, EventService>> failed;

    explicit Recorder(GroupEvents &owner)
    {
        QObject::connect(
            &owner, &GroupEvents::eventReceived, [this](EventService service, const QString &host, const ServiceEvent &event) {
                events.append({service, host, event});
            });
        QObject::connect(&owner, &GroupEvents::blocked, [this](const QString &host, EventService service) {
            blocked.append({host, service});
        });
        QObject::connect(&owner, &GroupEvents::lost, [this](const QString &host, EventService service) {
            lost.append({host, service});
        });
        QObject::connect(&owner, &GroupEvents::failed, [this](const QString &host, EventService service, const SonosError &) {
            failed.append({host, service});
        });
    }

    // The group of `coordinator` in the latest topology event, when it has
    // `members` members.
    std::optional<ZoneGroup> groupFromTopology(const QString &coordinator, int members) const
    {
        for (auto it = events.crbegin(); it != events.crend(); ++it) {
            const auto *topology = std::get_if<TopologyEvent>(&it->event);
            if (!topology || !topology->groups)
                continue;
            for (const ZoneGroup &group : *topology->groups) {
                if (group.coordinator.host == coordinator)
                    return group.members.size() == members ? std::optional(group) : std::nullopt;
            }
            return std::nullopt;
        }
        return std::nullopt;
    }

    bool sawVolume(const QString &host, int volume) const
    {
        return std::any_of(events.cbegin(), events.cend(), [&](const Received &r) {
            const auto *rendering = std::get_if<RenderingEvent>(&r.event);
            return r.service == EventService::renderingControl && r.host == host && rendering && rendering->volume == volume;
        });
    }
};

using Keys = QList<std::pair<QString, EventService>>;

Keys keysOf(const GroupEvents &owner)
{
    Keys keys;
    for (const GroupEvents::Subscribed &s : owner.subscriptions())
        keys.append({s.playerHost, s.service});
    std::sort(keys.begin(), keys.end());
    return keys;
}

Keys sorted(Keys keys)
{
    std::sort(keys.begin(), keys.end());
    return keys;
}

bool allIn(const GroupEvents &owner, GroupEvents::State state, const QString &except = {})
{
    const QList<GroupEvents::Subscribed> all = owner.subscriptions();
    return !all.isEmpty() && std::all_of(all.cbegin(), all.cend(), [&](const GroupEvents::Subscribed &s) {
        return s.playerHost == except || s.state == state;
    });
}

int unsubscribesTo(const Household &household, const QString &player, EventService service)
{
    int count = 0;
    for (const auto &request : household.log()->forPlayer(player))
        count += request.method == "UNSUBSCRIBE" && request.path == eventPath(service).toLatin1();
    return count;
}

} // namespace

TEST(GroupEvents, SubscriptionsFollowTheGroupAndEventsNameTheirMember)
{
    Household household = startedHousehold(Household::fromJson(householdJson(), firstAddress(block)));
    EventListener listener;
    listener.listen(QHostAddress(testsupport::spareAddress(block, 250)));
    const QStringList players = household.addresses();
    const QString alpha = players[0], beta = players[1], gamma = players[2];
    const ZoneGroup group = testsupport::await(ZoneTopology(alpha).groups()).first();
    ASSERT_EQ(group.coordinator.host, alpha);

    GroupEvents owner(&listener);
    Recorder recorder(owner);
    const auto followed = std::chrono::steady_clock::now();
    testsupport::await(owner.follow(group));
    EXPECT_EQ(keysOf(owner),
        sorted({{alpha, EventService::avTransport}, {alpha, EventService::groupRenderingControl}, {alpha, EventService::queue},
            {alpha, EventService::alarmClock}, {alpha, EventService::zoneGroupTopology}, {alpha, EventService::renderingControl},
            {beta, EventService::renderingControl}}));
    EXPECT_EQ(household.subscriptionCount(), 7);
    ASSERT_TRUE(waitUntil([&] { return allIn(owner, GroupEvents::State::receiving); }));

    // What the events hold is the store's events tests' to read; here, that
    // a member's own volume arrives under that member's host.
    household.setVolume(beta, 9);
    EXPECT_TRUE(waitUntil([&] { return recorder.sawVolume(beta, 9); }));
    EXPECT_FALSE(recorder.sawVolume(alpha, 9));

    // Gamma joins: following the new group adds Gamma's volume and nothing
    // else.
    ASSERT_TRUE(household.join(gamma, alpha));
    ASSERT_TRUE(waitUntil([&] { return recorder.groupFromTopology(alpha, 3).has_value(); }));
    testsupport::await(owner.follow(*recorder.groupFromTopology(alpha, 3)));
    EXPECT_EQ(household.subscriptionCount(), 8);

    // Beta leaves: its subscription is ended at Beta, the rest are kept.
    const auto subscribes = [&] {
        const auto log = household.log()->all();
        return std::count_if(log.cbegin(), log.cend(), [](const auto &r) { return r.method == "SUBSCRIBE"; });
    };
    const auto subscribesBefore = subscribes();
    ASSERT_TRUE(household.leave(beta));
    ASSERT_TRUE(waitUntil([&] { return recorder.groupFromTopology(alpha, 2).has_value(); }));
    testsupport::await(owner.follow(*recorder.groupFromTopology(alpha, 2)));
    EXPECT_EQ(unsubscribesTo(household, beta, EventService::renderingControl), 1);
    EXPECT_EQ(household.subscriptionCount(), 7);
    EXPECT_EQ(subscribes(), subscribesBefore);
    EXPECT_FALSE(keysOf(owner).contains(std::pair(beta, EventService::renderingControl)));

    // Healthy subscriptions are never reported blocked, whichever came
    // first, the first event or the answer to SUBSCRIBE: nothing is reported
    // until every first event would be overdue.
    const auto overdue = std::max(std::chrono::milliseconds(0),
        std::chrono::duration_cast<std::chrono::milliseconds>(blockedWithin - (std::chrono::steady_clock::now() - followed)));
    EXPECT_FALSE(waitUntil(
        [&] { return !recorder.blocked.isEmpty() || !recorder.lost.isEmpty() || !recorder.failed.isEmpty(); }, overdue));

    const auto stopping = std::chrono::steady_clock::now();
    testsupport::await(owner.stop());
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, GroupEvents::stopLimit);
    EXPECT_EQ(household.subscriptionCount(), 0);
    EXPECT_TRUE(owner.subscriptions().isEmpty());
}

TEST(GroupEvents, BlockedWhileNotificationsAreDroppedAndBackAfterRetry)
{
    Household household = startedHousehold(Household::fromJson(householdJson(), firstAddress(block)));
    EventListener listener;
    listener.listen(QHostAddress(testsupport::spareAddress(block, 250)));
    const QStringList players = household.addresses();
    const QString alpha = players[0], beta = players[1];
    ZoneGroup group = testsupport::await(ZoneTopology(alpha).groups()).first();
    // A member that does not answer at all: it fails alone.
    const QString silent = testsupport::spareAddress(block, 200);
    group.members.append(SonosDevice(silent, QStringLiteral("RINCON_D01400"), QStringLiteral("Delta")));

    GroupEvents owner(&listener);
    Recorder recorder(owner);
    household.setDropNotifications(true);
    testsupport::await(owner.follow(group));
    EXPECT_EQ(recorder.failed, Keys({{silent, EventService::renderingControl}}));
    EXPECT_EQ(household.subscriptionCount(), 7);
    ASSERT_TRUE(waitUntil([&] { return recorder.blocked.size() == 7; }, blockedWithin));
    EXPECT_TRUE(allIn(owner, GroupEvents::State::blocked, silent));
    EXPECT_TRUE(recorder.events.isEmpty());

    // The way opens and the owner retries: everything arrives, the old
    // subscriptions are ended rather than left to expire, and the silent
    // member fails again.
    household.setDropNotifications(false);
    testsupport::await(owner.retry());
    EXPECT_TRUE(waitUntil([&] { return allIn(owner, GroupEvents::State::receiving, silent); }));
    EXPECT_EQ(household.subscriptionCount(), 7);
    EXPECT_EQ(unsubscribesTo(household, alpha, EventService::avTransport), 1);
    EXPECT_EQ(recorder.failed.size(), 2);
    EXPECT_EQ(recorder.blocked.size(), 7);

    // A missed change is reported as lost by the subscriptions that missed
    // it: Beta's own volume and the group's, nothing else.
    household.setDropNotifications(true);
    household.setVolume(beta, 3);
    household.setDropNotifications(false);
    household.setVolume(beta, 4);
    ASSERT_TRUE(waitUntil([&] { return recorder.sawVolume(beta, 4); }));
    EXPECT_EQ(
        sorted(recorder.lost), sorted({{alpha, EventService::groupRenderingControl}, {beta, EventService::renderingControl}}));

    // Stopping is bounded even with a member that never answered.
    const auto stopping = std::chrono::steady_clock::now();
    testsupport::await(owner.stop());
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, GroupEvents::stopLimit);
    EXPECT_EQ(household.subscriptionCount(), 0);
}
