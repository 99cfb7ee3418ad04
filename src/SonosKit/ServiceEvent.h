// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ContentDirectoryEvent.h"
#include "EventService.h"
#include "GroupRenderingEvent.h"
#include "RenderingEvent.h"
#include "TopologyEvent.h"
#include "TransportEvent.h"

#include <QByteArray>
#include <QString>

#include <variant>

namespace SonosKit {

// One event of any service, typed by the service it came from.
using ServiceEvent = std::variant<TransportEvent, RenderingEvent, GroupRenderingEvent, TopologyEvent, ContentDirectoryEvent>;

// Reads the body of an event from `service` of the player at `playerHost`
// (relative cover art is resolved against it). Pure, any thread. Throws
// SonosError::malformedResponse for a body that cannot be read.
ServiceEvent parseServiceEvent(EventService service, const QByteArray &body, const QString &playerHost);

} // namespace SonosKit
