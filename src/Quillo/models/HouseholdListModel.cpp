// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/HouseholdListModel.h"

#include <QCoreApplication>

namespace {

// Two rooms name a household well enough; the rest are counted.
constexpr qsizetype namedRooms = 2;

} // namespace

QString HouseholdEntry::labelFor(const SonosKit::SonosHousehold &household)
{
    QStringList rooms;
    for (const SonosKit::ZoneGroup &group : household.groups)
        rooms += group.roomNames();
    QString named = QStringList(rooms.mid(0, namedRooms)).join(QCoreApplication::translate("HouseholdListModel", ", "));
    // One arg() for all places: a room called "%2" stays as it is.
    if (rooms.size() > namedRooms) {
        //: A household's first rooms and how many more it has: "Living Room, Kitchen +3".
        named
            = QCoreApplication::translate("HouseholdListModel", "%1 +%2").arg(named, QString::number(rooms.size() - namedRooms));
    }
    if (!household.generation)
        return named;
    //: The software generation of a household (S1 or S2), then its rooms.
    return QCoreApplication::translate("HouseholdListModel", "S%1 · %2").arg(QString::number(*household.generation), named);
}

QVariant HouseholdListModel::data(const QModelIndex &index, int role) const
{
    const HouseholdEntry *entry = itemAt(index);
    if (!entry)
        return {};
    switch (role) {
    case IDRole:
        return entry->id;
    case Qt::DisplayRole:
    case LabelRole:
        return entry->label;
    default:
        return {};
    }
}

QHash<int, QByteArray> HouseholdListModel::roleNames() const
{
    return {{IDRole, "id"}, {LabelRole, "label"}};
}
