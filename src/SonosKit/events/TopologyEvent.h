// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/ZoneGroup.h"
#include "SonosKit/events/PropertySet.h"

#include <QList>

#include <optional>

namespace SonosKit {

// The household's arrangement of groups, from a ZoneGroupTopology event;
// absent when the event carried no ZoneGroupState.
struct TopologyEvent {
    std::optional<QList<ZoneGroup>> groups; // as ZoneTopology::groups() sorts them

    // Throws SonosError::malformedResponse when ZoneGroupState cannot be read.
    static TopologyEvent fromProperties(const PropertySet &properties);

    friend bool operator==(const TopologyEvent &, const TopologyEvent &) = default;
};

} // namespace SonosKit
