// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/Alarm.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"
#include "SonosKit/XMLText.h"

namespace SonosKit {

namespace {

// An alarm plays for a day at most.
constexpr int longestDurationHours = 24;
constexpr int loudest = 100;

// "HH:MM:SS" with two digits each (hours up to `maxHours`), as the players
// write times and lengths; nothing for anything else.
std::optional<int> clockSeconds(QStringView text, int maxHours)
{
    if (text.size() != 8 || text[2] != u':' || text[5] != u':')
        return std::nullopt;
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9' ? std::optional(c.unicode() - u'0') : std::nullopt; };
    int parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::optional<int> tens = digit(text[i * 3]);
        const std::optional<int> ones = digit(text[i * 3 + 1]);
        if (!tens || !ones)
            return std::nullopt;
        parts[i] = *tens * 10 + *ones;
    }
    if (parts[0] > maxHours || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

std::optional<bool> flag(QStringView text)
{
    if (text == u"1" || text == u"true")
        return true;
    if (text == u"0" || text == u"false")
        return false;
    return std::nullopt;
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// The title of the first entry of a DIDL-Lite text; empty for none.
QString titleOf(const QString &metadata)
{
    if (metadata.trimmed().isEmpty())
        return {};
    try {
        const QList<ContentItem> items = ContentDirectory::parseDIDL(metadata);
        return items.isEmpty() ? QString() : items.first().title;
    } catch (const SonosError &) {
        return {};
    }
}

} // namespace

QString Alarm::programTitle() const
{
    if (isChime())
        return tr("Chime");
    // Read once with the list: a list shows it in every row it paints.
    if (m_listed && m_listed->programMetaData == programMetaData)
        return m_listed->programTitle;
    return titleOf(programMetaData);
}

std::optional<Alarm> Alarm::fromElement(const XMLNode &element)
{
    const std::optional<QString> id = element.attribute(u"ID");
    if (!id || id->trimmed().isEmpty())
        return std::nullopt;
    const auto text = [&element](QStringView name) { return element.attribute(name).value_or(QString()); };

    Alarm alarm;
    Listed listed;
    alarm.id = *id;
    listed.startTime = text(u"StartTime");
    listed.duration = text(u"Duration");
    listed.enabled = text(u"Enabled");
    listed.volume = text(u"Volume");
    listed.includeLinkedZones = text(u"IncludeLinkedZones");

    const std::optional<int> start = clockSeconds(listed.startTime, 23);
    const std::optional<int> duration = clockSeconds(listed.duration, longestDurationHours);
    const std::optional<bool> enabled = flag(listed.enabled);
    const std::optional<qint64> volume = Text::parseInteger(listed.volume);
    const std::optional<bool> include = flag(listed.includeLinkedZones);
    // Days it cannot read are kept as written, and shown so.
    alarm.recurrence = Recurrence::asListed(text(u"Recurrence"));
    const bool volumeReadable = volume && *volume >= 0 && *volume <= loudest;
    alarm.readable = start && duration && enabled && volumeReadable && include && alarm.recurrence.isKnown();

    listed.startTimeValue = start ? QTime(0, 0).addSecs(*start) : QTime();
    listed.durationValue = duration.value_or(0);
    listed.enabledValue = enabled.value_or(false);
    listed.volumeValue = volumeReadable ? int(*volume) : 0;
    listed.includeLinkedZonesValue = include.value_or(false);

    alarm.startTime = listed.startTimeValue;
    alarm.durationSeconds = listed.durationValue;
    alarm.enabled = listed.enabledValue;
    alarm.volume = listed.volumeValue;
    alarm.includeLinkedZones = listed.includeLinkedZonesValue;
    alarm.roomUUID = text(u"RoomUUID");
    alarm.programURI = text(u"ProgramURI");
    alarm.programMetaData = text(u"ProgramMetaData");
    listed.programMetaData = alarm.programMetaData;
    listed.programTitle = titleOf(alarm.programMetaData);
    alarm.playMode = text(u"PlayMode");
    alarm.m_listed = std::move(listed);
    return alarm;
}

SOAPClient::Arguments Alarm::arguments() const
{
    const auto listedOr = [this](auto member, auto valueMember, const auto &now, QString formatted) {
        if (m_listed && (*m_listed).*valueMember == now)
            return (*m_listed).*member;
        return formatted;
    };
    return {
        {QStringLiteral("StartLocalTime"),
            listedOr(&Listed::startTime, &Listed::startTimeValue, startTime, startTime.toString(QStringLiteral("HH:mm:ss")))},
        {QStringLiteral("Duration"),
            listedOr(&Listed::duration, &Listed::durationValue, durationSeconds, Text::clock(durationSeconds, 2))},
        {QStringLiteral("Recurrence"), recurrence.toWire()},
        {QStringLiteral("Enabled"), listedOr(&Listed::enabled, &Listed::enabledValue, enabled, flagText(enabled))},
        {QStringLiteral("RoomUUID"), roomUUID},
        {QStringLiteral("ProgramURI"), programURI},
        {QStringLiteral("ProgramMetaData"), programMetaData},
        {QStringLiteral("PlayMode"), playMode},
        {QStringLiteral("Volume"), listedOr(&Listed::volume, &Listed::volumeValue, volume, QString::number(volume))},
        {QStringLiteral("IncludeLinkedZones"),
            listedOr(
                &Listed::includeLinkedZones, &Listed::includeLinkedZonesValue, includeLinkedZones, flagText(includeLinkedZones))},
    };
}

} // namespace SonosKit
