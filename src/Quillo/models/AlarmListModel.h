// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/ValueListModel.h"

#include <QString>
#include <QTime>
#include <QtQml/qqmlregistration.h>

// One alarm as the Alarms window lists it, its texts made for reading.
struct AlarmRecord {
    QString id;
    QTime startTime; // invalid when the player's text could not be read
    QString time; // "07:00"
    QString room; // the room's name, or that it is not available now
    bool roomAvailable = false;
    QString recurrence; // "Weekdays", "Mon, Wed, Fri"
    QString program; // what plays: "Chime", a favorite's title
    bool enabled = false;
    // Read whole: one the players gave in a form not understood here is
    // listed, never changed.
    bool readable = true;

    friend bool operator==(const AlarmRecord &, const AlarmRecord &) = default;
};

// The household's alarms, earliest first (those that could not be read
// last): roles "alarmID", "time", "room", "roomAvailable", "recurrence",
// "program", "on", "readable", "summary" ("07:00 · Bedroom · Weekdays
// · Chime") and "switchName" ("07:00 Bedroom alarm").
class AlarmListModel : public ValueListModel<AlarmRecord>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its lists.")
    // The base's count again: QML's tools do not see through the template.
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IDRole = Qt::UserRole + 1,
        TimeRole,
        RoomRole,
        RoomAvailableRole,
        RecurrenceRole,
        ProgramRole,
        EnabledRole,
        ReadableRole,
        SummaryRole,
        SwitchNameRole,
    };

    using ValueListModel::ValueListModel;

    // Shows `records` in the order of their times.
    bool setRecords(QList<AlarmRecord> records);

    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    static QString summaryOf(const AlarmRecord &record);
    static QString switchNameOf(const AlarmRecord &record);
};
