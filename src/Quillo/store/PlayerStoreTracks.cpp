// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Playing, and the chosen entry's track list.
#include "Quillo/store/Failure.h"
#include "Quillo/store/PlayerStore.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/GroupController.h"

#include <QCoreApplication>

using SonosKit::ContentItem;
using SonosKit::GroupController;
using SonosKit::ZoneGroup;

namespace {

QString queueExplanation(const QString &provider, const std::optional<ZoneGroup> &group)
{
    //: %1 is a music service, %2 a speaker group such as "Kitchen + 1".
    return QCoreApplication::translate("PlayerStore",
        "%1 doesn't list tracks to the player directly. Showing them loads this playlist "
        "into %2's queue, replacing what's there.")
        .arg(provider, group ? group->displayName() : QCoreApplication::translate("PlayerStore", "the speaker"));
}

} // namespace

PlayerStore::TrackChoice PlayerStore::currentTrackChoice(Listing listing) const
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    const std::optional<ContentItem> &item = m_library.selectedItem();
    return {listing == Listing::Queue && group ? group->id : QString(), item ? item->id : QString(),
        m_library.selectedProvider().value_or(QString())};
}

void PlayerStore::beginListing(const TrackChoice &choice)
{
    m_listings.append(choice);
    updateLoadingTracks();
}

void PlayerStore::endListing(const TrackChoice &choice)
{
    m_listings.removeOne(choice);
    updateLoadingTracks();
}

void PlayerStore::updateLoadingTracks()
{
    // A listing for an entry the user has left says nothing about the entry
    // shown now.
    m_trackList.setLoading(
        m_listings.contains(currentTrackChoice(Listing::Directory)) || m_listings.contains(currentTrackChoice(Listing::Queue)));
}

QCoro::Task<void> PlayerStore::loadTracks()
{
    m_trackList.setSource(TrackList::Source::Directory);
    m_trackList.setCanLoadFromQueue(false);

    const std::optional<ContentItem> entry = m_library.selectedItem();
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!entry || !group) {
        m_trackList.setTracks({});
        m_trackList.setMessage(std::nullopt);
        co_return;
    }

    if (!entry->isContainer) {
        if (entry->uri.isEmpty()) {
            m_trackList.setTracks({});
            m_trackList.setMessage(tr("This is a browse shortcut. Open it in the Sonos app."));
        } else {
            m_trackList.setTracks({*entry});
            m_trackList.setMessage(std::nullopt);
        }
        co_return;
    }

    const TrackChoice choice = currentTrackChoice(Listing::Directory);
    beginListing(choice);
    QList<ContentItem> children;
    try {
        children = co_await guarded(SonosKit::ContentDirectory(group->coordinator.host).children(*entry, m_tasks.token()));
    } catch (const std::exception &) {
        // A failed listing reads like an empty one: both are answered by
        // offering the queue.
    }
    endListing(choice);
    // The user has moved on; this list belongs to an entry no longer shown.
    if (choice != currentTrackChoice(Listing::Directory))
        co_return;

    m_trackList.setSource(TrackList::Source::Directory);
    m_trackList.setTracks(children);
    if (!children.isEmpty()) {
        m_trackList.setMessage(std::nullopt);
        m_trackList.setCanLoadFromQueue(false);
        co_return;
    }
    m_trackList.setCanLoadFromQueue(!entry->uri.isEmpty());
    m_trackList.setMessage(queueExplanation(entry->providerName(m_library.serviceNames()), m_household.selectedGroup()));
}

void PlayerStore::showTracks()
{
    const std::optional<ContentItem> entry = m_library.selectedItem();
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (entry && group)
        TaskGuard::start(showTracksTask(*group, *entry));
}

QCoro::Task<void> PlayerStore::showTracksTask(ZoneGroup group, ContentItem item)
{
    const TrackChoice choice = currentTrackChoice(Listing::Queue);
    beginListing(choice);
    QList<ContentItem> queue;
    std::optional<Failure> failure;
    try {
        queue = co_await guarded(GroupController(std::move(group)).loadIntoQueue(std::move(item)));
    } catch (const std::exception &error) {
        failure.emplace(error);
    }
    endListing(choice);
    if (failure) {
        report(*failure);
        co_return;
    }
    if (choice != currentTrackChoice(Listing::Queue))
        co_return;
    const bool empty = queue.isEmpty();
    m_trackList.setTracks(std::move(queue));
    m_trackList.setSource(TrackList::Source::Queue);
    m_trackList.setCanLoadFromQueue(false);
    m_trackList.setMessage(empty ? std::optional<QString>(tr("The player returned no tracks for this playlist.")) : std::nullopt);
}

void PlayerStore::play(const ContentItem &item)
{
    if (const std::optional<ZoneGroup> group = m_household.selectedGroup())
        TaskGuard::start(playTask(*group, item));
}

QCoro::Task<void> PlayerStore::playTask(ZoneGroup group, ContentItem item)
{
    std::optional<Failure> failure;
    try {
        co_await guarded(GroupController(std::move(group)).playItem(item));
    } catch (const std::exception &error) {
        failure.emplace(error);
    }
    if (failure && failure->needsReauthorization()) {
        m_library.markUnplayable(item.id);
        //: %1 is the title of a favorite or playlist.
        m_household.setStatus(StoreStatus::failed(
            tr("\"%1\" can't play — its music service needs re-authorizing in the Sonos app.").arg(item.title)));
        co_return;
    }
    if (failure) {
        report(*failure);
        co_return;
    }
    m_library.unmarkUnplayable(item.id);
    co_await guarded(refreshPlayback());
}

void PlayerStore::playSelectedItem()
{
    if (const std::optional<ContentItem> &item = m_library.selectedItem())
        play(*item);
}

void PlayerStore::playTrackAt(int position)
{
    const QList<ContentItem> &tracks = m_trackList.tracks();
    if (position < 0 || position >= tracks.size())
        return;
    if (m_trackList.source() == TrackList::Source::Queue) {
        perform([position](GroupController controller) { return controller.playQueueTrack(position); });
        return;
    }
    play(tracks.at(position));
}
