// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Up Next in the store over the simulated household: a long queue opens at
// its playing entry reading only the pages asked for, entries are played,
// removed and moved, an edit made on an old version is refused, shown and
// read again with nothing lost, a save shows among the playlists, and a
// change from another controller shows while the list is open.
#include "StoreTestSupport.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/GroupController.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using SonosKit::GroupController;
using storetest::callCount;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerStoreQueue;
const QString living = QStringLiteral("Living Room");
const QString browse = QStringLiteral("Browse");
constexpr int longQueue = 10'000;

// As a view showing `row` asks for it: its page is read unless held.
void ask(Queue &queue, int row)
{
    queue.entries().want(row, row);
}

QString titleAt(const Queue &queue, int row)
{
    const std::optional<SonosKit::ContentItem> entry = queue.entries().item(row);
    return entry ? entry->title : QString();
}

} // namespace

TEST(PlayerStoreQueue, ALongQueueOpensAtItsPlayingPageAndAnEditOnAnOldVersionIsReadAgainWithNothingLost)
{
    playersim::Household household = testsupport::startedHousehold(
        playersim::Household::fromJson(storetest::householdWithQueue(longQueue), testsupport::firstAddress(block)));
    storetest::StoreRig rig(household);
    auto store = rig.makeStore();
    storetest::testListModels(*store);
    testsupport::await(store->refreshAll());
    storetest::selectGroupLedBy(*store, living);
    const GroupController elsewhere(*store->household().selectedGroup());
    testsupport::await(elsewhere.playQueueTrack(4999));
    testsupport::await(store->nowPlaying().refresh());
    Queue &queue = store->queue();
    ASSERT_EQ(queue.currentIndex(), 4999);

    // Opened: one Browse, at the playing entry's page, tells the length.
    household.log()->clear();
    queue.setShown(true);
    ASSERT_TRUE(waitUntil([&] { return !queue.isLoading() && queue.count() == longQueue; }));
    EXPECT_EQ(callCount(household, browse), 1);
    EXPECT_EQ(titleAt(queue, 4999), u"Track 5000");
    // A row far off, as a view scrolled there asks for it: its page alone.
    EXPECT_FALSE(queue.entries().index(longQueue - 1).data(QueueListModel::IsLoadedRole).toBool());
    ask(queue, longQueue - 1);
    ASSERT_TRUE(waitUntil([&] { return titleAt(queue, longQueue - 1) == u"Track 10000"; }));
    EXPECT_EQ(callCount(household, browse), 2);
    EXPECT_LE(queue.entries().heldPageCount(), QueueListModel::keptPages);

    ask(queue, 0);
    ASSERT_TRUE(waitUntil([&] { return titleAt(queue, 0) == u"Track 1"; }));
    // A fast scroll down and back to the top: the pages it passed answer
    // late, and the rows in view keep theirs.
    for (int page = 20; page < 20 + QueueListModel::keptPages; ++page)
        ask(queue, page * QueueListModel::pageSize);
    ask(queue, 0);
    ASSERT_TRUE(waitUntil([&] { return queue.entries().askedPages().size() == queue.entries().heldPageCount(); }));
    EXPECT_EQ(titleAt(queue, 0), u"Track 1");
    queue.playAt(2);
    ASSERT_TRUE(waitUntil([&] { return queue.currentIndex() == 2; }));

    // Another controller removes the first entry; without events this store
    // still holds the old version. Its removal of "Track 2" (then row 1) is
    // refused and said, the queue read again, and nothing else removed.
    testsupport::await(elsewhere.removeQueueTrack(0, 0));
    queue.remove(1);
    ASSERT_TRUE(waitUntil([&] { return queue.count() == longQueue - 1 && !queue.isBusy(); }));
    EXPECT_EQ(store->household().statusMessage(), u"The queue changed on the speaker; it has been read again.");
    EXPECT_EQ(titleAt(queue, 0), u"Track 2");
    EXPECT_EQ(titleAt(queue, 1), u"Track 3");
    // On the version read, it goes through; so does a move.
    queue.remove(0);
    ASSERT_TRUE(waitUntil([&] { return queue.count() == longQueue - 2 && !queue.isBusy(); }));
    EXPECT_EQ(titleAt(queue, 0), u"Track 3");
    queue.move(0, 2);
    ASSERT_TRUE(waitUntil([&] { return titleAt(queue, 2) == u"Track 3" && !queue.isBusy(); }));
    EXPECT_EQ(titleAt(queue, 0), u"Track 4");

    // An event tells of a change elsewhere before the rows are read again:
    // no row of the old layout is edited or played with the new version.
    const QString host = store->household().selectedGroup()->coordinator.host;
    testsupport::await(elsewhere.removeQueueTrack(0, 0));
    queue.apply(host, testsupport::await(SonosKit::ContentDirectory(host).queuePage(0, 1)).updateID);
    EXPECT_TRUE(queue.isBusy());
    EXPECT_FALSE(queue.remove(1));
    EXPECT_FALSE(queue.playAt(1));
    ASSERT_TRUE(waitUntil([&] { return !queue.isBusy(); }));
    EXPECT_EQ(queue.count(), longQueue - 3);
    EXPECT_EQ(titleAt(queue, 0), u"Track 5");
    EXPECT_EQ(titleAt(queue, 1), u"Track 3");

    // Saved, it shows among the Sonos Playlists at once.
    queue.saveAs(QStringLiteral("Road Trip"));
    ASSERT_TRUE(waitUntil([&] { return storetest::titles(store->library().favorites()).contains(QStringLiteral("Road Trip")); }));
    EXPECT_EQ(queue.savedText(), QStringLiteral("Saved as the playlist “Road Trip”."));
}

TEST(PlayerStoreQueue, AChangeFromAnotherControllerShowsWithinASecondAndClearingEmptiesIt)
{
    playersim::Household household = storetest::startedHousehold(block, 1);
    // The Queue's own events are an add-on: refused, the group's events
    // still flow and AVTransport's tell the queue's versions.
    household.setRefuseSubscriptionsTo(QStringLiteral("/MediaRenderer/Queue/Event"));
    storetest::StoreRig rig(household);
    auto store = rig.makeFollowingStore(block, living);
    ASSERT_TRUE(store);
    Queue &queue = store->queue();
    queue.setShown(true);
    ASSERT_TRUE(waitUntil([&] { return queue.count() == 3 && titleAt(queue, 0) == u"Queued 1"; }));

    const GroupController elsewhere(*store->household().selectedGroup());
    testsupport::await(elsewhere.moveQueueTrack(0, 2, *queue.updateID()));
    EXPECT_TRUE(waitUntil([&] { return titleAt(queue, 2) == u"Queued 1"; }, 1s));
    testsupport::await(elsewhere.removeQueueTrack(0, 0));
    EXPECT_TRUE(waitUntil([&] { return queue.count() == 2 && titleAt(queue, 0) == u"Queued 3"; }, 1s));

    queue.clear();
    ASSERT_TRUE(waitUntil([&] { return queue.count() == 0 && !queue.isBusy(); }));
    EXPECT_EQ(callCount(household, QStringLiteral("RemoveAllTracksFromQueue")), 1);
}
