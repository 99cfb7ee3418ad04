// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/ContentItemListModel.h"

#include <QCoreApplication>

void ContentItemListModel::setMarkedIDs(const QSet<QString> &ids)
{
    if (ids == m_marked)
        return;
    const QSet<QString> before = std::exchange(m_marked, ids);
    for (int row = 0; row < rowCount(); ++row) {
        const QString &id = items()[row].id;
        if (before.contains(id) != m_marked.contains(id))
            Q_EMIT dataChanged(index(row), index(row), {IsMarkedRole, IsUnplayableRole, HelpTextRole});
    }
}

void ContentItemListModel::setServiceNames(const QHash<qint64, QString> &names)
{
    if (names == m_serviceNames)
        return;
    m_serviceNames = names;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0), index(rowCount() - 1), {ProviderRole});
}

QString ContentItemListModel::unplayableHelp(const SonosKit::ContentItem &item)
{
    if (item.uri.isEmpty())
        return QCoreApplication::translate(
            "ContentItemListModel", "A browse shortcut, not a playable item. Open it in the Sonos app.");
    return QCoreApplication::translate(
        "ContentItemListModel", "This item's music service needs re-authorizing in the Sonos app.");
}

QVariant ContentItemListModel::data(const QModelIndex &index, int role) const
{
    const SonosKit::ContentItem *item = itemAt(index);
    if (!item)
        return {};
    const bool marked = m_marked.contains(item->id);
    switch (role) {
    case IDRole:
        return item->id;
    case Qt::DisplayRole:
    case TitleRole:
        return item->title;
    case URIRole:
        return item->uri;
    case ArtistRole:
        return item->artist.value_or(QString());
    case AlbumArtURIRole:
        return item->albumArtURI.value_or(QString());
    case IsContainerRole:
        return item->isContainer;
    case IsPlayableRole:
        return item->isPlayable();
    case IsMarkedRole:
        return marked;
    case IsUnplayableRole:
        return marked || item->uri.isEmpty();
    case HelpTextRole:
        return marked || item->uri.isEmpty() ? unplayableHelp(*item) : QString();
    case ProviderRole:
        return item->providerName(m_serviceNames);
    default:
        return {};
    }
}

QHash<int, QByteArray> ContentItemListModel::roleNames() const
{
    return {{IDRole, "id"}, {TitleRole, "title"}, {URIRole, "uri"}, {ArtistRole, "artist"}, {AlbumArtURIRole, "albumArtURI"},
        {IsContainerRole, "isContainer"}, {IsPlayableRole, "isPlayable"}, {IsMarkedRole, "isMarked"},
        {IsUnplayableRole, "isUnplayable"}, {HelpTextRole, "helpText"}, {ProviderRole, "provider"}};
}
