// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/events/PropertySet.h"

#include <optional>

namespace SonosKit {

// A change of a group's volume or mute as its coordinator reports them
// (GroupRenderingControl): plain properties, no LastChange.
struct GroupRenderingEvent {
    std::optional<int> volume; // 0 to 100
    std::optional<bool> muted;

    static GroupRenderingEvent fromProperties(const PropertySet &properties);

    friend bool operator==(const GroupRenderingEvent &, const GroupRenderingEvent &) = default;
};

} // namespace SonosKit
