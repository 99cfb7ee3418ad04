// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/TrackList.h"

#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/Library.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/GroupController.h"

using SonosKit::ContentItem;
using SonosKit::GroupController;
using SonosKit::ZoneGroup;

TrackList::TrackList(StoreContext &context, Household &household, Library &library, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
    , m_library(library)
{
    connect(&m_library, &Library::choiceMade, this, [this] { StoreContext::start(load()); });
    connect(&m_library, &Library::loaded, this, &TrackList::libraryLoaded);
    connect(&m_library, &Library::selectedItemChanged, this, &TrackList::updateLoading);
    connect(&m_household, &Household::selectedGroupChanged, this, &TrackList::updateLoading);
    connect(&m_library, &Library::unplayableIDsChanged, this, [this] { m_tracks.setMarkedIDs(m_library.unplayableIDs()); });
}

void TrackList::libraryLoaded()
{
    // A list that came from the group's queue stays: listing the directory
    // would replace it with the explanation it was loaded to get past.
    if (m_library.selectedItemID() && m_source == Source::Queue && !tracks().isEmpty()) {
        assignNotifying(this, m_message, std::nullopt, &TrackList::messageChanged);
        return;
    }
    StoreContext::start(load());
}

TrackList::Choice TrackList::currentChoice(Listing listing) const
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    const std::optional<ContentItem> &item = m_library.selectedItem();
    return {listing == Listing::Queue && group ? group->id : QString(), item ? item->id : QString(),
        m_library.selectedProvider().value_or(QString())};
}

void TrackList::beginListing(const Choice &choice)
{
    m_listings.append(choice);
    updateLoading();
}

void TrackList::endListing(const Choice &choice)
{
    m_listings.removeOne(choice);
    updateLoading();
}

void TrackList::updateLoading()
{
    // A listing for an entry the user has left says nothing about the entry
    // shown now.
    assignNotifying(this, m_isLoading,
        m_listings.contains(currentChoice(Listing::Directory)) || m_listings.contains(currentChoice(Listing::Queue)),
        &TrackList::isLoadingChanged);
}

void TrackList::show(QList<ContentItem> tracks, Source source, std::optional<QString> message, bool canLoadFromQueue)
{
    if (m_tracks.setItems(std::move(tracks)))
        Q_EMIT tracksChanged();
    assignNotifying(this, m_source, source, &TrackList::sourceChanged);
    assignNotifying(this, m_canLoadFromQueue, canLoadFromQueue, &TrackList::canLoadFromQueueChanged);
    assignNotifying(this, m_message, std::move(message), &TrackList::messageChanged);
}

QCoro::Task<void> TrackList::load()
{
    return loadTask();
}

StoreTask<void> TrackList::loadTask()
{
    const std::optional<ContentItem> entry = m_library.selectedItem();
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!entry || !group) {
        show({}, Source::Directory, std::nullopt);
        co_return;
    }
    if (!entry->isContainer) {
        if (entry->uri.isEmpty())
            show({}, Source::Directory, tr("This is a browse shortcut. Open it in the Sonos app."));
        else
            show({*entry}, Source::Directory, std::nullopt);
        co_return;
    }
    assignNotifying(this, m_source, Source::Directory, &TrackList::sourceChanged);
    assignNotifying(this, m_canLoadFromQueue, false, &TrackList::canLoadFromQueueChanged);

    const Choice choice = currentChoice(Listing::Directory);
    beginListing(choice);
    // A failed listing reads like an empty one: both are answered by
    // offering the queue.
    const auto children = co_await m_context.attempt(
        SonosKit::ContentDirectory(group->coordinator.host).children(*entry, m_context.token()));
    endListing(choice);
    // The user has moved on; this list belongs to an entry no longer shown.
    if (choice != currentChoice(Listing::Directory))
        co_return;
    if (children && !children->isEmpty()) {
        show(*children, Source::Directory, std::nullopt);
        co_return;
    }
    const std::optional<ZoneGroup> &now = m_household.selectedGroup();
    //: %1 is a music service, %2 a speaker group such as "Kitchen + 1".
    show({}, Source::Directory,
        tr("%1 doesn't list tracks to the player directly. Showing them loads this playlist "
           "into %2's queue, replacing what's there.")
            .arg(entry->providerName(m_library.serviceNames()), now ? now->displayName() : tr("the speaker")),
        !entry->uri.isEmpty());
}

void TrackList::showTracks()
{
    const std::optional<ContentItem> entry = m_library.selectedItem();
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (entry && group)
        StoreContext::start(showTracksTask(*group, *entry));
}

StoreTask<void> TrackList::showTracksTask(ZoneGroup group, ContentItem item)
{
    const Choice choice = currentChoice(Listing::Queue);
    beginListing(choice);
    const auto queue = co_await m_context.attempt(GroupController(std::move(group)).loadIntoQueue(std::move(item)));
    endListing(choice);
    if (!queue) {
        m_context.report(queue.failure());
        co_return;
    }
    if (choice != currentChoice(Listing::Queue))
        co_return;
    show(*queue, Source::Queue,
        queue->isEmpty() ? std::optional<QString>(tr("The player returned no tracks for this playlist.")) : std::nullopt);
}

void TrackList::playAt(int position)
{
    if (position < 0 || position >= tracks().size())
        return;
    if (m_source == Source::Queue)
        m_context.perform([position](GroupController controller) { return controller.playQueueTrack(position); });
    else
        m_library.play(tracks().at(position));
}
