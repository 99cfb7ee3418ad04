// Choosing a group or an entry, playing, and the chosen entry's track list.
#include "PlayerStore.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/GroupController.h"
#include "SonosKit/SonosError.h"

using SonosKit::ContentItem;
using SonosKit::GroupController;
using SonosKit::SonosError;
using SonosKit::ZoneGroup;

namespace {

constexpr qint64 reauthorizationFault = 701;

const QString browseShortcutText = QStringLiteral("This is a browse shortcut. Open it in the Sonos app.");
const QString emptyQueueText = QStringLiteral("The player returned no tracks for this playlist.");

QString queueExplanation(const QString &provider, const std::optional<ZoneGroup> &group)
{
    return provider + QStringLiteral(" doesn't list tracks to the player directly. Showing them loads this playlist into ")
        + (group ? group->displayName() : QStringLiteral("the speaker")) + QStringLiteral("'s queue, replacing what's there.");
}

QString messageOf(const std::exception &error)
{
    if (const auto *sonos = dynamic_cast<const SonosError *>(&error))
        return sonos->errorDescription();
    return QString::fromLocal8Bit(error.what());
}

} // namespace

void PlayerStore::selectGroup(const ZoneGroup &group)
{
    setSelectedRoomName(group.coordinator.roomName);
    setPlayback(std::nullopt);
    setPendingVolume(std::nullopt);
    refreshPlaybackTask();
}

void PlayerStore::selectGroupWithID(const QString &id)
{
    for (const ZoneGroup &group : groups()) {
        if (group.id == id) {
            selectGroup(group);
            return;
        }
    }
}

void PlayerStore::selectItem(const QString &itemID)
{
    setSelectedItemID(itemID);
    loadTracks();
}

QCoro::Task<void> PlayerStore::refreshPlaybackTask()
{
    co_await refreshPlayback();
}

PlayerStore::TrackChoice PlayerStore::currentTrackChoice() const
{
    return {m_selectedGroup ? m_selectedGroup->id : QString(), m_selectedItem ? m_selectedItem->id : QString(),
            m_selectedProvider};
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
    const bool loading = m_listings.contains(currentTrackChoice());
    if (loading == m_isLoadingTracks)
        return;
    m_isLoadingTracks = loading;
    Q_EMIT isLoadingTracksChanged();
}

QCoro::Task<void> PlayerStore::loadTracks()
{
    const Lifetime::Watch watch = m_lifetime.watch();
    setTracksSource(TrackSource::Directory);
    setCanLoadTracksFromQueue(false);

    const std::optional<ContentItem> entry = selectedItem();
    const std::optional<ZoneGroup> group = selectedGroup();
    if (!entry || !group) {
        setTracks({});
        setTracksMessage(std::nullopt);
        co_return;
    }

    if (!entry->isContainer) {
        if (entry->uri.isEmpty()) {
            setTracks({});
            setTracksMessage(browseShortcutText);
        } else {
            setTracks({*entry});
            setTracksMessage(std::nullopt);
        }
        co_return;
    }

    const TrackChoice choice = currentTrackChoice();
    beginListing(choice);
    QList<ContentItem> children;
    try {
        children = co_await SonosKit::ContentDirectory(group->coordinator.host).children(*entry, m_lifetime.token());
    } catch (...) {
        // A failed listing reads like an empty one: both are answered by
        // offering the queue.
        children.clear();
    }
    if (watch.ended())
        co_return;
    endListing(choice);
    // The user has moved on; this list belongs to an entry no longer shown.
    if (choice != currentTrackChoice())
        co_return;

    if (!children.isEmpty()) {
        setTracks(std::move(children));
        setTracksMessage(std::nullopt);
        
        setTracksSource(TrackSource::Directory);
        setCanLoadTracksFromQueue(false);
        co_return;
    }
    setTracks({});
    setTracksSource(TrackSource::Directory);
    setCanLoadTracksFromQueue(!entry->uri.isEmpty());
    setTracksMessage(queueExplanation(entry->providerName(m_serviceNames), selectedGroup()));
}

void PlayerStore::showTracks()
{
    const std::optional<ContentItem> entry = selectedItem();
    const std::optional<ZoneGroup> group = selectedGroup();
    if (!entry || !group)
        return;
    showTracksTask(*group, *entry);
}

QCoro::Task<void> PlayerStore::showTracksTask(ZoneGroup group, ContentItem item)
{
    const Lifetime::Watch watch = m_lifetime.watch();
    const TrackChoice choice = currentTrackChoice();
    beginListing(choice);
    std::optional<QList<ContentItem>> queue;
    std::optional<QString> failure;
    try {
        queue = co_await GroupController(std::move(group)).loadIntoQueue(std::move(item));
    } catch (const SonosError &error) {
        if (!error.isCancellation())
            failure = error.errorDescription();
    } catch (const std::exception &error) {
        failure = messageOf(error);
    }
    if (watch.ended())
        co_return;
    endListing(choice);
    if (failure) {
        setStatus(Status::failed(*failure));
        co_return;
    }
    if (!queue || choice != currentTrackChoice())
        co_return;
    const bool empty = queue->isEmpty();
    setTracks(std::move(*queue));
    setTracksSource(TrackSource::Queue);
    setCanLoadTracksFromQueue(false);
    setTracksMessage(empty ? std::optional<QString>(emptyQueueText) : std::nullopt);
}

void PlayerStore::play(const ContentItem &item)
{
    const std::optional<ZoneGroup> group = selectedGroup();
    if (!group)
        return;
    playTask(*group, item);
}

QCoro::Task<void> PlayerStore::playTask(ZoneGroup group, ContentItem item)
{
    const Lifetime::Watch watch = m_lifetime.watch();
    std::optional<SonosError> sonosFailure;
    std::optional<QString> otherFailure;
    try {
        co_await GroupController(std::move(group)).playItem(item);
    } catch (const SonosError &error) {
        sonosFailure = error;
    } catch (const std::exception &error) {
        otherFailure = messageOf(error);
    }
    if (watch.ended())
        co_return;
    if (sonosFailure) {
        if (sonosFailure->kind() == SonosError::Kind::upnpFault && sonosFailure->code() == reauthorizationFault) {
            markUnplayable(item.id);
            setStatus(Status::failed(QLatin1Char('"') + item.title + QLatin1Char('"')
                                     + QStringLiteral(" can't play — its music service needs re-authorizing in the Sonos app.")));
        } else if (!sonosFailure->isCancellation()) {
            setStatus(Status::failed(sonosFailure->errorDescription()));
        }
        co_return;
    }
    if (otherFailure) {
        setStatus(Status::failed(*otherFailure));
        co_return;
    }
    unmarkUnplayable(item.id);
    co_await refreshPlayback();
}

void PlayerStore::playSelectedItem()
{
    if (const std::optional<ContentItem> item = selectedItem())
        play(*item);
}

void PlayerStore::playTrack(const ContentItem &track, int position)
{
    if (m_tracksSource == TrackSource::Queue) {
        perform([position](GroupController controller) { return controller.playQueueTrack(position); });
        return;
    }
    play(track);
}

void PlayerStore::playTrackAt(int position)
{
    if (position < 0 || position >= tracks().size())
        return;
    playTrack(tracks().at(position), position);
}
