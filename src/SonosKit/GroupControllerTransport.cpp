// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Transport commands: every one goes to the coordinator, which carries the
// group's transport; members refuse them.

#include "SonosKit/GroupController.h"

#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/XMLText.h"

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

SOAPClient::Arguments playArguments()
{
    return {{QStringLiteral("InstanceID"), QStringLiteral("0")}, {QStringLiteral("Speed"), QStringLiteral("1")}};
}

QCoro::Task<TransportState> readTransportState(SOAPClient coordinator)
{
    const XMLNode info = co_await coordinator.call(
        SOAPClient::Service::avTransport, QStringLiteral("GetTransportInfo"), instance());
    co_return transportStateFromRawValue(XMLText::text(info, u"CurrentTransportState").value_or(QString()))
        .value_or(TransportState::stopped);
}

QCoro::Task<void> toggle(SOAPClient coordinator)
{
    // Acts on the state it read, even if another controller changes it in
    // between: nothing is held across the two requests.
    const TransportState current = co_await readTransportState(coordinator);
    if (isPlaying(current))
        co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Pause"), instance());
    else
        co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Play"), playArguments());
}

} // namespace

QCoro::Task<void> GroupController::play() const
{
    return send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Play"), playArguments());
}

QCoro::Task<void> GroupController::pause() const
{
    return send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Pause"), instance());
}

QCoro::Task<void> GroupController::stop() const
{
    return send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Stop"), instance());
}

QCoro::Task<void> GroupController::next() const
{
    return send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Next"), instance());
}

QCoro::Task<void> GroupController::previous() const
{
    return send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Previous"), instance());
}

QCoro::Task<TransportState> GroupController::transportState() const
{
    return readTransportState(coordinator);
}

QCoro::Task<void> GroupController::togglePlayPause() const
{
    return toggle(coordinator);
}

QCoro::Task<void> GroupController::seek(int seconds) const
{
    return send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Seek"),
        {{QStringLiteral("InstanceID"), QStringLiteral("0")}, {QStringLiteral("Unit"), QStringLiteral("REL_TIME")},
            {QStringLiteral("Target"), seekTarget(seconds)}});
}

} // namespace SonosKit
