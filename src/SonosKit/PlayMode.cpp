// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/PlayMode.h"

#include "SonosKit/PlayerInputs.h"

#include <QList>

#include <algorithm>
#include <iterator>

namespace SonosKit {

namespace {

struct NamedMode {
    QLatin1StringView name;
    PlayMode mode;
};

constexpr NamedMode namedModes[] = {
    {QLatin1StringView("NORMAL"), {false, Repeat::off}},
    {QLatin1StringView("REPEAT_ALL"), {false, Repeat::all}},
    {QLatin1StringView("REPEAT_ONE"), {false, Repeat::one}},
    {QLatin1StringView("SHUFFLE_NOREPEAT"), {true, Repeat::off}},
    {QLatin1StringView("SHUFFLE"), {true, Repeat::all}},
    {QLatin1StringView("SHUFFLE_REPEAT_ONE"), {true, Repeat::one}},
};

// Sources that play as they come: radio and streams, and the inputs.
constexpr QLatin1StringView streamSchemes[] = {QLatin1StringView("x-sonosapi-stream:"), QLatin1StringView("x-sonosapi-radio:"),
    QLatin1StringView("x-rincon-mp3radio:"), QLatin1StringView("x-sonosapi-hls:")};

} // namespace

QString PlayMode::rawValue() const
{
    const auto *named = std::find_if(
        std::begin(namedModes), std::end(namedModes), [this](const NamedMode &n) { return n.mode == *this; });
    return named == std::end(namedModes) ? QStringLiteral("NORMAL") : QString(named->name);
}

std::optional<PlayMode> PlayMode::fromRawValue(QStringView raw)
{
    for (const NamedMode &named : namedModes)
        if (raw == named.name)
            return named.mode;
    return std::nullopt;
}

ValidPlayModes ValidPlayModes::fromRawValue(QStringView raw)
{
    ValidPlayModes valid;
    for (const QStringView name : raw.split(u',', Qt::SkipEmptyParts)) {
        const QStringView trimmed = name.trimmed();
        if (trimmed == u"SHUFFLE")
            valid.canShuffle = true;
        else if (trimmed == u"REPEAT")
            valid.canRepeat = true;
        else if (trimmed == u"REPEAT_ONE")
            valid.canRepeatOne = true;
        else if (trimmed == u"CROSSFADE")
            valid.canCrossfade = true;
    }
    return valid;
}

ValidPlayModes ValidPlayModes::forTransportURI(QStringView uri)
{
    const bool stream = InputSource::isInput(uri)
        || std::any_of(std::begin(streamSchemes), std::end(streamSchemes),
            [uri](QLatin1StringView scheme) { return uri.startsWith(scheme); });
    return stream ? ValidPlayModes{} : ValidPlayModes{true, true, true, true};
}

bool ValidPlayModes::allows(const PlayMode &mode) const
{
    return (!mode.shuffle || canShuffle) && (mode.repeat != Repeat::all || canRepeat)
        && (mode.repeat != Repeat::one || canRepeatOne);
}

} // namespace SonosKit
