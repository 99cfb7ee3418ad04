// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/events/AlarmEvent.h"
#include "SonosKit/events/ContentDirectoryEvent.h"
#include "SonosKit/events/EventService.h"
#include "SonosKit/events/GroupRenderingEvent.h"
#include "SonosKit/events/QueueEvent.h"
#include "SonosKit/events/RenderingEvent.h"
#include "SonosKit/events/TopologyEvent.h"
#include "SonosKit/events/TransportEvent.h"

#include <QByteArray>
#include <QString>

#include <variant>

namespace SonosKit {

// One event of any service, typed by the service it came from.
using ServiceEvent = std::variant<TransportEvent, RenderingEvent, GroupRenderingEvent, TopologyEvent, ContentDirectoryEvent,
    QueueEvent, AlarmEvent>;

// Reads the body of an event from `service` of the player at `playerHost`
// (relative cover art is resolved against it). Pure, any thread. Throws
// SonosError::malformedResponse for a body that cannot be read.
ServiceEvent parseServiceEvent(EventService service, const QByteArray &body, const QString &playerHost);

} // namespace SonosKit
