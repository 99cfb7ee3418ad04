// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/ContentDirectory.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"
#include "SonosKit/XMLText.h"

#include <algorithm>
#include <limits>

namespace SonosKit {

namespace {

// A player may report any NumberReturned; never let the index wrap.
qint64 advanced(qint64 index, qint64 step)
{
    qint64 next = 0;
    if (__builtin_add_overflow(index, step, &next))
        return std::numeric_limits<qint64>::max();
    return next;
}

std::optional<qint64> integerText(const XMLNode &response, const QString &name)
{
    const std::optional<QString> text = XMLText::text(response, name);
    return text ? Text::parseInteger(*text) : std::nullopt;
}

SOAPClient::Arguments browseArguments(const QString &objectID, qint64 startingIndex, int pageSize)
{
    return {
        {QStringLiteral("ObjectID"), objectID},
        {QStringLiteral("BrowseFlag"), QStringLiteral("BrowseDirectChildren")},
        {QStringLiteral("Filter"), QStringLiteral("*")},
        {QStringLiteral("StartingIndex"), QString::number(startingIndex)},
        {QStringLiteral("RequestedCount"), QString::number(pageSize)},
        {QStringLiteral("SortCriteria"), QString()},
    };
}

QCoro::Task<QList<ContentItem>> browsePages(
    SOAPClient client, QString objectID, int pageSize, int limit, CancellationToken cancel)
{
    QList<ContentItem> items;
    qint64 startingIndex = 0;
    while (items.size() < limit) {
        const XMLNode response = co_await client.call(SOAPClient::Service::contentDirectory, QStringLiteral("Browse"),
            browseArguments(objectID, startingIndex, pageSize), cancel);

        const std::optional<QString> result = XMLText::text(response, QStringLiteral("Result"));
        if (!result)
            co_return items;
        const QList<ContentItem> page = ContentDirectory::parseDIDL(*result);
        items += page;

        const qint64 parsed = page.size();
        const qint64 returned = integerText(response, QStringLiteral("NumberReturned")).value_or(parsed);
        const qint64 total = integerText(response, QStringLiteral("TotalMatches")).value_or(items.size());

        startingIndex = advanced(startingIndex, std::max(returned, parsed));
        if (parsed == 0 || returned == 0 || startingIndex >= total)
            co_return items;
    }
    co_return items;
}

QCoro::Task<QueuePage> browseQueuePage(SOAPClient client, int start, int count, CancellationToken cancel)
{
    start = std::max(start, 0);
    // RequestedCount 0 would ask for the whole queue.
    count = std::clamp(count, 1, ContentDirectory::queuePageLimit);
    const XMLNode response = co_await client.call(SOAPClient::Service::contentDirectory, QStringLiteral("Browse"),
        browseArguments(ContentDirectory::ObjectID::queue, start, count), cancel);

    const auto malformed = [](const QString &what) { return SonosError::malformedResponse(QStringLiteral("queue: ") + what); };
    const std::optional<qint64> total = integerText(response, QStringLiteral("TotalMatches"));
    if (!total || *total < 0 || *total > ContentDirectory::maximumQueueLength)
        throw malformed(QStringLiteral("TotalMatches is no length up to %1").arg(ContentDirectory::maximumQueueLength));
    const std::optional<qint64> updateID = integerText(response, QStringLiteral("UpdateID"));
    if (!updateID || *updateID < 0 || *updateID > std::numeric_limits<quint32>::max())
        throw malformed(QStringLiteral("UpdateID is no version"));
    const std::optional<QString> result = XMLText::text(response, QStringLiteral("Result"));
    QueuePage page{result ? ContentDirectory::parseDIDL(*result) : QList<ContentItem>{}, start, int(*total), quint32(*updateID)};
    const std::optional<qint64> returned = integerText(response, QStringLiteral("NumberReturned"));
    // A player may send fewer than asked, never more; from past the end
    // (the queue shrank since the page was shown) it sends none.
    if (!returned || *returned != page.items.size() || page.items.size() > count
        || (!page.items.isEmpty() && start + page.items.size() > page.total))
        throw malformed(QStringLiteral("%1 entries sent, NumberReturned %2, %3 asked from %4 of %5")
                            .arg(page.items.size())
                            .arg(returned ? QString::number(*returned) : QStringLiteral("missing"))
                            .arg(count)
                            .arg(start)
                            .arg(page.total));
    co_return page;
}

QCoro::Task<QList<ContentItem>> noChildren()
{
    co_return QList<ContentItem>{};
}

} // namespace

ContentDirectory::ContentDirectory(QString host)
    : client(std::move(host))
{ }

QCoro::Task<QList<ContentItem>> ContentDirectory::favorites(CancellationToken cancel) const
{
    return browse(ObjectID::favorites, defaultPageSize, defaultLimit, std::move(cancel));
}

QCoro::Task<QList<ContentItem>> ContentDirectory::playlists(CancellationToken cancel) const
{
    return browse(ObjectID::sonosPlaylists, defaultPageSize, defaultLimit, std::move(cancel));
}

QCoro::Task<QList<ContentItem>> ContentDirectory::queue(CancellationToken cancel) const
{
    return browse(ObjectID::queue, defaultPageSize, defaultLimit, std::move(cancel));
}

QCoro::Task<QueuePage> ContentDirectory::queuePage(int start, int count, CancellationToken cancel) const
{
    return browseQueuePage(client, start, count, std::move(cancel));
}

QCoro::Task<QList<ContentItem>> ContentDirectory::children(ContentItem item, CancellationToken cancel) const
{
    const std::optional<QString> id = item.browseID();
    if (!id)
        return noChildren();
    return browse(*id, defaultPageSize, defaultLimit, std::move(cancel));
}

QCoro::Task<QList<ContentItem>> ContentDirectory::browse(
    QString objectID, int pageSize, int limit, CancellationToken cancel) const
{
    return browsePages(client, std::move(objectID), pageSize, limit, std::move(cancel));
}

QList<ContentItem> ContentDirectory::parseDIDL(const QString &text)
{
    const XMLDocument document = XMLText::document(text);
    const XMLNode root = document.root();
    if (root.isNull())
        return {};

    // Containers always follow the items, whatever order the player used.
    std::vector<XMLNode> elements = XMLText::descendants(root, u"item");
    std::vector<XMLNode> containers = XMLText::descendants(root, u"container");
    elements.insert(elements.end(), std::make_move_iterator(containers.begin()), std::make_move_iterator(containers.end()));

    QList<ContentItem> items;
    items.reserve(qsizetype(elements.size()));
    for (const XMLNode &element : elements) {
        const std::optional<XMLNode> res = XMLText::firstDescendant(element, u"res");
        const QString uri = res ? res->stringValue() : QString();

        QString id;
        if (std::optional<QString> attribute = element.attribute(u"id"))
            id = std::move(*attribute);
        else if (!uri.isEmpty())
            id = uri;
        else
            continue;

        // A favorite carries the metadata to play it in r:resMD; anything
        // else is played with its own element.
        QString metadata = XMLText::text(element, u"resMD").value_or(QString());
        if (metadata.isEmpty())
            metadata = element.serialized();

        ContentItem item;
        item.id = std::move(id);
        item.title = XMLText::text(element, u"title").value_or(QStringLiteral("Untitled"));
        item.uri = uri;
        item.metadata = std::move(metadata);
        item.albumArtURI = XMLText::text(element, u"albumArtURI");
        item.artist = XMLText::text(element, u"creator");
        item.isContainer = isContainerURI(item.uri);
        item.serviceID = ContentItem::serviceIDFromURI(item.uri);
        if (!item.serviceID)
            item.serviceID = ContentItem::serviceIDFromMetadata(item.metadata);
        items += std::move(item);
    }
    return items;
}

bool ContentDirectory::isContainerURI(QStringView uri)
{
    return uri.startsWith(u"x-rincon-cpcontainer:") || uri.startsWith(u"x-rincon-playlist:") || uri.contains(u"savedqueues.rsq");
}

} // namespace SonosKit
