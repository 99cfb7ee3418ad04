// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Inputs: a player's line-in or a soundbar's TV as the group's source, and
// what the source lets a controller do.

#include "SonosKit/GroupController.h"

#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

QCoro::Task<void> playInput(SOAPClient coordinator, InputSource input)
{
    // Players take an input with no metadata; they describe it themselves.
    SOAPClient::Arguments arguments = instance();
    arguments.append({QStringLiteral("CurrentURI"), input.uri()});
    arguments.append({QStringLiteral("CurrentURIMetaData"), QString()});
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("SetAVTransportURI"), std::move(arguments));
    SOAPClient::Arguments play = instance();
    play.append({QStringLiteral("Speed"), QStringLiteral("1")});
    try {
        co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Play"), std::move(play));
    } catch (const SonosError &error) {
        // Soundbars play their TV by themselves once it is the source, and
        // have been reported to answer Play on it with a fault.
        if (input.kind != InputSource::Kind::tv || error.kind() != SonosError::Kind::upnpFault)
            throw;
    }
}

QCoro::Task<TransportActions> readTransportActions(SOAPClient coordinator, CancellationToken cancel)
{
    const XMLNode answer = co_await coordinator.call(
        SOAPClient::Service::avTransport, QStringLiteral("GetCurrentTransportActions"), instance(), std::move(cancel));
    co_return transportActionsFromText(XMLText::text(answer, u"Actions").value_or(QString()));
}

} // namespace

QCoro::Task<void> GroupController::playLineIn(SonosDevice source) const
{
    return playInput(coordinator, InputSource{InputSource::Kind::lineIn, source.uuid});
}

QCoro::Task<void> GroupController::playTV(SonosDevice soundbar) const
{
    return playInput(coordinator, InputSource{InputSource::Kind::tv, soundbar.uuid});
}

QCoro::Task<TransportActions> GroupController::transportActions(CancellationToken cancel) const
{
    return readTransportActions(coordinator, std::move(cancel));
}

} // namespace SonosKit
