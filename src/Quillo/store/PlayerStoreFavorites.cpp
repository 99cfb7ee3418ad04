// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Favorites and Sonos Playlists, the provider filter and the chosen entry.
#include "Quillo/store/Failure.h"
#include "Quillo/store/PlayerStore.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/MusicServices.h"

using SonosKit::CancellationToken;
using SonosKit::ContentItem;

namespace {

// Awaits a request whose outcome no longer matters, so that it never
// outlives the load that started it.
template<typename T>
QCoro::Task<void> drain(QCoro::Task<T> &task)
{
    try {
        co_await task;
    } catch (...) {
    }
}

} // namespace

QCoro::Task<void> PlayerStore::loadFavorites()
{
    const std::optional<SonosKit::ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return;
    const QString host = group->coordinator.host;

    // Requests of this load stop when it gives up or when the store goes.
    CancellationToken requests;
    QObject link;
    m_tasks.token().onCancel(&link, [requests] { requests.cancel(); });

    auto favoritesRequest = SonosKit::ContentDirectory(host).favorites(requests);
    auto playlistsRequest = SonosKit::ContentDirectory(host).playlists(requests);
    auto namesRequest = SonosKit::MusicServices(host).serviceNamesOrEmpty(requests);

    QList<ContentItem> loaded;
    std::optional<Failure> failure;
    bool playlistsAwaited = false;
    try {
        loaded = co_await guarded(std::move(favoritesRequest));
        playlistsAwaited = true;
        loaded += co_await guarded(std::move(playlistsRequest));
    } catch (const std::exception &error) {
        failure.emplace(error);
    }
    if (failure) {
        requests.cancel();
        if (!playlistsAwaited)
            co_await guarded(drain(playlistsRequest));
        co_await guarded(drain(namesRequest));
        report(*failure);
        co_return;
    }
    m_library.setFavorites(std::move(loaded));

    // An unreadable service list counts as empty.
    QHash<qint64, QString> names;
    try {
        names = co_await guarded(std::move(namesRequest));
    } catch (const std::exception &) {
    }
    m_library.setServiceNames(names);

    if (m_library.selectedProvider() && !m_library.providers().contains(*m_library.selectedProvider()))
        selectProvider(QString());

    // The choice as it stands now, not as it stood when the load began: an
    // entry picked while the lists were on their way stays picked.
    const std::optional<QString> choice = m_library.selectedItemID();
    std::optional<QString> restored;
    if (choice) {
        for (const ContentItem &item : m_library.visibleFavorites()) {
            if (item.id == *choice) {
                restored = item.id;
                break;
            }
        }
    }
    m_library.setSelectedItemID(restored);

    // A list that came from the group's queue stays: listing the directory
    // would replace it with the explanation it was loaded to get past.
    if (restored && m_trackList.source() == TrackList::Source::Queue && !m_trackList.tracks().isEmpty()) {
        m_trackList.setMessage(std::nullopt);
        co_return;
    }
    co_await guarded(loadTracks());
}

void PlayerStore::refreshFavorites()
{
    TaskGuard::start(refreshFavoritesTask());
}

QCoro::Task<void> PlayerStore::refreshFavoritesTask()
{
    m_library.setRefreshing(true);
    co_await guarded(refreshTopology());
    co_await guarded(loadFavorites());
    m_library.setRefreshing(false);
}

void PlayerStore::selectProvider(const QString &provider)
{
    const std::optional<QString> chosen = provider.isEmpty() ? std::nullopt : std::optional<QString>(provider);
    if (chosen == m_library.selectedProvider())
        return;
    m_preferences.setSelectedProvider(chosen);
    m_library.setSelectedItemID(std::nullopt);
    m_library.setSelectedProvider(chosen);
    TaskGuard::start(loadTracks());
}

void PlayerStore::selectItem(const QString &itemID)
{
    m_library.setSelectedItemID(itemID);
    TaskGuard::start(loadTracks());
}
