// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/events/PropertySet.h"

#include <optional>

namespace SonosKit {

// A change of the group's queue, from the coordinator's Queue events: its
// new version, to compare with the one the queue was last read at.
struct QueueEvent {
    std::optional<quint32> updateID; // of queue 0, the group's own

    // From the properties of a Queue event, whose LastChange reads
    // <Event><QueueID val="0"><UpdateID val="7"/></QueueID></Event>; throws
    // SonosError::malformedResponse when that cannot be read.
    static QueueEvent fromProperties(const PropertySet &properties);

    friend bool operator==(const QueueEvent &, const QueueEvent &) = default;
};

} // namespace SonosKit
