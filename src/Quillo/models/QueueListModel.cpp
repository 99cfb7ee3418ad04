// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/QueueListModel.h"

#include <algorithm>

void QueueListModel::setCount(int count)
{
    count = std::max(count, 0);
    if (count == m_count)
        return;
    if (count > m_count) {
        beginInsertRows({}, m_count, count - 1);
        m_count = count;
        endInsertRows();
    } else {
        beginRemoveRows({}, count, m_count - 1);
        m_count = count;
        // Pages wholly past the end go, and are not read again; the last
        // one's entries past it stay until its next read, as no row shows them.
        m_pages.removeIf([count](const auto &page) { return page.key() * pageSize >= count; });
        m_asked.removeIf([count](int page) { return page * pageSize >= count; });
        endRemoveRows();
    }
    if (m_current >= m_count)
        m_current = -1;
    Q_EMIT countChanged();
}

void QueueListModel::setPage(int start, const QList<SonosKit::ContentItem> &items, quint32 version)
{
    const int page = pageOf(start);
    m_pages.insert(page, {items.mid(0, pageSize), version});
    m_asked.insert(page);
    dropFarthestFrom(page);
    const int first = page * pageSize;
    const int last = std::min(first + pageSize, m_count) - 1;
    if (first <= last)
        rowsChanged(first, last);
}

void QueueListModel::dropFarthestFrom(int page)
{
    // From the pages a view shows; before one shows, from the newest. A page
    // that answers late, far from where the view went since, goes first.
    const bool shown = m_wantedFirst >= 0;
    const int firstShown = shown ? pageOf(m_wantedFirst) : page;
    const int lastShown = shown ? pageOf(m_wantedLast) : page;
    const auto distance = [firstShown, lastShown](
                              int held) { return held < firstShown ? firstShown - held : std::max(held - lastShown, 0); };
    while (m_pages.size() > keptPages) {
        const auto farthest = std::max_element(
            m_pages.keyBegin(), m_pages.keyEnd(), [&distance](int a, int b) { return distance(a) < distance(b); });
        if (distance(*farthest) == 0)
            return;
        dropPage(*farthest);
    }
}

void QueueListModel::dropPage(int page)
{
    m_asked.remove(page);
    if (m_pages.remove(page) == 0)
        return;
    // Its rows are placeholders now, asked for again once they show.
    const int first = page * pageSize;
    const int last = std::min(first + pageSize, m_count) - 1;
    if (first <= last)
        rowsChanged(first, last);
}

void QueueListModel::clear()
{
    const bool hadRows = m_count > 0;
    beginResetModel();
    m_count = 0;
    m_current = -1;
    m_pages.clear();
    m_asked.clear();
    m_wantedFirst = m_wantedLast = -1;
    endResetModel();
    if (hadRows)
        Q_EMIT countChanged();
}

void QueueListModel::setCurrentIndex(int row)
{
    row = row >= 0 && row < m_count ? row : -1;
    if (row == m_current)
        return;
    const int old = std::exchange(m_current, row);
    for (const int changed : {old, row}) {
        if (changed >= 0)
            Q_EMIT dataChanged(index(changed), index(changed), {IsCurrentRole});
    }
}

std::optional<SonosKit::ContentItem> QueueListModel::item(int row) const
{
    const auto page = m_pages.constFind(pageOf(row));
    if (row < 0 || row >= m_count || page == m_pages.cend() || row % pageSize >= page->items.size())
        return std::nullopt;
    return page->items.at(row % pageSize);
}

std::optional<quint32> QueueListModel::versionAt(int row) const
{
    const auto page = m_pages.constFind(pageOf(row));
    if (row < 0 || row >= m_count || page == m_pages.cend() || row % pageSize >= page->items.size())
        return std::nullopt;
    return page->version;
}

bool QueueListModel::holdsOtherThan(quint32 version) const
{
    return std::any_of(m_pages.cbegin(), m_pages.cend(), [version](const Page &page) { return page.version != version; });
}

void QueueListModel::want(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, m_count - 1);
    if (first > last)
        return;
    m_wantedFirst = first;
    m_wantedLast = last;
    for (int page = pageOf(first); page <= pageOf(last); ++page) {
        if (m_pages.contains(page) || m_asked.contains(page))
            continue;
        m_asked.insert(page);
        Q_EMIT pageWanted(page);
    }
}

QList<int> QueueListModel::askedPages() const
{
    QList<int> pages = m_asked.values();
    std::sort(pages.begin(), pages.end());
    return pages;
}

int QueueListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant QueueListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    if (role == IsCurrentRole)
        return row == m_current;
    const std::optional<SonosKit::ContentItem> entry = item(row);
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return entry ? entry->title : QString();
    case ArtistRole:
        return entry ? entry->artist.value_or(QString()) : QString();
    case IsLoadedRole:
        return entry.has_value();
    default:
        return {};
    }
}

QHash<int, QByteArray> QueueListModel::roleNames() const
{
    return {{TitleRole, "title"}, {ArtistRole, "artist"}, {IsLoadedRole, "isLoaded"}, {IsCurrentRole, "isCurrent"}};
}

void QueueListModel::rowsChanged(int first, int last)
{
    Q_EMIT dataChanged(index(first), index(last), {TitleRole, ArtistRole, IsLoadedRole});
}
