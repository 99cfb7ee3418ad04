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

#include <chrono>
#include <optional>

namespace zonescout {

// What `events` was asked for: the services to subscribe to (all by
// default), the address to receive them on (by default the one the
// player's network reaches this machine at), and how often the way of the
// events is proven (zero: never).
struct EventsOptions {
    static constexpr std::chrono::seconds defaultProofInterval{45};
    QList<SonosKit::EventService> services;
    std::optional<QHostAddress> listenAddress;
    std::chrono::seconds proofInterval = defaultProofInterval;
};

// Reads `--service NAME` (repeatable), `--listen ADDRESS` and `--proof
// SECONDS` from the arguments after `events`. Throws UsageError.
EventsOptions parseEventsArguments(const QStringList &arguments);

// One event as its JSON line carries it: service, player, seq and the
// fields the event carried. A field the event did not carry is left out (it
// did not change); null means it changed to nothing, as a stream's length.
QJsonObject eventJson(
    SonosKit::EventService service, const QString &player, quint32 sequence, const SonosKit::ServiceEvent &event);

// A proof of the way as its JSON line carries it: {"proof": "open" or
// "shut" or "unanswered", "player"}.
QJsonObject proofJson(const QString &player, const QString &outcome);

// Subscribes and prints each event as one JSON line on stdout until SIGINT
// or SIGTERM, then unsubscribes (bounded) and returns 0. Throws SonosError
// when the player cannot be found or refuses a subscription.
QCoro::Task<int> runEvents(Options options);

} // namespace zonescout
