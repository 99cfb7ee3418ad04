// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

namespace SonosKit {

// The days an alarm rings on, as the players write them: ONCE, WEEKDAYS,
// WEEKENDS, DAILY, or ON_ and the days' digits, 0 for Sunday to 6 for
// Saturday ("ON_135" rings on Monday, Wednesday and Friday). A value read
// from a player writes back exactly the text it was read from.
class Recurrence
{
    Q_DECLARE_TR_FUNCTIONS(SonosKit::Recurrence)

public:
    // Once.
    Recurrence() = default;
    // Nothing for any other text, an ON_ without days or with a digit past 6.
    static std::optional<Recurrence> fromWire(QStringView text);
    // As a player listed it: fromWire's value, or for a text this library
    // cannot read (a later firmware's form), that text kept as it is: it
    // rings on no day known here, shows as itself and writes back unchanged.
    static Recurrence asListed(QStringView text);
    QString toWire() const { return m_wire; }
    // False for a text kept by asListed() without being read.
    bool isKnown() const { return m_known; }

    static Recurrence once();
    static Recurrence weekdays();
    static Recurrence weekends();
    static Recurrence daily();
    // "ON_" and the days' digits in order; once() for no day.
    static Recurrence onDays(const QList<Qt::DayOfWeek> &days);

    bool isOnce() const { return m_once; }
    // A once alarm rings on whichever day its time comes first: every day
    // answers yes.
    bool ringsOn(Qt::DayOfWeek day) const;
    // Monday first; none for a once alarm.
    QList<Qt::DayOfWeek> days() const;

    // "Once", "Weekdays", "Weekends", "Every day", or the days' short names
    // in the locale's week order ("Mon, Wed, Fri"); the days of a preset
    // read as the preset, whichever way they were written. A text not known
    // here shows as the player wrote it.
    QString displayText(const QLocale &locale = QLocale()) const;

    friend bool operator==(const Recurrence &, const Recurrence &) = default;

private:
    Recurrence(quint8 days, bool once, QString wire);
    static quint8 bit(Qt::DayOfWeek day) { return quint8(1u << (int(day) - 1)); }

    quint8 m_days = 0; // bit (day - 1) for each Qt::DayOfWeek
    bool m_once = true;
    bool m_known = true;
    QString m_wire = QStringLiteral("ONCE");
};

} // namespace SonosKit
