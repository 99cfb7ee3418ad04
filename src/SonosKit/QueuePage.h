// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/ContentItem.h"

#include <QList>

namespace SonosKit {

// One page of a group's queue as one Browse of Q:0 answered it.
struct QueuePage {
    QList<ContentItem> items; // entries from `start`, in queue order
    int start = 0; // index of items.first(), counted from 0
    int total = 0; // TotalMatches: the queue's length
    quint32 updateID = 0; // the Browse answer's UpdateID: the queue's version

    friend bool operator==(const QueuePage &, const QueuePage &) = default;
};

} // namespace SonosKit
