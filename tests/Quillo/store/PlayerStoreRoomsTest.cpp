// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The Rooms list: grouping rooms from the panel, each room's own volume and
// mute, and a group volume that keeps the balance between rooms.
#include "StoreTestSupport.h"

#include "SonosKit/GroupController.h"

#include <gtest/gtest.h>

using SonosKit::GroupController;
using SonosKit::ZoneGroup;
using storetest::callCount;
using storetest::roomID;
using storetest::StoreRig;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerStoreRooms;
// Longer than any step of a case may take: a topology read this slow shows
// that the panel did not wait for it.
constexpr std::chrono::seconds slowTopology{3};
constexpr std::chrono::milliseconds beforeTheSlowRead{1500};

// With the players' events on, as the product runs, unless a case is about
// the polls that stand in for them.
struct RoomsRig {
    explicit RoomsRig(const QString &remembered = QStringLiteral("Kitchen"), bool events = true)
        : household(storetest::startedHousehold(block, events ? 0 : 1))
    {
        rig.writeSettingsText("selectedRoomName=" + remembered.toUtf8() + "\n");
        if (events) {
            rig.events = true;
            rig.eventAddress = storetest::listenAddress(block);
        }
        store = rig.makeStore();
        testsupport::await(store->refreshAll());
        EXPECT_TRUE(waitUntil([this] { return store->nowPlaying().hasPlayback(); }));
    }

    QString host(const QString &room) const { return household.addressOfRoom(room); }
    QString selectedTitle() const
    {
        const auto &group = store->household().selectedGroup();
        return group ? group->displayName() : QString();
    }
    // name → in the selected group, in the list's order.
    QList<std::pair<QString, bool>> membership() const
    {
        QList<std::pair<QString, bool>> rooms;
        for (const RoomRecord &room : store->rooms().records())
            rooms.append({room.name, room.inGroup});
        return rooms;
    }
    std::optional<RoomRecord> room(const QString &name) const
    {
        for (const RoomRecord &room : store->rooms().records())
            if (room.name == name)
                return room;
        return std::nullopt;
    }
    int shownVolume(const QString &name) const { return room(name) ? room(name)->volume : -1; }

    playersim::Household household;
    StoreRig rig{household};
    std::unique_ptr<PlayerStore> store;
};

using Membership = QList<std::pair<QString, bool>>;

} // namespace

TEST(PlayerStoreRooms, RoomsJoinAndLeaveAtOnceAndTheGroupKeepsItsPlaceWhenItsCoordinatorLeaves)
{
    RoomsRig rooms;
    EXPECT_EQ(rooms.membership(),
        (Membership{
            {QStringLiteral("Kitchen"), true}, {QStringLiteral("Living Room"), false}, {QStringLiteral("Office"), true}}));
    EXPECT_TRUE(rooms.store->rooms().hasSeveral());

    // The panel shows the new group as soon as the player said yes, not
    // after the topology read that confirms it.
    rooms.household.server(rooms.household.addresses().first())
        .inject(QStringLiteral("GetZoneGroupState"), playersim::Fault{.delay = slowTopology, .remaining = 1});
    rooms.store->rooms().add(roomID(*rooms.store, QStringLiteral("Living Room")));
    EXPECT_TRUE(waitUntil([&] { return rooms.selectedTitle() == QStringLiteral("Kitchen + 2"); }, beforeTheSlowRead));
    EXPECT_TRUE(rooms.room(QStringLiteral("Living Room"))->inGroup);
    EXPECT_EQ(rooms.household.groups().size(), 1);

    rooms.store->rooms().remove(roomID(*rooms.store, QStringLiteral("Office")));
    EXPECT_TRUE(waitUntil([&] { return rooms.selectedTitle() == QStringLiteral("Kitchen + 1"); }));
    EXPECT_FALSE(rooms.room(QStringLiteral("Office"))->inGroup);

    // Kitchen leads the group and is the room it is remembered by. It
    // leaves: the group plays on under Living Room and stays the one shown.
    testsupport::await(rooms.store->library().load());
    rooms.store->library().play(rooms.store->library().favorites().front());
    ASSERT_TRUE(waitUntil([&] { return rooms.store->nowPlaying().isPlaying(); }));
    rooms.store->rooms().remove(roomID(*rooms.store, QStringLiteral("Kitchen")));
    EXPECT_TRUE(waitUntil([&] { return rooms.selectedTitle() == QStringLiteral("Living Room"); }));
    EXPECT_EQ(rooms.store->preferences().selectedRoomName(), QStringLiteral("Living Room"));
    EXPECT_TRUE(waitUntil([&] { return rooms.store->household().groups().size() == 3; }));
    EXPECT_EQ(rooms.membership(),
        (Membership{
            {QStringLiteral("Kitchen"), false}, {QStringLiteral("Living Room"), true}, {QStringLiteral("Office"), false}}));
    EXPECT_TRUE(waitUntil([&] { return rooms.store->nowPlaying().isPlaying(); }));

    // A group of one keeps its room.
    EXPECT_FALSE(rooms.room(QStringLiteral("Living Room"))->canLeave);
    rooms.household.log()->clear();
    rooms.store->rooms().remove(roomID(*rooms.store, QStringLiteral("Living Room")));
    storetest::serveFor(std::chrono::milliseconds(200));
    EXPECT_EQ(callCount(rooms.household, QStringLiteral("BecomeCoordinatorOfStandaloneGroup")), 0);
}

TEST(PlayerStoreRooms, AMemberTheGroupIsRememberedByKeepsItsPlaceInMemoryWhenItLeaves)
{
    RoomsRig rooms(QStringLiteral("Office"));
    ASSERT_EQ(rooms.selectedTitle(), QStringLiteral("Kitchen + 1"));
    rooms.store->rooms().remove(roomID(*rooms.store, QStringLiteral("Office")));
    EXPECT_TRUE(waitUntil([&] { return rooms.selectedTitle() == QStringLiteral("Office"); }));
    EXPECT_EQ(rooms.store->preferences().selectedRoomName(), QStringLiteral("Office"));
}

TEST(PlayerStoreRooms, AFailedJoinShowsTheFailureAndChangesNothing)
{
    RoomsRig rooms;
    const Membership before = rooms.membership();
    rooms.household.server(rooms.host(QStringLiteral("Living Room")))
        .inject(QStringLiteral("SetAVTransportURI"), storetest::brokenAnswer());
    QList<StoreStatus::Kind> kinds;
    QObject::connect(
        &rooms.store->household(), &Household::statusChanged, [&] { kinds.append(rooms.store->household().statusKind()); });
    QList<Membership> shown;
    QObject::connect(
        rooms.store->rooms().listModel(), &QAbstractItemModel::dataChanged, [&] { shown.append(rooms.membership()); });

    // The failure shows until the topology read finds the players again.
    rooms.store->rooms().add(roomID(*rooms.store, QStringLiteral("Living Room")));
    ASSERT_TRUE(waitUntil([&] { return kinds.size() >= 2; }));
    EXPECT_EQ(kinds, (QList<StoreStatus::Kind>{StoreStatus::Kind::Failed, StoreStatus::Kind::Ready}));
    for (const Membership &membership : shown)
        EXPECT_EQ(membership, before);
    EXPECT_EQ(rooms.membership(), before);
    EXPECT_EQ(rooms.selectedTitle(), QStringLiteral("Kitchen + 1"));
    EXPECT_EQ(rooms.household.groups().size(), 2);
}

TEST(PlayerStoreRooms, EachRoomHasItsOwnLevelsAndTheGroupSliderKeepsTheirBalance)
{
    // With the events, and with the reads that stand in for them and bring
    // every level back after each command.
    for (const bool events : {true, false}) {
        SCOPED_TRACE(events ? "events" : "reads");
        RoomsRig rooms(QStringLiteral("Kitchen"), events);
        const QString kitchen = rooms.host(QStringLiteral("Kitchen"));
        const QString office = rooms.host(QStringLiteral("Office"));
        rooms.household.setVolume(kitchen, 30);
        rooms.household.setVolume(office, 45);
        rooms.store->rooms().setShown(true);
        EXPECT_TRUE(rooms.rig.settingsText().contains(QStringLiteral("showsRooms=true")));
        ASSERT_TRUE(waitUntil([&] { return rooms.shownVolume(QStringLiteral("Office")) == 45; }));
        EXPECT_EQ(rooms.shownVolume(QStringLiteral("Kitchen")), 30);
        EXPECT_FALSE(rooms.room(QStringLiteral("Living Room"))->hasLevel);

        // A room's slider and mute reach that room alone.
        rooms.store->rooms().previewVolume(roomID(*rooms.store, QStringLiteral("Office")), 70);
        EXPECT_EQ(rooms.shownVolume(QStringLiteral("Office")), 70);
        EXPECT_EQ(rooms.household.volume(office), 45);
        rooms.store->rooms().commitVolume(roomID(*rooms.store, QStringLiteral("Office")), 50);
        EXPECT_TRUE(waitUntil([&] { return rooms.household.volume(office) == 50; }));
        rooms.store->rooms().setMuted(roomID(*rooms.store, QStringLiteral("Kitchen")), true);
        EXPECT_TRUE(waitUntil([&] { return rooms.room(QStringLiteral("Kitchen"))->muted; }));
        EXPECT_TRUE(rooms.household.isMuted(kitchen));
        EXPECT_FALSE(rooms.household.isMuted(office));
        EXPECT_EQ(rooms.household.volume(kitchen), 30);
        EXPECT_TRUE(waitUntil([&] { return rooms.store->nowPlaying().volume() == 40; }));

        // The group slider scales the rooms, live while dragged, and the players
        // end where the list showed: 30/50 from a group of 40 to 100 is 75/100
        // (Office can go no higher).
        rooms.store->nowPlaying().previewVolume(60);
        EXPECT_EQ(rooms.shownVolume(QStringLiteral("Kitchen")), 45);
        EXPECT_EQ(rooms.shownVolume(QStringLiteral("Office")), 75);
        rooms.store->nowPlaying().commitVolume(100);
        EXPECT_EQ(rooms.shownVolume(QStringLiteral("Kitchen")), 75);
        // A second drag, begun before the players answered, scales what the
        // first left, from the group volume the players then count (87).
        rooms.store->nowPlaying().previewVolume(50);
        EXPECT_EQ(rooms.shownVolume(QStringLiteral("Kitchen")), 43);
        EXPECT_EQ(rooms.shownVolume(QStringLiteral("Office")), 57);
        EXPECT_TRUE(waitUntil([&] { return rooms.household.volume(office) == 100; }));
        EXPECT_EQ(rooms.household.volume(kitchen), 75);

        // All the way down and back up again levels the rooms, as the players do.
        rooms.store->nowPlaying().commitVolume(0);
        EXPECT_TRUE(waitUntil([&] { return rooms.household.volume(office) == 0 && rooms.household.volume(kitchen) == 0; }));
        rooms.store->nowPlaying().commitVolume(35);
        EXPECT_TRUE(waitUntil([&] { return rooms.household.volume(office) == 35 && rooms.household.volume(kitchen) == 35; }));
        EXPECT_TRUE(waitUntil([&] { return rooms.shownVolume(QStringLiteral("Office")) == 35; }));

        // Closing the panel drops what the sliders held.
        rooms.store->rooms().previewVolume(roomID(*rooms.store, QStringLiteral("Office")), 90);
        rooms.store->menuClosed();
        EXPECT_EQ(rooms.shownVolume(QStringLiteral("Office")), 35);
    }
}

TEST(PlayerStoreRooms, AReadStartedBeforeAnEventPutsBackNeitherALevelNorTheGrouping)
{
    RoomsRig rooms;
    ASSERT_TRUE(waitUntil([&] { return rooms.store->liveUpdates().isFlowing(); }));
    // The members' levels come from their events: no read of the list's own
    // is on its way.
    const QString office = rooms.host(QStringLiteral("Office"));
    ASSERT_TRUE(waitUntil([&] { return rooms.shownVolume(QStringLiteral("Office")) == 40; }));
    rooms.household.log()->clear();

    // Office's volume is read as it was and answered late; meanwhile another
    // controller turns Office down.
    playersim::Fault stale;
    stale.delay = std::chrono::milliseconds(600);
    stale.answer = playersim::soapResponse(QStringLiteral("urn:schemas-upnp-org:service:RenderingControl:1"),
        QStringLiteral("GetVolume"), {{QStringLiteral("CurrentVolume"), QStringLiteral("40")}});
    stale.remaining = 1;
    rooms.household.server(office).inject(QStringLiteral("GetVolume"), stale);
    QCoro::Task<void> reading = rooms.store->rooms().refreshLevels();
    // Kitchen's and Office's.
    ASSERT_TRUE(waitUntil([&] { return callCount(rooms.household, QStringLiteral("GetVolume")) == 2; }));
    rooms.household.setVolume(office, 9);
    ASSERT_TRUE(waitUntil([&] { return rooms.shownVolume(QStringLiteral("Office")) == 9; }));
    testsupport::await(std::move(reading));
    EXPECT_EQ(rooms.shownVolume(QStringLiteral("Office")), 9);

    // The topology is read as it was and answered late; meanwhile Office
    // leaves the group elsewhere.
    const QString topologyHost = rooms.store->household().knownHost().value_or(QString());
    playersim::Fault before;
    before.delay = std::chrono::milliseconds(600);
    before.answer = playersim::soapResponse(QStringLiteral("urn:schemas-upnp-org:service:ZoneGroupTopology:1"),
        QStringLiteral("GetZoneGroupState"), {{QStringLiteral("ZoneGroupState"), rooms.household.zoneGroupState()}});
    before.remaining = 1;
    rooms.household.log()->clear();
    rooms.household.server(topologyHost).inject(QStringLiteral("GetZoneGroupState"), before);
    QCoro::Task<void> regrouping = rooms.store->household().refresh();
    ASSERT_TRUE(waitUntil([&] { return callCount(rooms.household, QStringLiteral("GetZoneGroupState")) == 1; }));
    ASSERT_TRUE(rooms.household.leave(office));
    ASSERT_TRUE(waitUntil([&] { return rooms.selectedTitle() == QStringLiteral("Kitchen"); }));
    testsupport::await(std::move(regrouping));
    EXPECT_EQ(rooms.selectedTitle(), QStringLiteral("Kitchen"));
    EXPECT_EQ(rooms.store->household().groups().size(), 3);
    EXPECT_FALSE(rooms.room(QStringLiteral("Office"))->inGroup);
}
