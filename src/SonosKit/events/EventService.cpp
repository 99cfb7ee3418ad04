// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/EventService.h"

namespace SonosKit {

namespace {

constexpr EventService allServices[] = {EventService::avTransport, EventService::renderingControl,
    EventService::groupRenderingControl, EventService::zoneGroupTopology, EventService::contentDirectory, EventService::queue,
    EventService::alarmClock};

} // namespace

QString eventPath(EventService service)
{
    switch (service) {
    case EventService::avTransport:
        return QStringLiteral("/MediaRenderer/AVTransport/Event");
    case EventService::renderingControl:
        return QStringLiteral("/MediaRenderer/RenderingControl/Event");
    case EventService::groupRenderingControl:
        return QStringLiteral("/MediaRenderer/GroupRenderingControl/Event");
    case EventService::zoneGroupTopology:
        return QStringLiteral("/ZoneGroupTopology/Event");
    case EventService::contentDirectory:
        return QStringLiteral("/MediaServer/ContentDirectory/Event");
    case EventService::queue:
        return QStringLiteral("/MediaRenderer/Queue/Event");
    case EventService::alarmClock:
        return QStringLiteral("/AlarmClock/Event");
    }
    return {};
}

std::optional<EventService> eventServiceForPath(QStringView path)
{
    for (EventService service : allServices)
        if (path == eventPath(service))
            return service;
    return std::nullopt;
}

QString serviceName(EventService service)
{
    switch (service) {
    case EventService::avTransport:
        return QStringLiteral("AVTransport");
    case EventService::renderingControl:
        return QStringLiteral("RenderingControl");
    case EventService::groupRenderingControl:
        return QStringLiteral("GroupRenderingControl");
    case EventService::zoneGroupTopology:
        return QStringLiteral("ZoneGroupTopology");
    case EventService::contentDirectory:
        return QStringLiteral("ContentDirectory");
    case EventService::queue:
        return QStringLiteral("Queue");
    case EventService::alarmClock:
        return QStringLiteral("AlarmClock");
    }
    return {};
}

} // namespace SonosKit
