// Favorites and Sonos Playlists, the provider filter and the chosen entry.
#include "PlayerStore.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/MusicServices.h"
#include "SonosKit/SonosError.h"

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

QCoro::Task<void> PlayerStore::loadFavorites(bool)
{
    // Every caller reloads; there is no cache to honour.
    const Lifetime::Watch watch = m_lifetime.watch();
    const std::optional<SonosKit::ZoneGroup> group = selectedGroup();
    if (!group)
        co_return;
    const QString host = group->coordinator.host;

    // Requests of this load stop when it gives up or when the store goes.
    CancellationToken requests;
    QObject link;
    m_lifetime.token().onCancel(&link, [requests] { requests.cancel(); });

    auto favoritesRequest = SonosKit::ContentDirectory(host).favorites(requests);
    auto playlistsRequest = SonosKit::ContentDirectory(host).playlists(requests);
    auto namesRequest = SonosKit::MusicServices(host).serviceNamesOrEmpty(requests);

    QList<ContentItem> loaded;
    std::optional<QString> failure;
    bool playlistsAwaited = false;
    try {
        loaded = co_await favoritesRequest;
        playlistsAwaited = true;
        loaded += co_await playlistsRequest;
    } catch (const SonosKit::SonosError &error) {
        failure = error.errorDescription();
    } catch (const std::exception &error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    if (failure) {
        requests.cancel();
        if (!playlistsAwaited)
            co_await drain(playlistsRequest);
        co_await drain(namesRequest);
        if (watch.ended())
            co_return;
        setStatus(Status::failed(*failure));
        co_return;
    }
    if (watch.ended())
        co_return;
    setFavorites(std::move(loaded));

    // An unreadable service list counts as empty; only a store that is going
    // away can still make this await fail.
    QHash<qint64, QString> names;
    try {
        names = co_await namesRequest;
    } catch (...) {
    }
    if (watch.ended())
        co_return;
    setServiceNames(std::move(names));

    if (!availableProviders().contains(m_selectedProvider))
        setSelectedProvider(allProviders);

    // The choice as it stands now, not as it stood when the load began: an
    // entry picked while the lists were on their way stays picked.
    const std::optional<QString> choice = m_selectedItemID;
    std::optional<QString> restored;
    if (choice) {
        for (const ContentItem &item : visibleFavorites()) {
            if (item.id == *choice) {
                restored = item.id;
                break;
            }
        }
    }
    setSelectedItemID(restored);

    // A list that came from the group's queue stays: listing the directory
    // would replace it with the explanation it was loaded to get past.
    if (restored && m_tracksSource == TrackSource::Queue && !tracks().isEmpty()) {
        setTracksMessage(std::nullopt);
        co_return;
    }
    co_await loadTracks();
}

void PlayerStore::refreshFavorites()
{
    refreshFavoritesTask();
}

QCoro::Task<void> PlayerStore::refreshFavoritesTask()
{
    const Lifetime::Watch watch = m_lifetime.watch();
    setRefreshingFavorites(true);
    co_await refreshTopology();
    if (watch.ended())
        co_return;
    co_await loadFavorites(true);
    if (watch.ended())
        co_return;
    setRefreshingFavorites(false);
}
