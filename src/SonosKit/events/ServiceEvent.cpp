// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/ServiceEvent.h"

namespace SonosKit {

ServiceEvent parseServiceEvent(EventService service, const QByteArray &body, const QString &playerHost)
{
    const PropertySet properties = PropertySet::parse(body);
    switch (service) {
    case EventService::avTransport:
        return TransportEvent::fromProperties(properties, playerHost);
    case EventService::renderingControl:
        return RenderingEvent::fromProperties(properties);
    case EventService::groupRenderingControl:
        return GroupRenderingEvent::fromProperties(properties);
    case EventService::zoneGroupTopology:
        return TopologyEvent::fromProperties(properties);
    case EventService::contentDirectory:
        return ContentDirectoryEvent::fromProperties(properties);
    case EventService::queue:
        return QueueEvent::fromProperties(properties);
    case EventService::alarmClock:
        return AlarmEvent::fromProperties(properties);
    }
    return ContentDirectoryEvent{};
}

} // namespace SonosKit
