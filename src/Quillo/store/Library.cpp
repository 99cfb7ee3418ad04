// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Library.h"

#include "Quillo/models/NaturalOrder.h"
#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/Preferences.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/GroupController.h"
#include "SonosKit/MusicServices.h"

#include <QCoreApplication>
#include <QVariantMap>

#include <algorithm>

using SonosKit::CancellationToken;
using SonosKit::ContentItem;
using SonosKit::ZoneGroup;

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

// Records `heard` as the id last seen; true when it differs from one seen
// before. An event without the id says nothing about it.
bool moved(std::optional<QString> &seen, const std::optional<QString> &heard)
{
    if (!heard)
        return false;
    const bool differs = seen && *seen != *heard;
    seen = heard;
    return differs;
}

} // namespace

Library::Library(StoreContext &context, Household &household, Preferences &preferences, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
    , m_preferences(preferences)
    , m_visibleFavorites(&m_favorites, ContentItemListModel::ProviderRole)
{
    setSelectedProvider(m_preferences.selectedProvider());
    // A load begun before counts as overtaken: its lists are of what was
    // shown then, even when no later load shows any.
    connect(&m_household, &Household::searchRestarted, this, [this] {
        m_newestShown = m_loadsStarted + 1;
        setFavorites({});
        StoreContext::start(searchAgainTask());
    });
    // Another household's lists: what this one's were, and the versions its
    // events told, say nothing of them.
    connect(&m_household, &Household::householdSwitched, this, [this] {
        m_favoritesUpdateID.reset();
        m_playlistsUpdateID.reset();
        setSelectedItemID(std::nullopt);
        m_newestShown = m_loadsStarted + 1;
        setFavorites({});
        StoreContext::start(load());
    });
}

QCoro::Task<void> Library::load()
{
    return loadTask();
}

StoreTask<void> Library::loadTask()
{
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return;
    const QString host = group->coordinator.host;
    const quint64 number = ++m_loadsStarted;

    // Requests of this load stop when it gives up or when the store goes.
    CancellationToken requests;
    QObject link;
    m_context.token().onCancel(&link, [requests] { requests.cancel(); });

    auto favoritesRequest = SonosKit::ContentDirectory(host).favorites(requests);
    auto playlistsRequest = SonosKit::ContentDirectory(host).playlists(requests);
    auto namesRequest = SonosKit::MusicServices(host).serviceNamesOrEmpty(requests);

    Attempt<QList<ContentItem>> lists = co_await m_context.attempt(std::move(favoritesRequest));
    const bool playlistsAwaited = bool(lists);
    if (lists) {
        const Attempt<QList<ContentItem>> playlists = co_await m_context.attempt(std::move(playlistsRequest));
        if (playlists)
            *lists += *playlists;
        else
            lists = Attempt<QList<ContentItem>>(playlists.failure());
    }
    // A load that started later showed its lists meanwhile: these are older.
    const bool overtaken = number < m_newestShown;
    if (!lists || overtaken) {
        requests.cancel();
        if (!playlistsAwaited)
            co_await m_context.guarded(drain(playlistsRequest));
        co_await m_context.guarded(drain(namesRequest));
        if (!overtaken)
            m_context.report(lists.failure());
        co_return;
    }
    m_newestShown = number;
    setFavorites(std::move(*lists));

    // An unreadable service list counts as empty.
    const Attempt<QHash<qint64, QString>> names = co_await m_context.attempt(std::move(namesRequest));
    setServiceNames(names ? *names : QHash<qint64, QString>());

    if (m_selectedProvider && !m_providers.contains(*m_selectedProvider))
        selectProvider(QString());

    // The choice as it stands now, not as it stood when the load began: an
    // entry picked while the lists were on their way stays picked.
    std::optional<QString> restored;
    if (m_selectedItemID) {
        const QList<ContentItem> visible = visibleFavorites();
        if (std::any_of(
                visible.cbegin(), visible.cend(), [this](const ContentItem &item) { return item.id == *m_selectedItemID; }))
            restored = m_selectedItemID;
    }
    setSelectedItemID(restored);
    Q_EMIT loaded();
}

void Library::apply(const SonosKit::ContentDirectoryEvent &event)
{
    // Both compared, so that both are recorded.
    const bool favoritesMoved = moved(m_favoritesUpdateID, event.favoritesUpdateID);
    const bool playlistsMoved = moved(m_playlistsUpdateID, event.savedQueuesUpdateID);
    if (favoritesMoved || playlistsMoved)
        changedElsewhere();
}

void Library::changedElsewhere()
{
    // Nothing shows the lists while the panel is closed.
    if (!m_context.isPanelOpen())
        return;
    if (m_reloading) {
        m_reloadAgain = true;
        return;
    }
    StoreContext::start(reloadTask());
}

StoreTask<void> Library::reloadTask()
{
    m_reloading = true;
    do {
        m_reloadAgain = false;
        co_await m_context.guarded(load());
    } while (m_reloadAgain && m_context.isPanelOpen());
    m_reloading = false;
}

void Library::refresh()
{
    StoreContext::start(refreshTask());
}

StoreTask<void> Library::refreshTask()
{
    setRefreshing(true);
    co_await m_context.guarded(m_household.refresh());
    co_await m_context.guarded(load());
    setRefreshing(false);
}

StoreTask<void> Library::searchAgainTask()
{
    co_await m_context.guarded(m_household.refresh());
    co_await m_context.guarded(load());
}

void Library::selectProvider(const QString &provider)
{
    const std::optional<QString> chosen = provider.isEmpty() ? std::nullopt : std::optional<QString>(provider);
    if (chosen == m_selectedProvider)
        return;
    m_preferences.setSelectedProvider(chosen);
    setSelectedItemID(std::nullopt);
    setSelectedProvider(chosen);
    Q_EMIT choiceMade();
}

void Library::selectItem(const QString &itemID)
{
    setSelectedItemID(itemID);
    Q_EMIT choiceMade();
}

void Library::playSelected()
{
    if (m_selectedItem)
        play(*m_selectedItem);
}

void Library::play(const ContentItem &item)
{
    if (const std::optional<ZoneGroup> group = m_household.selectedGroup())
        StoreContext::start(playTask(*group, item));
}

StoreTask<void> Library::playTask(ZoneGroup group, ContentItem item)
{
    const Attempt<void> played = co_await m_context.attempt(SonosKit::GroupController(std::move(group)).playItem(item));
    if (!played && played.failure().needsReauthorization()) {
        markUnplayable(item.id);
        //: %1 is the title of a favorite or playlist.
        m_context.report(tr("\"%1\" can't play — its music service needs re-authorizing in the Sonos app.").arg(item.title));
        co_return;
    }
    if (!played) {
        m_context.report(played.failure());
        co_return;
    }
    unmarkUnplayable(item.id);
    Q_EMIT m_context.playbackStale();
}

QList<ContentItem> Library::visibleFavorites() const
{
    QList<ContentItem> visible;
    visible.reserve(m_visibleFavorites.rowCount());
    for (int row = 0; row < m_visibleFavorites.rowCount(); ++row)
        visible.append(favorites().at(m_visibleFavorites.mapToSource(m_visibleFavorites.index(row, 0)).row()));
    return visible;
}

void Library::setFavorites(QList<ContentItem> favorites)
{
    if (!m_favorites.setItems(std::move(favorites)))
        return;
    Q_EMIT favoritesChanged();
    updateProviders();
    updateSelectedItem();
}

void Library::setServiceNames(const QHash<qint64, QString> &names)
{
    if (names == serviceNames())
        return;
    m_favorites.setServiceNames(names);
    updateProviders();
    updateSelectedItem();
}

void Library::setSelectedProvider(std::optional<QString> provider)
{
    if (provider == m_selectedProvider)
        return;
    m_selectedProvider = std::move(provider);
    m_visibleFavorites.setProvider(m_selectedProvider.value_or(QString()));
    Q_EMIT selectedProviderChanged();
    updateSelectedProviderIndex();
    updateSelectedItem();
}

void Library::setSelectedItemID(std::optional<QString> id)
{
    if (id == m_selectedItemID)
        return;
    m_selectedItemID = std::move(id);
    Q_EMIT selectedItemIDChanged();
    updateSelectedItem();
}

void Library::markUnplayable(const QString &id)
{
    m_unplayableIDs.insert(id);
    m_favorites.setMarkedIDs(m_unplayableIDs);
    updateSelectedItemHelpText();
    Q_EMIT unplayableIDsChanged();
}

void Library::unmarkUnplayable(const QString &id)
{
    m_unplayableIDs.remove(id);
    m_favorites.setMarkedIDs(m_unplayableIDs);
    updateSelectedItemHelpText();
    Q_EMIT unplayableIDsChanged();
}

void Library::setRefreshing(bool refreshing)
{
    assignNotifying(this, m_isRefreshing, refreshing, &Library::isRefreshingChanged);
}

QVariantList Library::providerChoices() const
{
    //: The provider filter's entry that shows every favorite.
    const QString everyProvider = QCoreApplication::translate("Library", "All Providers");
    QVariantList choices;
    choices.append(QVariantMap{{QStringLiteral("value"), QString()}, {QStringLiteral("text"), everyProvider}});
    for (const QString &provider : m_providers)
        choices.append(QVariantMap{{QStringLiteral("value"), provider}, {QStringLiteral("text"), provider}});
    return choices;
}

void Library::updateProviders()
{
    QStringList providers;
    for (const ContentItem &item : favorites()) {
        QString provider = item.providerName(serviceNames());
        if (!providers.contains(provider))
            providers.append(std::move(provider));
    }
    sortNaturally(providers, [](const QString &provider) { return provider; });
    if (providers != m_providers) {
        m_providers = std::move(providers);
        Q_EMIT providersChanged();
    }
    updateSelectedProviderIndex();
}

void Library::updateSelectedProviderIndex()
{
    // Entry 0 is every provider; a chosen provider without favorites (before
    // the lists are in) shows as no entry.
    const int index = m_selectedProvider
        ? (m_providers.contains(*m_selectedProvider) ? int(m_providers.indexOf(*m_selectedProvider)) + 1 : -1)
        : 0;
    if (index == m_selectedProviderIndex)
        return;
    m_selectedProviderIndex = index;
    Q_EMIT selectedProviderIndexChanged();
}

void Library::updateSelectedItem()
{
    const QList<ContentItem> visible = visibleFavorites();
    const auto chosen = [&]() -> qsizetype {
        if (m_selectedItemID) {
            const auto match = std::find_if(
                visible.cbegin(), visible.cend(), [this](const ContentItem &item) { return item.id == *m_selectedItemID; });
            if (match != visible.cend())
                return match - visible.cbegin();
        }
        const auto playable = std::find_if(
            visible.cbegin(), visible.cend(), [](const ContentItem &item) { return item.isPlayable(); });
        if (playable != visible.cend())
            return playable - visible.cbegin();
        return visible.isEmpty() ? -1 : 0;
    }();
    std::optional<ContentItem> item = chosen < 0 ? std::nullopt : std::optional<ContentItem>(visible.at(chosen));
    if (item != m_selectedItem) {
        m_selectedItem = std::move(item);
        Q_EMIT selectedItemChanged();
        updateSelectedItemHelpText();
    }
    if (int(chosen) != m_selectedItemIndex) {
        m_selectedItemIndex = int(chosen);
        Q_EMIT selectedItemIndexChanged();
    }
}

void Library::updateSelectedItemHelpText()
{
    QString text;
    if (m_selectedItem && m_unplayableIDs.contains(m_selectedItem->id))
        text = ContentItemListModel::unplayableHelp(*m_selectedItem);
    if (text == m_selectedItemHelpText)
        return;
    m_selectedItemHelpText = std::move(text);
    Q_EMIT selectedItemHelpTextChanged();
}
