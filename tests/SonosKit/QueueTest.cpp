// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SharedHousehold.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/GroupController.h>
#include <SonosKit/SonosError.h>
#include <playersim/GeneratedTracks.h>

#include <gtest/gtest.h>

using namespace SonosKit;
using testsupport::await;
using testsupport::failureOf;

namespace {

using Queue = testsupport::SharedHousehold<testsupport::Suite::Queue>;

constexpr int spotify = 12;

template<typename T>
std::optional<SonosError::Kind> failureKind(QCoro::Task<T> task)
{
    const std::optional<SonosError> error = failureOf<SonosError>(std::move(task));
    return error ? std::optional(error->kind()) : std::nullopt;
}

} // namespace

// Pages start where asked, stop at the queue's end and never exceed the
// page limit, over a queue of 10,000 entries read whole page after page.
TEST_F(Queue, PagesOfALongQueueMeetAtTheirBoundariesAndStopAtItsEnd)
{
    const ContentDirectory directory(groupOf(QStringLiteral("Salon Café")).coordinator.host);
    const QString host = directory.client.host;
    household.setQueue(host, playersim::generatedTracks(spotify, 7, 10000));
    const QStringList titles = household.queueTitles(host);
    const struct {
        int start, count;
        qsizetype returned;
    } rows[] = {{0, 500, 500}, {499, 2, 2}, {9500, 500, 500}, {9999, 500, 1}, {10000, 500, 0}, {0, 5000, 500}, {3, 0, 1}};
    for (const auto &row : rows) {
        const QueuePage page = await(directory.queuePage(row.start, row.count));
        EXPECT_EQ(page.items.size(), row.returned) << row.start << '+' << row.count;
        EXPECT_EQ(std::pair(page.total, page.updateID), std::pair(10000, household.queueUpdateId(host)));
        EXPECT_EQ(page.items.value(0).title, titles.value(row.start)) << row.start;
    }

    QStringList read;
    while (read.size() < titles.size()) {
        const QueuePage page = await(directory.queuePage(int(read.size()), ContentDirectory::queuePageLimit));
        ASSERT_FALSE(page.items.isEmpty());
        for (const ContentItem &item : page.items)
            read.append(item.title);
    }
    EXPECT_EQ(read, titles);
}

// Each edit leaves the queue in the order it names, and the track that
// played plays on wherever it went; removing it moves on to the next.
TEST_F(Queue, EditsKeepThePlayingTrackAndAStaleVersionChangesNothing)
{
    const GroupController controller(groupOf(QStringLiteral("Salon Café")));
    const QString host = controller.group().coordinator.host;
    const ContentDirectory directory(host);
    const QList<playersim::SimTrack> tracks = playersim::generatedTracks(spotify, 3, 10);
    const struct {
        const char *what;
        std::function<QCoro::Task<void>(quint32 version)> edit;
        QList<int> order; // of the original entries
        int playing; // where the fifth original entry, or its successor, is now
    } rows[] = {
        {"remove before", [&](quint32 v) { return controller.removeQueueTrack(1, v); }, {0, 2, 3, 4, 5, 6, 7, 8, 9}, 3},
        {"remove the playing one", [&](quint32 v) { return controller.removeQueueTrack(4, v); }, {0, 1, 2, 3, 5, 6, 7, 8, 9}, 4},
        {"move down past it", [&](quint32 v) { return controller.moveQueueTrack(1, 6, v); }, {0, 2, 3, 4, 5, 6, 1, 7, 8, 9}, 3},
        {"move it to the top", [&](quint32 v) { return controller.moveQueueTrack(4, 0, v); }, {4, 0, 1, 2, 3, 5, 6, 7, 8, 9}, 0},
        {"move the first to the end", [&](quint32 v) { return controller.moveQueueTrack(0, 9, v); },
            {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}, 3},
    };
    for (const auto &row : rows) {
        household.setQueue(host, tracks);
        await(controller.playQueueTrack(4));
        ASSERT_EQ(household.trackNumber(host), 5) << row.what;
        await(row.edit(await(directory.queuePage(0, 1)).updateID));
        QStringList expected;
        for (int index : row.order)
            expected.append(tracks.at(index).title);
        EXPECT_EQ(household.queueTitles(host), expected) << row.what;
        EXPECT_EQ(household.trackNumber(host), row.playing + 1) << row.what;
        EXPECT_NE(household.transportState(host), u"STOPPED") << row.what;
    }

    // Another controller removes the first entry: edits made against the
    // version read before are refused and change nothing.
    const quint32 seen = await(directory.queuePage(0, 1)).updateID;
    await(GroupController(controller.group()).removeQueueTrack(0, 0));
    const QStringList after = household.queueTitles(host);
    EXPECT_EQ(failureKind(controller.removeQueueTrack(2, seen)), SonosError::Kind::queueChanged);
    EXPECT_EQ(failureKind(controller.moveQueueTrack(2, 5, seen)), SonosError::Kind::queueChanged);
    EXPECT_EQ(household.queueTitles(host), after);
    // A refusal of another kind stays what it was.
    EXPECT_EQ(failureKind(controller.removeQueueTrack(40, household.queueUpdateId(host))), SonosError::Kind::upnpFault);
}

// Saved, the queue is a Sonos Playlist at once (its events are the store's
// events test's).
TEST_F(Queue, ASavedQueueIsAPlaylistAtOnce)
{
    const ZoneGroup group = groupOf(QStringLiteral("Salon Café"));
    const QString host = group.coordinator.host;
    household.setQueue(host, playersim::generatedTracks(spotify, 5, 12));
    const QString saved = await(GroupController(group).saveQueue(QStringLiteral("Road Trip 🚗")));
    const QList<ContentItem> playlists = await(ContentDirectory(host).playlists());
    const auto found = std::find_if(playlists.cbegin(), playlists.cend(), [&](const ContentItem &p) { return p.id == saved; });
    ASSERT_NE(found, playlists.cend());
    EXPECT_EQ(found->title, QStringLiteral("Road Trip 🚗"));
    EXPECT_EQ(await(ContentDirectory(host).children(*found)).size(), 12);
}
