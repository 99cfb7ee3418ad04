// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/StoreTask.h"

#include "Quillo/models/ContentItemListModel.h"
#include "Quillo/models/ItemRecord.h"
#include "Quillo/models/ProviderFilterModel.h"

#include "SonosKit/ContentItem.h"
#include "SonosKit/ZoneGroup.h"
#include "SonosKit/events/ContentDirectoryEvent.h"

#include <QCoroTask>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <optional>

class Household;
class Preferences;
class StoreContext;

// The household's Sonos Favorites and Sonos Playlists, the provider filter
// over them, the chosen entry, the entries marked unplayable, and playing
// an entry.
class Library : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the library.")
    Q_PROPERTY(ContentItemListModel *favorites READ favoritesModel CONSTANT)
    Q_PROPERTY(ProviderFilterModel *visibleFavorites READ visibleFavoritesModel CONSTANT)
    // The filter's entries for a chooser: {value, text}, "every provider"
    // first with an empty value.
    Q_PROPERTY(QVariantList providerChoices READ providerChoices NOTIFY providersChanged)
    Q_PROPERTY(int selectedProviderIndex READ selectedProviderIndex NOTIFY selectedProviderIndexChanged)
    // The chosen provider's name; empty when every provider shows.
    Q_PROPERTY(QString selectedProvider READ selectedProviderText NOTIFY selectedProviderChanged)
    Q_PROPERTY(ItemRecord selectedItem READ selectedItemRecord NOTIFY selectedItemChanged)
    Q_PROPERTY(bool hasSelectedItem READ hasSelectedItem NOTIFY selectedItemChanged)
    // Follows the list as well as the choice, like the group picker's.
    Q_PROPERTY(int selectedItemIndex READ selectedItemIndex NOTIFY selectedItemIndexChanged)
    // Why the chosen entry is dimmed; empty when it is not.
    Q_PROPERTY(QString selectedItemHelpText READ selectedItemHelpText NOTIFY selectedItemHelpTextChanged)
    Q_PROPERTY(bool isRefreshing READ isRefreshing NOTIFY isRefreshingChanged)

public:
    Library(StoreContext &context, Household &household, Preferences &preferences, QObject *parent = nullptr);

    // Favorites, Sonos Playlists and service names of the selected group,
    // the three at once; never fails. Every call reloads.
    QCoro::Task<void> load();
    // The household read again, then the lists: the footer's Refresh.
    Q_INVOKABLE void refresh();
    // The household's content directory told its update ids: when those of
    // the favorites or the playlists moved since the last ones heard, the
    // lists were changed elsewhere. The first ids heard are only recorded.
    void apply(const SonosKit::ContentDirectoryEvent &event);
    // The lists may have changed elsewhere: loaded again at once while the
    // panel is open; its next opening loads them otherwise.
    void changedElsewhere();
    // An empty provider shows every provider.
    Q_INVOKABLE void selectProvider(const QString &provider);
    Q_INVOKABLE void selectItem(const QString &itemID);
    Q_INVOKABLE void playSelected();
    void play(const SonosKit::ContentItem &item);

    const QList<SonosKit::ContentItem> &favorites() const { return m_favorites.items(); }
    // The favorites the filter lets through, in their order.
    QList<SonosKit::ContentItem> visibleFavorites() const;
    // The providers of the favorites, sorted as a file browser sorts names.
    const QStringList &providers() const { return m_providers; }
    const std::optional<QString> &selectedProvider() const { return m_selectedProvider; }
    const std::optional<QString> &selectedItemID() const { return m_selectedItemID; }
    const std::optional<SonosKit::ContentItem> &selectedItem() const { return m_selectedItem; }
    const QSet<QString> &unplayableIDs() const { return m_unplayableIDs; }
    const QHash<qint64, QString> &serviceNames() const { return m_favorites.serviceNames(); }

    void setFavorites(QList<SonosKit::ContentItem> favorites);
    void setSelectedProvider(std::optional<QString> provider);
    void setSelectedItemID(std::optional<QString> id);

    ContentItemListModel *favoritesModel() { return &m_favorites; }
    ProviderFilterModel *visibleFavoritesModel() { return &m_visibleFavorites; }
    QVariantList providerChoices() const;
    int selectedProviderIndex() const { return m_selectedProviderIndex; }
    QString selectedProviderText() const { return m_selectedProvider.value_or(QString()); }
    ItemRecord selectedItemRecord() const { return m_selectedItem ? ItemRecord(*m_selectedItem) : ItemRecord(); }
    bool hasSelectedItem() const { return m_selectedItem.has_value(); }
    int selectedItemIndex() const { return m_selectedItemIndex; }
    QString selectedItemHelpText() const { return m_selectedItemHelpText; }
    bool isRefreshing() const { return m_isRefreshing; }

Q_SIGNALS:
    void favoritesChanged();
    void providersChanged();
    void selectedProviderChanged();
    void selectedProviderIndexChanged();
    void selectedItemIDChanged();
    void selectedItemChanged();
    void selectedItemIndexChanged();
    void selectedItemHelpTextChanged();
    void unplayableIDsChanged();
    void isRefreshingChanged();
    // The user chose another entry or provider.
    void choiceMade();
    // The lists were loaded again; the chosen entry is the one kept, if any.
    void loaded();

private:
    StoreTask<void> loadTask();
    void setServiceNames(const QHash<qint64, QString> &names);
    // Marking and unmarking always notify, even when nothing changed: a
    // listener learns of every verdict.
    void markUnplayable(const QString &id);
    void unmarkUnplayable(const QString &id);
    void setRefreshing(bool refreshing);
    StoreTask<void> refreshTask();
    StoreTask<void> reloadTask();
    StoreTask<void> searchAgainTask();
    StoreTask<void> playTask(SonosKit::ZoneGroup group, SonosKit::ContentItem item);
    void updateProviders();
    void updateSelectedProviderIndex();
    void updateSelectedItem();
    void updateSelectedItemHelpText();

    StoreContext &m_context;
    Household &m_household;
    Preferences &m_preferences;
    ContentItemListModel m_favorites;
    ProviderFilterModel m_visibleFavorites;
    QStringList m_providers;
    std::optional<QString> m_selectedProvider;
    int m_selectedProviderIndex = 0;
    std::optional<QString> m_selectedItemID;
    std::optional<SonosKit::ContentItem> m_selectedItem;
    int m_selectedItemIndex = -1;
    QString m_selectedItemHelpText;
    QSet<QString> m_unplayableIDs;
    bool m_isRefreshing = false;
    // The update ids last heard in an event.
    std::optional<QString> m_favoritesUpdateID;
    std::optional<QString> m_playlistsUpdateID;
    // Changes heard while a reload ran: one more follows it.
    bool m_reloading = false;
    bool m_reloadAgain = false;
    // Loads may overlap: one never shows its lists after a later one did,
    // nor after the household was switched or searched for again.
    quint64 m_loadsStarted = 0;
    quint64 m_newestShown = 0;
};
