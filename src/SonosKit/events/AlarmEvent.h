// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/events/PropertySet.h"

#include <optional>

namespace SonosKit {

// A change of the household's alarms, from a player's AlarmClock events:
// the list's new version, to compare with the one it was last read at.
struct AlarmEvent {
    std::optional<QString> alarmListVersion;

    // From the event's own AlarmListVersion property (no LastChange here);
    // nothing when absent or blank. Throws SonosError::malformedResponse for
    // a version longer than AlarmClock::maximumVersionLength.
    static AlarmEvent fromProperties(const PropertySet &properties);

    friend bool operator==(const AlarmEvent &, const AlarmEvent &) = default;
};

} // namespace SonosKit
