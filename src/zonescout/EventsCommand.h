// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

#pragma once

#include "Options.h"

#include <SonosKit/events/EventService.h>
#include <SonosKit/events/ServiceEvent.h>

#include <QCoroTask>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>

#include <optional>

namespace zonescout {

// What `events` was asked for: the services to subscribe to (all by
// default) and the address to receive them on (by default the one the
// player's network reaches this machine at).
struct EventsOptions {
    QList<SonosKit::EventService> services;
    std::optional<QHostAddress> listenAddress;
};

// Reads `--service NAME` (repeatable) and `--listen ADDRESS` from the
// arguments after `events`. Throws UsageError.
EventsOptions parseEventsArguments(const QStringList &arguments);

// One event as its JSON line carries it: service, player, seq and the
// fields the event carried. A field the event did not carry is left out (it
// did not change); null means it changed to nothing, as a stream's length.
QJsonObject eventJson(
    SonosKit::EventService service, const QString &player, quint32 sequence, const SonosKit::ServiceEvent &event);

// Subscribes and prints each event as one JSON line on stdout until SIGINT
// or SIGTERM, then unsubscribes (bounded) and returns 0. Throws SonosError
// when the player cannot be found or refuses a subscription.
QCoro::Task<int> runEvents(Options options);

} // namespace zonescout
