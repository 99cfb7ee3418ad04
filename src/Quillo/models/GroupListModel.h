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

public:
    enum Role { IDRole = Qt::UserRole + 1, DisplayNameRole };

    using ValueListModel::ValueListModel;

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
};
