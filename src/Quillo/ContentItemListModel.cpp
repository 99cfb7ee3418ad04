#include "ContentItemListModel.h"

ContentItemListModel::ContentItemListModel(QObject *parent)
    : ValueListModel(parent)
{
    connect(this, &QAbstractItemModel::modelReset, this, &ContentItemListModel::countChanged);
}

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

QString ContentItemListModel::unplayableHelp(const SonosKit::ContentItem &item)
{
    if (item.uri.isEmpty())
        return QStringLiteral("A browse shortcut, not a playable item. Open it in the Sonos app.");
    return QStringLiteral("This item's music service needs re-authorizing in the Sonos app.");
}

QVariant ContentItemListModel::data(const QModelIndex &index, int role) const
{
    const SonosKit::ContentItem *item = itemAt(index);
    if (!item)
        return {};
    const auto optional = [](const std::optional<QString> &value) { return value ? QVariant(*value) : QVariant(); };
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
        return optional(item->artist);
    case AlbumArtURIRole:
        return optional(item->albumArtURI);
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
    default:
        return {};
    }
}

QHash<int, QByteArray> ContentItemListModel::roleNames() const
{
    return {{IDRole, "id"},
            {TitleRole, "title"},
            {URIRole, "uri"},
            {ArtistRole, "artist"},
            {AlbumArtURIRole, "albumArtURI"},
            {IsContainerRole, "isContainer"},
            {IsPlayableRole, "isPlayable"},
            {IsMarkedRole, "isMarked"},
            {IsUnplayableRole, "isUnplayable"},
            {HelpTextRole, "helpText"}};
}
