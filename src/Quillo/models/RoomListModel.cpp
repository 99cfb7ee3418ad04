// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/RoomListModel.h"

QVariant RoomListModel::data(const QModelIndex &index, int role) const
{
    const RoomRecord *room = itemAt(index);
    if (!room)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return room->name;
    case RoomIDRole:
        return room->id;
    case InGroupRole:
        return room->inGroup;
    case CanLeaveRole:
        return room->canLeave;
    case HasLevelRole:
        return room->hasLevel;
    case VolumeRole:
        return room->volume;
    case MutedRole:
        return room->muted;
    default:
        return {};
    }
}

QHash<int, QByteArray> RoomListModel::roleNames() const
{
    return {{RoomIDRole, "roomID"}, {NameRole, "name"}, {InGroupRole, "inGroup"}, {CanLeaveRole, "canLeave"},
        {HasLevelRole, "hasLevel"}, {VolumeRole, "volume"}, {MutedRole, "muted"}};
}
