// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/InputListModel.h"

QVariant InputListModel::data(const QModelIndex &index, int role) const
{
    const InputRecord *input = itemAt(index);
    if (!input)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return input->name;
    case RoomRole:
        return input->player.roomName;
    case IsTVRole:
        return input->kind == SonosKit::InputSource::Kind::tv;
    default:
        return {};
    }
}

QHash<int, QByteArray> InputListModel::roleNames() const
{
    return {{NameRole, "name"}, {RoomRole, "room"}, {IsTVRole, "isTV"}};
}
