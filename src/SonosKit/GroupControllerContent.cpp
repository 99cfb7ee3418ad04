// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Playing content and the queue. A container is played through the group's
// queue; a track or stream is set as the transport URI directly.

#include "SonosKit/GroupController.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/SonosError.h"

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

SOAPClient::Arguments playArguments()
{
    return {{QStringLiteral("InstanceID"), QStringLiteral("0")}, {QStringLiteral("Speed"), QStringLiteral("1")}};
}

SOAPClient::Arguments transportURIArguments(const QString &uri, const QString &metadata)
{
    return {{QStringLiteral("InstanceID"), QStringLiteral("0")}, {QStringLiteral("CurrentURI"), uri},
        {QStringLiteral("CurrentURIMetaData"), metadata}};
}

SOAPClient::Arguments enqueueArguments(const ContentItem &item)
{
    return {{QStringLiteral("InstanceID"), QStringLiteral("0")}, {QStringLiteral("EnqueuedURI"), item.uri},
        {QStringLiteral("EnqueuedURIMetaData"), item.metadata},
        {QStringLiteral("DesiredFirstTrackNumberEnqueued"), QStringLiteral("0")},
        {QStringLiteral("EnqueueAsNext"), QStringLiteral("0")}};
}

// Positions on the wire count from 1.
SOAPClient::Arguments trackSeekArguments(int index)
{
    return {{QStringLiteral("InstanceID"), QStringLiteral("0")}, {QStringLiteral("Unit"), QStringLiteral("TRACK_NR")},
        {QStringLiteral("Target"), QString::number(qint64(index) + 1)}};
}

QCoro::Task<void> replaceQueue(SOAPClient coordinator, ContentItem item)
{
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("RemoveAllTracksFromQueue"), instance());
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("AddURIToQueue"), enqueueArguments(item));
}

QCoro::Task<void> playContent(SOAPClient coordinator, QString queueURI, ContentItem item)
{
    if (!item.isPlayable())
        throw SonosError::notPlayable(item.title);
    if (item.isContainer) {
        co_await replaceQueue(coordinator, item);
        co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("SetAVTransportURI"),
            transportURIArguments(queueURI, QString()));
    } else {
        co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("SetAVTransportURI"),
            transportURIArguments(item.uri, item.metadata));
    }
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Play"), playArguments());
}

QCoro::Task<QList<ContentItem>> loadQueue(SOAPClient coordinator, ContentItem item)
{
    if (!item.isPlayable())
        throw SonosError::notPlayable(item.title);
    co_await replaceQueue(coordinator, item);
    co_return co_await ContentDirectory(coordinator.host)
        .browse(ContentDirectory::ObjectID::queue, ContentDirectory::defaultPageSize, ContentDirectory::defaultLimit);
}

QCoro::Task<void> playFromQueue(SOAPClient coordinator, QString queueURI, int index)
{
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("SetAVTransportURI"),
        transportURIArguments(queueURI, QString()));
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Seek"), trackSeekArguments(index));
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Play"), playArguments());
}

} // namespace

QCoro::Task<void> GroupController::setTransportURI(QString uri, QString metadata) const
{
    return send(
        coordinator, SOAPClient::Service::avTransport, QStringLiteral("SetAVTransportURI"), transportURIArguments(uri, metadata));
}

QCoro::Task<void> GroupController::playItem(ContentItem item) const
{
    return playContent(coordinator, queueURI(), std::move(item));
}

QCoro::Task<QList<ContentItem>> GroupController::loadIntoQueue(ContentItem item) const
{
    return loadQueue(coordinator, std::move(item));
}

QCoro::Task<void> GroupController::playQueueTrack(int index) const
{
    return playFromQueue(coordinator, queueURI(), index);
}

} // namespace SonosKit
