// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/events/PropertySet.h"

#include <optional>

namespace SonosKit {

// A change of one player's own volume or mute (the Master channel), or of
// its sound, from its RenderingControl events. Absent fields did not change;
// a value out of its range is left out.
struct RenderingEvent {
    std::optional<int> volume; // 0 to 100
    std::optional<bool> muted;
    std::optional<int> bass; // -10 to +10
    std::optional<int> treble; // -10 to +10
    std::optional<bool> loudness; // the Master channel's
    std::optional<bool> nightMode; // home-theatre players only
    std::optional<bool> dialogLevel; // speech enhancement, likewise

    // Throws SonosError::malformedResponse when LastChange cannot be read.
    static RenderingEvent fromProperties(const PropertySet &properties);

    friend bool operator==(const RenderingEvent &, const RenderingEvent &) = default;
};

// "1"/"0" (and "true"/"false") as players write booleans; nothing otherwise.
std::optional<bool> eventBoolean(QStringView text);
// A volume clamped to 0 to 100; nothing for text that is no number.
std::optional<int> eventVolume(QStringView text);

} // namespace SonosKit
