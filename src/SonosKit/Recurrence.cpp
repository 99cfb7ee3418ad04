// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/Recurrence.h"

namespace SonosKit {

namespace {

constexpr quint8 weekdayBits = 0b0011111; // Monday to Friday
constexpr quint8 weekendBits = 0b1100000; // Saturday and Sunday
constexpr quint8 everyDayBits = 0b1111111;
const QLatin1StringView onPrefix("ON_");

// The players count from Sunday (0); Qt from Monday (1) to Sunday (7).
Qt::DayOfWeek dayOfDigit(int digit)
{
    return digit == 0 ? Qt::Sunday : Qt::DayOfWeek(digit);
}

} // namespace

Recurrence::Recurrence(quint8 days, bool once, QString wire)
    : m_days(days)
    , m_once(once)
    , m_wire(std::move(wire))
{ }

Recurrence Recurrence::once()
{
    return Recurrence(0, true, QStringLiteral("ONCE"));
}

Recurrence Recurrence::weekdays()
{
    return Recurrence(weekdayBits, false, QStringLiteral("WEEKDAYS"));
}

Recurrence Recurrence::weekends()
{
    return Recurrence(weekendBits, false, QStringLiteral("WEEKENDS"));
}

Recurrence Recurrence::daily()
{
    return Recurrence(everyDayBits, false, QStringLiteral("DAILY"));
}

Recurrence Recurrence::onDays(const QList<Qt::DayOfWeek> &days)
{
    quint8 bits = 0;
    for (Qt::DayOfWeek day : days) {
        if (day >= Qt::Monday && day <= Qt::Sunday)
            bits |= bit(day);
    }
    if (bits == 0)
        return once();
    QString wire = onPrefix;
    for (int digit = 0; digit <= 6; ++digit) {
        if (bits & bit(dayOfDigit(digit)))
            wire += QChar(u'0' + digit);
    }
    return Recurrence(bits, false, wire);
}

std::optional<Recurrence> Recurrence::fromWire(QStringView text)
{
    if (text == u"ONCE")
        return once();
    if (text == u"WEEKDAYS")
        return weekdays();
    if (text == u"WEEKENDS")
        return weekends();
    if (text == u"DAILY")
        return daily();
    if (!text.startsWith(onPrefix) || text.size() == onPrefix.size())
        return std::nullopt;
    quint8 bits = 0;
    for (const QChar c : text.mid(onPrefix.size())) {
        if (c < u'0' || c > u'6')
            return std::nullopt;
        bits |= bit(dayOfDigit(c.unicode() - u'0'));
    }
    return Recurrence(bits, false, text.toString());
}

Recurrence Recurrence::asListed(QStringView text)
{
    if (const std::optional<Recurrence> known = fromWire(text))
        return *known;
    Recurrence kept(0, false, text.toString());
    kept.m_known = false;
    return kept;
}

bool Recurrence::ringsOn(Qt::DayOfWeek day) const
{
    return m_once || (day >= Qt::Monday && day <= Qt::Sunday && (m_days & bit(day)));
}

QList<Qt::DayOfWeek> Recurrence::days() const
{
    QList<Qt::DayOfWeek> list;
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        if (m_days & bit(Qt::DayOfWeek(day)))
            list.append(Qt::DayOfWeek(day));
    }
    return list;
}

QString Recurrence::displayText(const QLocale &locale) const
{
    if (!m_known)
        return m_wire;
    if (m_once)
        return tr("Once");
    switch (m_days) {
    case everyDayBits:
        return tr("Every day");
    case weekdayBits:
        return tr("Weekdays");
    case weekendBits:
        return tr("Weekends");
    default:
        break;
    }
    QStringList names;
    const int first = locale.firstDayOfWeek();
    for (int offset = 0; offset < 7; ++offset) {
        const auto day = Qt::DayOfWeek((first - 1 + offset) % 7 + 1);
        if (m_days & bit(day))
            names.append(locale.dayName(day, QLocale::ShortFormat));
    }
    return names.join(QStringLiteral(", "));
}

} // namespace SonosKit
