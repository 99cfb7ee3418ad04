// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace SonosKit {

// A service of a player that reports its changes as events. Each is
// subscribed on its own URL on port 1400: AVTransport and GroupRenderingControl
// on the coordinator, RenderingControl on each member, ZoneGroupTopology on
// any one player; Queue (Sonos's own service: the queue's version) on the
// coordinator; AlarmClock (the household's alarms, told by any player) at the
// coordinator too.
enum class EventService {
    avTransport,
    renderingControl,
    groupRenderingControl,
    zoneGroupTopology,
    contentDirectory,
    queue,
    alarmClock,
};

// "/MediaRenderer/AVTransport/Event" and so on.
QString eventPath(EventService service);
// The service whose event URL is `path`; nothing for any other path.
std::optional<EventService> eventServiceForPath(QStringView path);
// A short name for people and JSON: "AVTransport", "RenderingControl", …
QString serviceName(EventService service);

} // namespace SonosKit
