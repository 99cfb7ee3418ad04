// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/TopologyEvent.h"

#include "SonosKit/ZoneTopology.h"

namespace SonosKit {

TopologyEvent TopologyEvent::fromProperties(const PropertySet &properties)
{
    TopologyEvent event;
    const std::optional<QString> state = properties.value(u"ZoneGroupState");
    if (state && !state->trimmed().isEmpty())
        event.groups = ZoneTopology::parseGroups(*state);
    return event;
}

} // namespace SonosKit
