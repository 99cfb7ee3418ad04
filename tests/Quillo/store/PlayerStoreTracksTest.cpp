// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The chosen entry's track list, from the directory or through the queue,
// and playing entries and tracks.
#include "StoreTestSupport.h"

#include "SonosKit/ContentItem.h"

#include <gtest/gtest.h>

using namespace storetest;
using testsupport::Suite;
using testsupport::waitUntil;

namespace {

struct TracksRig {
    playersim::Household household = startedHousehold(Suite::PlayerStoreTracks);
    StoreRig rig{household};
    std::unique_ptr<PlayerStore> store;

    TracksRig()
    {
        rig.writeSettingsText("[General]\nselectedRoomName=Living Room\n");
        store = rig.makeStore();
        EXPECT_TRUE(refreshedFavorites(*store));
    }
    void choose(const QString &title)
    {
        store->library().selectItem(idOfTitle(*store, title));
        ASSERT_TRUE(waitUntil([this] { return !store->trackList().isLoading(); }));
    }
    QString living() const { return household.addressOfRoom(QStringLiteral("Living Room")); }
};

const QString weeklyExplanation = QStringLiteral(
    "Spotify doesn't list tracks to the player directly. Showing them loads this playlist into Living Room's queue, "
    "replacing what's there.");

} // namespace

TEST(PlayerStoreTracks, EachKindOfEntryListsItsOwnWay)
{
    TracksRig rig;
    rig.choose(QStringLiteral("Dinner Party"));
    EXPECT_EQ(titles(rig.store->trackList().tracks()), (QStringList{"Dinner 1", "Dinner 2"}));
    EXPECT_EQ(rig.store->trackList().source(), TrackList::Source::Directory);
    EXPECT_FALSE(rig.store->trackList().message());
    EXPECT_FALSE(rig.store->trackList().canLoadFromQueue());
    // A row clicked plays its track (the views' test); past either end, nothing.
    rig.store->trackList().playAt(2);
    rig.store->trackList().playAt(-1);

    rig.choose(QStringLiteral("Radio Paradise"));
    EXPECT_EQ(titles(rig.store->trackList().tracks()), QStringList{"Radio Paradise"});
    EXPECT_FALSE(rig.store->trackList().message());

    rig.choose(QStringLiteral("Browse Jazz"));
    EXPECT_TRUE(rig.store->trackList().tracks().isEmpty());
    EXPECT_EQ(rig.store->trackList().message(),
        std::optional<QString>(QStringLiteral("This is a browse shortcut. Open it in the Sonos app.")));

    // What a streaming playlist shows instead (its words, the button that
    // loads it) is the views' test.
    rig.choose(QStringLiteral("Discover Weekly"));
    EXPECT_TRUE(rig.store->trackList().tracks().isEmpty());
    EXPECT_EQ(rig.household.queueTitles(rig.living()), (QStringList{"Queued 1", "Queued 2", "Queued 3"}))
        << "listing never touches the player";
}

TEST(PlayerStoreTracks, ShowingTracksThroughTheQueueSurvivesAReload)
{
    TracksRig rig;
    rig.choose(QStringLiteral("Discover Weekly"));
    ASSERT_TRUE(rig.store->trackList().canLoadFromQueue());

    // The tracks loaded into the queue and listed are the views' test.
    rig.store->trackList().showTracks();
    ASSERT_TRUE(waitUntil([&] { return rig.store->trackList().source() == TrackList::Source::Queue; }));
    EXPECT_FALSE(rig.store->trackList().message());
    EXPECT_FALSE(rig.store->trackList().isLoading());

    rig.store->library().refresh();
    ASSERT_TRUE(waitUntil([&] { return !rig.store->library().isRefreshing(); }));
    EXPECT_EQ(rig.store->trackList().source(), TrackList::Source::Queue);
    EXPECT_EQ(titles(rig.store->trackList().tracks()).size(), 3);

    // Playing a row of a queue-sourced list plays that queue position.
    rig.household.log()->clear();
    rig.store->trackList().playAt(2);
    ASSERT_TRUE(waitUntil([&] { return rig.household.trackNumber(rig.living()) == 3; }));
    EXPECT_EQ(callCount(rig.household, QStringLiteral("AddURIToQueue")), 0) << "the queue is played as it is";
    EXPECT_EQ(callCount(rig.household, QStringLiteral("RemoveAllTracksFromQueue")), 0);

    // Another entry returns to the directory without touching the queue.
    rig.choose(QStringLiteral("Dinner Party"));
    EXPECT_EQ(rig.store->trackList().source(), TrackList::Source::Directory);
    EXPECT_EQ(rig.household.queueTitles(rig.living()).size(), 3);
}

TEST(PlayerStoreTracks, AnEmptyQueueSaysSoAndAFailedLoadKeepsTheList)
{
    TracksRig rig;
    rig.choose(QStringLiteral("Discover Weekly"));
    rig.household.server(rig.living())
        .inject(QStringLiteral("AddURIToQueue"), playersim::Fault{.answer = playersim::soapFault(804), .remaining = 1});
    rig.store->trackList().showTracks();
    ASSERT_TRUE(waitUntil([&] { return rig.store->household().statusKind() == StoreStatus::Kind::Failed; }));
    ASSERT_TRUE(waitUntil([&] { return !rig.store->trackList().isLoading(); }));
    EXPECT_EQ(rig.store->trackList().message(), std::optional<QString>(weeklyExplanation));
    EXPECT_TRUE(rig.store->trackList().canLoadFromQueue());

    // A queue that answers empty.
    const QByteArray emptyBrowse
        = R"(<?xml version="1.0"?><s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"><s:Body><u:BrowseResponse xmlns:u="urn:schemas-upnp-org:service:ContentDirectory:1"><Result>&lt;DIDL-Lite xmlns="urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/"&gt;&lt;/DIDL-Lite&gt;</Result><NumberReturned>0</NumberReturned><TotalMatches>0</TotalMatches><UpdateID>1</UpdateID></u:BrowseResponse></s:Body></s:Envelope>)";
    rig.household.server(rig.living())
        .inject(QStringLiteral("Browse"),
            playersim::Fault{
                .answer = playersim::Answer{.status = 200, .body = emptyBrowse, .contentType = "text/xml", .headers = {}},
                .remaining = 1});
    rig.store->trackList().showTracks();
    ASSERT_TRUE(waitUntil([&] { return rig.store->trackList().source() == TrackList::Source::Queue; }));
    EXPECT_TRUE(rig.store->trackList().tracks().isEmpty());
    EXPECT_EQ(rig.store->trackList().message(),
        std::optional<QString>(QStringLiteral("The player returned no tracks for this playlist.")));
}

TEST(PlayerStoreTracks, AnEntryNeedingReauthorizingIsMarkedUntilItPlays)
{
    TracksRig rig;
    const QString mix = idOfTitle(*rig.store, QStringLiteral("Morning Mix"));
    int marks = 0;
    QObject::connect(&rig.store->library(), &Library::unplayableIDsChanged, [&marks] { ++marks; });

    rig.choose(QStringLiteral("Morning Mix"));
    rig.store->library().playSelected();
    // Failed, with the words the views' test reads in the footer.
    ASSERT_TRUE(waitUntil([&] { return rig.store->household().statusKind() == StoreStatus::Kind::Failed; }));
    EXPECT_TRUE(rig.store->library().unplayableIDs().contains(mix));
    EXPECT_EQ(marks, 1);
    rig.household.log()->clear();

    // No topology refresh follows a failed play.
    EXPECT_EQ(callCount(rig.household, QStringLiteral("GetZoneGroupState")), 0);

    rig.household.setServiceAuthorized(2, true);
    rig.store->library().playSelected();
    ASSERT_TRUE(waitUntil([&] { return !rig.store->library().unplayableIDs().contains(mix); }));
    EXPECT_EQ(marks, 2);
    ASSERT_TRUE(waitUntil([&] { return rig.store->nowPlaying().isPlaying(); }));
    EXPECT_EQ(rig.store->household().statusKind(), StoreStatus::Kind::Ready);

    // A successful play tells observers even when nothing was marked.
    rig.store->library().playSelected();
    ASSERT_TRUE(waitUntil([&] { return marks == 3; }));
}

TEST(PlayerStoreTracks, AListingForAnEntryTheUserLeftIsDropped)
{
    TracksRig rig;
    rig.household.server(rig.living())
        .inject(QStringLiteral("Browse"), playersim::Fault{.delay = std::chrono::milliseconds(400), .remaining = 1});
    rig.store->library().selectItem(idOfTitle(*rig.store, QStringLiteral("Dinner Party")));
    EXPECT_TRUE(rig.store->trackList().isLoading());
    rig.store->library().selectItem(idOfTitle(*rig.store, QStringLiteral("Solo")));
    EXPECT_FALSE(rig.store->trackList().isLoading()) << "a single item lists at once; the slow listing is not its own";
    EXPECT_EQ(titles(rig.store->trackList().tracks()), QStringList{"Solo"});
    int changes = 0;
    QObject::connect(&rig.store->trackList(), &TrackList::tracksChanged, [&changes] { ++changes; });

    // The slow listing is answered; its list must not replace the one shown.
    ASSERT_TRUE(waitUntil([&] {
        for (const auto &request : rig.household.log()->all())
            if (request.call.action == QStringLiteral("Browse") && request.answered != std::chrono::steady_clock::time_point())
                return true;
        return false;
    }));
    storetest::serveFor(std::chrono::milliseconds(300));
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(titles(rig.store->trackList().tracks()), QStringList{"Solo"});
    EXPECT_FALSE(rig.store->trackList().isLoading());
}

TEST(PlayerStoreTracks, ChoosingAGroupClearsPlaybackAndThePendingVolume)
{
    TracksRig rig;
    testsupport::await(rig.store->nowPlaying().refresh());
    rig.store->nowPlaying().previewVolume(70);
    ASSERT_TRUE(rig.store->nowPlaying().playback());
    QList<bool> playbackPresent;
    QObject::connect(&rig.store->nowPlaying(), &NowPlaying::playbackChanged,
        [&] { playbackPresent.append(rig.store->nowPlaying().playback().has_value()); });
    selectGroupLedBy(*rig.store, QStringLiteral("Kitchen"));
    EXPECT_FALSE(rig.store->nowPlaying().playback());
    EXPECT_FALSE(rig.store->nowPlaying().pendingVolume());
    EXPECT_EQ(rig.store->preferences().selectedRoomName(), std::optional<QString>(QStringLiteral("Kitchen")));
    ASSERT_TRUE(waitUntil([&] { return rig.store->nowPlaying().playback().has_value(); }));
    EXPECT_EQ(playbackPresent, (QList<bool>{false, true}));
    EXPECT_EQ(rig.store->household().selectedGroup()->displayName(), QStringLiteral("Kitchen + 1"));
}

TEST(PlayerStoreTracks, AListingThatEndsAfterAGroupSwitchStillShowsTheEntrysTracks)
{
    // The content directory is the household's: a group switch while the
    // chosen entry lists must not leave the entry shown before it.
    TracksRig rig;
    rig.choose(QStringLiteral("Solo"));
    rig.household.server(rig.living())
        .inject(QStringLiteral("Browse"), playersim::Fault{.delay = std::chrono::milliseconds(300), .remaining = 1});
    rig.store->library().selectItem(idOfTitle(*rig.store, QStringLiteral("Dinner Party")));
    ASSERT_TRUE(rig.store->trackList().isLoading());
    selectGroupLedBy(*rig.store, QStringLiteral("Kitchen"));
    ASSERT_EQ(rig.store->household().selectedGroup()->coordinator.roomName, QStringLiteral("Kitchen"));
    EXPECT_TRUE(rig.store->trackList().isLoading()) << "the listing for the entry shown goes on";

    ASSERT_TRUE(waitUntil([&] { return !rig.store->trackList().isLoading(); }));
    const QStringList shown = titles(rig.store->trackList().tracks());
    EXPECT_EQ(shown.size(), 2) << "Dinner Party's two tracks";
    EXPECT_FALSE(shown.contains(QStringLiteral("Solo"))) << shown.join(u',').toStdString();
}
