// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Inputs: a player's line-in or a soundbar's TV as the group's source, and
// what the source lets a controller do.

#include "SonosKit/GroupController.h"

#include "SonosKit/GroupControllerDetail.h"
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
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("Play"), std::move(play));
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
