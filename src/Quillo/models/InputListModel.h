// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/ValueListModel.h"

#include "SonosKit/PlayerInputs.h"
#include "SonosKit/SonosDevice.h"

#include <QtQml/qqmlregistration.h>

// One input the selected group can play: a player's line-in, or the TV of
// the soundbar that leads it.
struct InputRecord {
    SonosKit::InputSource::Kind kind = SonosKit::InputSource::Kind::lineIn;
    SonosKit::SonosDevice player; // whose input it is
    QString name; // "TV (Living Room)", "Line-In (Office)"

    friend bool operator==(const InputRecord &, const InputRecord &) = default;
};

// The inputs for the panel: roles "name", "room" and "isTV".
class InputListModel : public ValueListModel<InputRecord>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its lists.")
    // The base's count again: QML's tools do not see through the template.
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { NameRole = Qt::UserRole + 1, RoomRole, IsTVRole };

    using ValueListModel::ValueListModel;

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;
};
