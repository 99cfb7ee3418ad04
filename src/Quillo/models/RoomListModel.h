// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/RoomRecord.h"
#include "Quillo/models/ValueListModel.h"

#include <QtQml/qqmlregistration.h>

// The household's rooms for the Rooms list: roles "roomID", "name", "inGroup",
// "canLeave", "hasLevel", "volume" and "muted".
class RoomListModel : public ValueListModel<RoomRecord>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its lists.")
    // The base's count again: QML's tools do not see through the template.
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { NameRole = Qt::UserRole + 1, RoomIDRole, InGroupRole, CanLeaveRole, HasLevelRole, VolumeRole, MutedRole };

    using ValueListModel::ValueListModel;

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
};
