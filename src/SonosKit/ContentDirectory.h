// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/ContentItem.h"
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

    explicit ContentDirectory(QString host);

    SOAPClient client;

    QCoro::Task<QList<ContentItem>> favorites(CancellationToken cancel = {}) const;
    QCoro::Task<QList<ContentItem>> playlists(CancellationToken cancel = {}) const;
    QCoro::Task<QList<ContentItem>> queue(CancellationToken cancel = {}) const;
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
