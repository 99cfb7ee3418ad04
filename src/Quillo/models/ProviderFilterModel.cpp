// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/ProviderFilterModel.h"

ProviderFilterModel::ProviderFilterModel(QAbstractItemModel *source, int providerRole, QObject *parent)
    : QSortFilterProxyModel(parent)
    , m_providerRole(providerRole)
{
    setSourceModel(source);
    // Service names arrive after the items: a changed provider moves rows in
    // or out of the filter without a reset of the source.
    setDynamicSortFilter(true);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, &ProviderFilterModel::updateCount);
    connect(this, &QAbstractItemModel::modelReset, this, &ProviderFilterModel::updateCount);
    connect(this, &QAbstractItemModel::layoutChanged, this, &ProviderFilterModel::updateCount);
    m_count = rowCount();
}

void ProviderFilterModel::setProvider(const QString &provider)
{
    if (provider == m_provider)
        return;
    m_provider = provider;
    invalidateFilter();
    updateCount();
}

bool ProviderFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_provider.isEmpty())
        return true;
    return sourceModel()->index(sourceRow, 0, sourceParent).data(m_providerRole).toString() == m_provider;
}

void ProviderFilterModel::updateCount()
{
    const int count = rowCount();
    if (count == m_count)
        return;
    m_count = count;
    Q_EMIT countChanged();
}
