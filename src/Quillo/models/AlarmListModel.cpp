// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/AlarmListModel.h"

#include <QCoreApplication>

#include <algorithm>
#include <tuple>

bool AlarmListModel::setRecords(QList<AlarmRecord> records)
{
    std::stable_sort(records.begin(), records.end(), [](const AlarmRecord &a, const AlarmRecord &b) {
        if (a.startTime.isValid() != b.startTime.isValid())
            return a.startTime.isValid();
        if (a.startTime != b.startTime)
            return a.startTime < b.startTime;
        // The same time in two rooms: a steady order, whatever the players'.
        return std::tie(a.room, a.id) < std::tie(b.room, b.id);
    });
    return setItems(std::move(records));
}

QString AlarmListModel::summaryOf(const AlarmRecord &record)
{
    QStringList parts{record.time, record.room};
    if (!record.recurrence.isEmpty())
        parts.append(record.recurrence);
    if (!record.program.isEmpty())
        parts.append(record.program);
    return parts.join(QStringLiteral(" · "));
}

QString AlarmListModel::switchNameOf(const AlarmRecord &record)
{
    //: The name of an alarm's on/off switch for assistive technology: %1 is its time ("07:00"), %2 its room.
    return QCoreApplication::translate("AlarmListModel", "%1 %2 alarm").arg(record.time, record.room);
}

QVariant AlarmListModel::data(const QModelIndex &index, int role) const
{
    const AlarmRecord *alarm = itemAt(index);
    if (!alarm)
        return {};
    switch (role) {
    case IDRole:
        return alarm->id;
    case TimeRole:
        return alarm->time;
    case RoomRole:
        return alarm->room;
    case RoomAvailableRole:
        return alarm->roomAvailable;
    case RecurrenceRole:
        return alarm->recurrence;
    case ProgramRole:
        return alarm->program;
    case EnabledRole:
        return alarm->enabled;
    case ReadableRole:
        return alarm->readable;
    case Qt::DisplayRole:
    case SummaryRole:
        return summaryOf(*alarm);
    case SwitchNameRole:
        return switchNameOf(*alarm);
    default:
        return {};
    }
}

QHash<int, QByteArray> AlarmListModel::roleNames() const
{
    return {{IDRole, "alarmID"}, {TimeRole, "time"}, {RoomRole, "room"}, {RoomAvailableRole, "roomAvailable"},
        {RecurrenceRole, "recurrence"}, {ProgramRole, "program"}, {EnabledRole, "on"}, {ReadableRole, "readable"},
        {SummaryRole, "summary"}, {SwitchNameRole, "switchName"}};
}
