// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/Recurrence.h"
#include "SonosKit/SOAPClient.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QTime>

#include <optional>

namespace SonosKit {

class XMLNode;

// One alarm of the household's list: when it rings, where, and what it
// plays for how long. The household keeps the list; any player serves it.
struct Alarm {
    Q_DECLARE_TR_FUNCTIONS(SonosKit::Alarm)

public:
    // What the chime plays: the players' own alarm sound.
    static inline const QString chimeURI = QStringLiteral("x-rincon-buzzer:0");

    QString id; // the player's, as a text; ignored by create
    QTime startTime; // local time of the players' own clock
    int durationSeconds = 0; // how long it plays; 0 until stopped
    Recurrence recurrence;
    bool enabled = false;
    QString roomUUID;
    QString programURI = chimeURI;
    QString programMetaData; // DIDL-Lite, empty for the chime
    QString playMode = QStringLiteral("NORMAL");
    int volume = 20;
    bool includeLinkedZones = false;
    // False when the list gave a time, length, days, volume or switch this
    // library cannot read: the alarm is shown as the player has it, but not
    // changed (what it would write back could be what it misread).
    bool readable = true;

    bool isChime() const { return programURI == chimeURI; }
    // The title inside the metadata, "Chime" for the chime; empty when the
    // metadata names none.
    QString programTitle() const;

    // From an <Alarm> element of a list; nothing without an ID. Unreadable
    // fields keep their defaults and mark the alarm unreadable.
    static std::optional<Alarm> fromElement(const XMLNode &element);
    // Every field after the ID as CreateAlarm and UpdateAlarm take them, in
    // their order. A field still as the list gave it goes back as the very
    // text it came as.
    SOAPClient::Arguments arguments() const;

    friend bool operator==(const Alarm &, const Alarm &) = default;

private:
    // The texts of the list, with what they were read as: a field whose
    // value still equals the one read is written back as its text.
    struct Listed {
        QString startTime;
        QTime startTimeValue;
        QString duration;
        int durationValue = 0;
        QString enabled;
        bool enabledValue = false;
        QString volume;
        int volumeValue = 0;
        QString includeLinkedZones;
        bool includeLinkedZonesValue = false;
        QString programMetaData;
        QString programTitle; // of programMetaData
        friend bool operator==(const Listed &, const Listed &) = default;
    };
    std::optional<Listed> m_listed;
};

// The household's alarms and the version of the list they were read at.
struct AlarmList {
    QList<Alarm> alarms;
    QString version; // the players' CurrentAlarmListVersion, compared as a text

    friend bool operator==(const AlarmList &, const AlarmList &) = default;
};

} // namespace SonosKit
