// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

// The favorites of one provider, or all of them when none is chosen; the
// rows keep the order of the list they filter.
class ProviderFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its lists.")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit ProviderFilterModel(QAbstractItemModel *source, int providerRole, QObject *parent = nullptr);

    int count() const { return rowCount(); }
    // Empty shows every row.
    void setProvider(const QString &provider);
    const QString &provider() const { return m_provider; }

Q_SIGNALS:
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    void updateCount();

    int m_providerRole;
    QString m_provider;
    int m_count = 0;
};
