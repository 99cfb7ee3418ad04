// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/ValueListModel.h"

#include "SonosKit/SonosHousehold.h"

#include <QString>
#include <QtQml/qqmlregistration.h>

// One entry of the household chooser. The players announce no name for their
// household, so it is named by its generation and its rooms.
struct HouseholdEntry {
    QString id;
    QString label;

    // "S2 · Living Room, Kitchen +3", "S1 · Garage"; without the generation
    // when the players do not tell it. Rooms in the group picker's order.
    static QString labelFor(const SonosKit::SonosHousehold &household);

    friend bool operator==(const HouseholdEntry &, const HouseholdEntry &) = default;
};

// The households found, for the household chooser: roles "id" and "label".
class HouseholdListModel : public ValueListModel<HouseholdEntry>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its lists.")
    // The base's count again, as GroupListModel says why.
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { IDRole = Qt::UserRole + 1, LabelRole };

    using ValueListModel::ValueListModel;

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
};
