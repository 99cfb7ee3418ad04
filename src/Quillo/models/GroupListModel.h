// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/ValueListModel.h"

#include "SonosKit/ZoneGroup.h"

#include <QtQml/qqmlregistration.h>

// The household's groups for the group picker: roles "id" and "displayName".
class GroupListModel : public ValueListModel<SonosKit::ZoneGroup>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its lists.")
    // The base's count again: QML's tools do not see through the template
    // between this class and the base.
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { IDRole = Qt::UserRole + 1, DisplayNameRole };

    using ValueListModel::ValueListModel;

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
};
