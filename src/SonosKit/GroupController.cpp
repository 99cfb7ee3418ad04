// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/GroupController.h"

#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"
#include "SonosKit/TrackMetadata.h"
#include "SonosKit/XMLText.h"

#include <QObject>

#include <exception>
#include <limits>
#include <memory>

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

PlaybackState snapshot(
    const XMLNode &transportInfo, const XMLNode &positionInfo, const XMLNode &mediaInfo, const QString &coordinatorHost)
{
    const TrackMetadata track = TrackMetadata::fromDIDL(
        XMLText::text(positionInfo, u"TrackMetaData"), XMLText::text(mediaInfo, u"CurrentURIMetaData"), coordinatorHost);

    PlaybackState state;
    state.transportState = transportStateFromRawValue(XMLText::text(transportInfo, u"CurrentTransportState").value_or(QString()))
                               .value_or(TransportState::stopped);
    state.title = track.title;
    state.artist = track.artist;
    state.album = track.album;
    state.albumArtURI = track.albumArtURI;
    state.positionSeconds = XMLText::seconds(XMLText::text(positionInfo, u"RelTime"));
    state.durationSeconds = XMLText::seconds(XMLText::text(positionInfo, u"TrackDuration"));
    state.sourceURI = XMLText::text(mediaInfo, u"CurrentURI");
    if (const std::optional<QString> number = XMLText::text(positionInfo, u"Track")) {
        const std::optional<qint64> parsed = Text::parseInteger(*number);
        if (parsed && *parsed > 0 && *parsed <= std::numeric_limits<int>::max())
            state.trackNumber = int(*parsed);
    }
    return state;
}

QCoro::Task<PlaybackState> readState(ZoneGroup group, SOAPClient coordinator, CancellationToken cancel)
{
    // The children get a token of their own: a failing child must stop its
    // siblings without cancelling whatever else the caller's token governs.
    CancellationToken children;
    const auto link = std::make_unique<QObject>();
    cancel.onCancel(link.get(), [children] { children.cancel(); });

    auto transportTask = settle(
        coordinator.call(SOAPClient::Service::avTransport, QStringLiteral("GetTransportInfo"), instance(), children));
    auto positionTask = settle(
        coordinator.call(SOAPClient::Service::avTransport, QStringLiteral("GetPositionInfo"), instance(), children));
    auto mediaTask = settle(
        coordinator.call(SOAPClient::Service::avTransport, QStringLiteral("GetMediaInfo"), instance(), children));
    auto volumeTask = settle(groupVolume(group, children));
    auto muteTask = settle(coordinatorMuted(group, children));

    // Awaited in order; once one has failed, the ones after it are cancelled
    // but still awaited, so that no request is left running when this returns.
    std::exception_ptr failure;
    const auto note = [&](const std::exception_ptr &childFailure) {
        if (childFailure && !failure) {
            failure = childFailure;
            children.cancel();
        }
    };
    const Settled<XMLNode> transportInfo = co_await std::move(transportTask);
    note(transportInfo.failure);
    const Settled<XMLNode> positionInfo = co_await std::move(positionTask);
    note(positionInfo.failure);
    const Settled<XMLNode> mediaInfo = co_await std::move(mediaTask);
    note(mediaInfo.failure);
    const Settled<int> volume = co_await std::move(volumeTask);
    note(volume.failure);
    const Settled<bool> muted = co_await std::move(muteTask);
    note(muted.failure);
    if (failure)
        std::rethrow_exception(failure);

    PlaybackState state = snapshot(*transportInfo.value, *positionInfo.value, *mediaInfo.value, group.coordinator.host);
    state.volume = *volume.value;
    state.isMuted = *muted.value;
    co_return state;
}

} // namespace

namespace GroupControllerDetail {

SOAPClient clientFor(const SonosDevice &device)
{
    return SOAPClient(device.host, SOAPClient::defaultPort, SOAPClient::defaultTimeout);
}

SOAPClient::Arguments instance()
{
    return {{QStringLiteral("InstanceID"), QStringLiteral("0")}};
}

SOAPClient::Arguments masterChannel()
{
    return {{QStringLiteral("InstanceID"), QStringLiteral("0")}, {QStringLiteral("Channel"), QStringLiteral("Master")}};
}

QCoro::Task<void> send(
    SOAPClient client, SOAPClient::Service service, QString action, SOAPClient::Arguments arguments, CancellationToken cancel)
{
    co_await client.call(service, std::move(action), std::move(arguments), std::move(cancel));
}

} // namespace GroupControllerDetail

GroupController::GroupController(ZoneGroup group)
    : coordinator(group.coordinator.host, SOAPClient::defaultPort, SOAPClient::defaultTimeout)
    , m_group(std::move(group))
{ }

QCoro::Task<PlaybackState> GroupController::state(CancellationToken cancel) const
{
    return readState(m_group, coordinator, std::move(cancel));
}

std::optional<QString> GroupController::absoluteArtworkURL(const std::optional<QString> &path, const QString &coordinatorHost)
{
    if (!path || path->isEmpty())
        return std::nullopt;
    if (path->startsWith(u"http://") || path->startsWith(u"https://"))
        return path;
    QString url = QStringLiteral("http://") + coordinatorHost + QStringLiteral(":1400");
    if (!path->startsWith(u'/'))
        url += u'/';
    return url + *path;
}

QString GroupController::queueURI() const
{
    return QStringLiteral("x-rincon-queue:") + m_group.coordinator.uuid + QStringLiteral("#0");
}

} // namespace SonosKit
