// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/events/EventService.h"
#include "SonosKit/events/ServiceEvent.h"

#include <QString>

namespace SonosKit {

// An event as the listener delivers it: which subscription it belongs to
// (its callback path and SID), its place in that subscription's sequence,
// and what it says.
struct ReceivedEvent {
    QString path;
    QString subscriptionID;
    quint32 sequence = 0;
    EventService service = EventService::avTransport;
    QString playerHost;
    ServiceEvent event;
};

} // namespace SonosKit
