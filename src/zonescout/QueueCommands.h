// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <QByteArray>
#include <QCoroTask>
#include <QString>

namespace zonescout {

// What `queue` asks for: the list, or `remove N`, `move N M`, `clear` or
// `save TITLE`. Positions count from 1, as the list numbers its entries.
struct QueueRequest {
    enum class Verb { show, remove, move, clear, save };
    Verb verb = Verb::show;
    int position = 0; // remove, move
    int to = 0; // move
    QString title; // save
};

// Throws UsageError.
QueueRequest queueRequest(const Options &options);
// Lists the whole queue, or edits it at the group's coordinator against
// the version just read, so that an entry another controller moved
// meanwhile is never the one removed. `save` prints the new playlist's id
// ({"playlist": "SQ:12"} with --json).
QCoro::Task<QByteArray> runQueueCommand(Options options);

} // namespace zonescout
