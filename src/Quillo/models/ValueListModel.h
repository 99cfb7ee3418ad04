// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>

// The count QML reads from every list of the store. A template cannot carry
// properties, so the lists share this base.
class CountedListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    using QAbstractListModel::QAbstractListModel;

    int count() const { return rowCount(); }

Q_SIGNALS:
    void countChanged();
};

// A list model over a list of values that resets only when the new list
// differs from the one it shows, so an unchanged reload redraws nothing.
template<typename T>
class ValueListModel : public CountedListModel
{
public:
    using CountedListModel::CountedListModel;

    const QList<T> &items() const { return m_items; }

    // True when the list changed.
    bool setItems(QList<T> items)
    {
        if (items == m_items)
            return false;
        if (items.size() == m_items.size()) {
            // Same length: tell views which rows changed instead of resetting,
            // so a chooser keeps its place and delegates are reused.
            m_items.swap(items);
            qsizetype first = -1;
            qsizetype last = -1;
            for (qsizetype row = 0; row < m_items.size(); ++row) {
                if (!(m_items[row] == items[row])) {
                    if (first < 0)
                        first = row;
                    last = row;
                }
            }
            Q_EMIT dataChanged(index(int(first)), index(int(last)));
            return true;
        }
        beginResetModel();
        m_items = std::move(items);
        endResetModel();
        Q_EMIT countChanged();
        return true;
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_items.size()); }

protected:
    const T *itemAt(const QModelIndex &index) const
    {
        if (!index.isValid() || index.row() < 0 || index.row() >= m_items.size())
            return nullptr;
        return &m_items[index.row()];
    }

private:
    QList<T> m_items;
};
