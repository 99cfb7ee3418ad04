// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/ContentItem.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The group's queue as a list that holds only pages of it: its rows are the
// whole queue, but an entry is known only once its page has come, and reads
// as a placeholder until then. The view tells which rows it shows (want());
// their pages are asked for once each (pageWanted), so a long queue costs
// what its rows in view cost, whatever its length; rows a view makes ahead
// or at its top before it scrolls to the playing entry cost nothing. At most
// a few pages are kept; the one farthest from the rows a view last showed
// goes, never one of those, and its rows read as placeholders again.
class QueueListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the queue.")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    // Entries per Browse: a view's rows and some on either side.
    static constexpr int pageSize = 100;
    // Enough for a view and the page around the playing entry, bounded
    // whatever the length of the queue.
    static constexpr int keptPages = 6;

    enum Role {
        TitleRole = Qt::UserRole + 1,
        ArtistRole, // empty when the entry names none
        IsLoadedRole, // false while the row is a placeholder
        IsCurrentRole, // the entry that plays
    };

    using QAbstractListModel::QAbstractListModel;

    static int pageOf(int row) { return row / pageSize; }

    int count() const { return m_count; }
    // The queue's length: rows come and go at the end, so a view keeps its
    // place; the pages it showed are read again by the store.
    void setCount(int count);
    // The entries from `start` (a page's first row), as the player listed
    // them at the queue's version `version`.
    void setPage(int start, const QList<SonosKit::ContentItem> &items, quint32 version);
    // No rows, no pages: another group's queue, or Up Next closed.
    void clear();
    // The playing entry's row, -1 for none.
    void setCurrentIndex(int row);
    std::optional<SonosKit::ContentItem> item(int row) const;
    // The version `row`'s page was read at; none while it is a placeholder.
    std::optional<quint32> versionAt(int row) const;
    // A page is held as read at a version other than `version`.
    bool holdsOtherThan(quint32 version) const;
    // The rows from `first` to `last` show: their pages not held or asked
    // for are asked for.
    Q_INVOKABLE void want(int first, int last);
    // The pages asked for and not dropped since: what a view shows.
    QList<int> askedPages() const;
    int heldPageCount() const { return int(m_pages.size()); }
    // A page the store could not read: its rows read as placeholders, and
    // it may be asked for again.
    void forgetAsked(int page) { dropPage(page); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void countChanged();
    // A row of `page` shows and the page is neither held nor asked for.
    void pageWanted(int page);

private:
    void rowsChanged(int first, int last);
    void dropFarthestFrom(int page);
    void dropPage(int page);

    int m_count = 0;
    int m_current = -1;
    struct Page {
        QList<SonosKit::ContentItem> items;
        quint32 version = 0;
    };

    QHash<int, Page> m_pages;
    QSet<int> m_asked;
    // The rows a view last showed (want()); -1 before any.
    int m_wantedFirst = -1;
    int m_wantedLast = -1;
};
