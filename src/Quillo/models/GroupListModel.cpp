// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/GroupListModel.h"

QVariant GroupListModel::data(const QModelIndex &index, int role) const
{
    const SonosKit::ZoneGroup *group = itemAt(index);
    if (!group)
        return {};
    switch (role) {
    case IDRole:
        return group->id;
    case Qt::DisplayRole:
    case DisplayNameRole:
        return group->displayName();
    default:
        return {};
    }
}

QHash<int, QByteArray> GroupListModel::roleNames() const
{
    return {{IDRole, "id"}, {DisplayNameRole, "displayName"}};
}
