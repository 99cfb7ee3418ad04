// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/ContentItem.h"
#include "SonosKit/QueuePage.h"
#include "SonosKit/SOAPClient.h"

#include <QCoroTask>
#include <QList>
#include <QString>
#include <QStringView>

namespace SonosKit {

// Lists favorites, Sonos Playlists, the queue and containers' children from
// one player's content directory, page by page.
class ContentDirectory
{
public:
    struct ObjectID {
        static inline const QString favorites = QStringLiteral("FV:2");
        static inline const QString sonosPlaylists = QStringLiteral("SQ:");
        static inline const QString queue = QStringLiteral("Q:0");
        static inline const QString radioStations = QStringLiteral("R:0/0");
        static inline const QString radioShows = QStringLiteral("R:0/1");
    };

    static constexpr int defaultPageSize = 100;
    static constexpr int defaultLimit = 1000;
    // A player's queue holds at most this many entries; a page at most
    // queuePageLimit of them.
    static constexpr int maximumQueueLength = 40000;
    static constexpr int queuePageLimit = 500;

    explicit ContentDirectory(QString host);

    SOAPClient client;

    QCoro::Task<QList<ContentItem>> favorites(CancellationToken cancel = {}) const;
    QCoro::Task<QList<ContentItem>> playlists(CancellationToken cancel = {}) const;
    QCoro::Task<QList<ContentItem>> queue(CancellationToken cancel = {}) const;
    // One Browse of the queue: up to `count` (at most queuePageLimit)
    // entries from `start` (counted from 0), its length and its version. A
    // length beyond maximumQueueLength, or a count that disagrees with the
    // entries sent (or exceeds what was asked), is malformedResponse.
    QCoro::Task<QueuePage> queuePage(int start, int count, CancellationToken cancel = {}) const;
    // Empty, without asking the player, for an item that names no children.
    QCoro::Task<QList<ContentItem>> children(ContentItem item, CancellationToken cancel = {}) const;
    // The direct children of `objectID`; requests stop once `limit` items are
    // in hand, but the last page is kept whole.
    QCoro::Task<QList<ContentItem>> browse(QString objectID, int pageSize, int limit, CancellationToken cancel = {}) const;

    // Items first, then containers, each in document order.
    static QList<ContentItem> parseDIDL(const QString &text);
    static bool isContainerURI(QStringView uri);
};

} // namespace SonosKit
