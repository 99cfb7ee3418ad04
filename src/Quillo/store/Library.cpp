// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Library.h"

#include <QCollator>
#include <QCoreApplication>
#include <QLocale>
#include <QVariantMap>

#include <algorithm>

using SonosKit::ContentItem;

namespace {

// Sorting as a file browser sorts names. Under the C locale QCollator drops
// numeric ordering, so fall back to an explicit locale there.
QCollator nameCollator()
{
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

Library::Library(QObject *parent)
    : QObject(parent)
    , m_visibleFavorites(&m_favorites, ContentItemListModel::ProviderRole)
{ }

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
    if (refreshing == m_isRefreshing)
        return;
    m_isRefreshing = refreshing;
    Q_EMIT isRefreshingChanged();
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
    const QCollator collator = nameCollator();
    std::stable_sort(providers.begin(), providers.end(),
        [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
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
