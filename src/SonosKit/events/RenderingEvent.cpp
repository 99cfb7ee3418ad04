// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/RenderingEvent.h"

#include "SonosKit/RoomSound.h"
#include "SonosKit/Text.h"
#include "SonosKit/events/LastChange.h"

#include <algorithm>

namespace SonosKit {

namespace {

constexpr int minimumVolume = 0;
constexpr int maximumVolume = 100;

std::optional<int> eventTone(QStringView text)
{
    const std::optional<qint64> number = Text::parseInteger(text);
    if (!number || *number < RoomSound::lowestTone || *number > RoomSound::highestTone)
        return std::nullopt;
    return int(*number);
}

} // namespace

std::optional<bool> eventBoolean(QStringView text)
{
    if (text == u"1" || text == u"true")
        return true;
    if (text == u"0" || text == u"false")
        return false;
    return std::nullopt;
}

std::optional<int> eventVolume(QStringView text)
{
    const std::optional<qint64> number = Text::parseInteger(text);
    if (!number)
        return std::nullopt;
    return int(std::clamp<qint64>(*number, minimumVolume, maximumVolume));
}

RenderingEvent RenderingEvent::fromProperties(const PropertySet &properties)
{
    RenderingEvent event;
    const std::optional<QString> lastChange = properties.value(u"LastChange");
    if (!lastChange || lastChange->trimmed().isEmpty())
        return event;
    const LastChange change = LastChange::parse(*lastChange);
    static constexpr QStringView master = u"Master";
    if (const std::optional<QString> volume = change.value(u"Volume", master))
        event.volume = eventVolume(*volume);
    if (const std::optional<QString> mute = change.value(u"Mute", master))
        event.muted = eventBoolean(*mute);
    if (const std::optional<QString> bass = change.value(u"Bass"))
        event.bass = eventTone(*bass);
    if (const std::optional<QString> treble = change.value(u"Treble"))
        event.treble = eventTone(*treble);
    if (const std::optional<QString> loudness = change.value(u"Loudness", master))
        event.loudness = eventBoolean(*loudness);
    if (const std::optional<QString> night = change.value(u"NightMode"))
        event.nightMode = RoomSound::eqSetting(*night);
    if (const std::optional<QString> dialog = change.value(u"DialogLevel"))
        event.dialogLevel = RoomSound::eqSetting(*dialog);
    return event;
}

} // namespace SonosKit
