// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Shuffle, repeat and crossfade: the group's, kept by its coordinator, and
// refused (712) for sources that play as they come.

#include "SonosKit/GroupController.h"

#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

// A 712 says the source refuses the mode: named as such, so callers can
// tell it from a player that failed.
QCoro::Task<void> sendMode(SOAPClient coordinator, QString action, SOAPClient::Arguments arguments)
{
    try {
        co_await send(coordinator, SOAPClient::Service::avTransport, action, std::move(arguments));
    } catch (const SonosError &error) {
        if (error.kind() == SonosError::Kind::upnpFault && error.code() == SonosError::playModeFault)
            throw SonosError::playModeNotAllowed(action);
        throw;
    }
}

QCoro::Task<PlayMode> readPlayMode(SOAPClient coordinator, CancellationToken cancel)
{
    const XMLNode answer = co_await coordinator.call(
        SOAPClient::Service::avTransport, QStringLiteral("GetTransportSettings"), instance(), cancel);
    co_return PlayMode::fromRawValue(XMLText::text(answer, u"PlayMode").value_or(QString())).value_or(PlayMode{});
}

QCoro::Task<bool> readCrossfade(SOAPClient coordinator, CancellationToken cancel)
{
    const XMLNode answer = co_await coordinator.call(
        SOAPClient::Service::avTransport, QStringLiteral("GetCrossfadeMode"), instance(), cancel);
    co_return XMLText::text(answer, u"CrossfadeMode").value_or(QString()).trimmed() == u"1";
}

QCoro::Task<ValidPlayModes> readValidPlayModes(SOAPClient coordinator, CancellationToken cancel)
{
    const XMLNode answer = co_await coordinator.call(
        SOAPClient::Service::avTransport, QStringLiteral("GetMediaInfo"), instance(), cancel);
    co_return ValidPlayModes::forTransportURI(XMLText::text(answer, u"CurrentURI").value_or(QString()));
}

} // namespace

QCoro::Task<void> GroupController::setPlayMode(PlayMode mode) const
{
    SOAPClient::Arguments arguments = instance();
    arguments.append({QStringLiteral("NewPlayMode"), mode.rawValue()});
    return sendMode(coordinator, QStringLiteral("SetPlayMode"), std::move(arguments));
}

QCoro::Task<PlayMode> GroupController::playMode(CancellationToken cancel) const
{
    return readPlayMode(coordinator, std::move(cancel));
}

QCoro::Task<void> GroupController::setCrossfade(bool on) const
{
    SOAPClient::Arguments arguments = instance();
    arguments.append({QStringLiteral("CrossfadeMode"), on ? QStringLiteral("1") : QStringLiteral("0")});
    return sendMode(coordinator, QStringLiteral("SetCrossfadeMode"), std::move(arguments));
}

QCoro::Task<bool> GroupController::crossfade(CancellationToken cancel) const
{
    return readCrossfade(coordinator, std::move(cancel));
}

QCoro::Task<ValidPlayModes> GroupController::validPlayModes(CancellationToken cancel) const
{
    return readValidPlayModes(coordinator, std::move(cancel));
}

} // namespace SonosKit
