// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Transport commands: every one goes to the coordinator, which carries the
// group's transport; members refuse them.

#include "SonosKit/GroupController.h"

#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"
#include "SonosKit/XMLText.h"

#include <QRegularExpression>

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

// "H:MM:SS" with minutes and seconds below 60, digits only, within a day.
std::optional<std::chrono::seconds> sleepTimeLeft(const QString &text)
{
    static const QRegularExpression clock(QRegularExpression::anchoredPattern(u"[0-9]+:[0-5][0-9]:[0-5][0-9]"));
    const std::optional<qint64> seconds = clock.match(text).hasMatch() ? XMLText::seconds(text) : std::nullopt;
    if (!seconds || *seconds > SleepTimer::longest.count())
        return std::nullopt;
    return std::chrono::seconds(*seconds);
}

QCoro::Task<SleepTimer> readSleepTimer(SOAPClient coordinator, CancellationToken cancel)
{
    const XMLNode answer = co_await coordinator.call(
        SOAPClient::Service::avTransport, QStringLiteral("GetRemainingSleepTimerDuration"), instance(), cancel);
    SleepTimer timer;
    timer.remaining = sleepTimeLeft(XMLText::text(answer, u"RemainingSleepTimerDuration").value_or(QString()));
    const std::optional<qint64> generation = Text::parseInteger(
        XMLText::text(answer, u"CurrentSleepTimerGeneration").value_or(QString()));
    if (generation && *generation >= 0 && *generation <= std::numeric_limits<quint32>::max())
        timer.generation = quint32(*generation);
    co_return timer;
}

QCoro::Task<void> setSleepTimer(SOAPClient coordinator, std::chrono::seconds length)
{
    if (length < std::chrono::seconds::zero() || length > SleepTimer::longest)
        throw SonosError::sleepTimerOutOfRange(length.count());
    // "hh:mm:ss"; empty cancels.
    const QString duration = length == std::chrono::seconds::zero() ? QString() : Text::clock(length.count(), 2);
    SOAPClient::Arguments arguments = instance();
    arguments.append({QStringLiteral("NewSleepTimerDuration"), duration});
    co_await send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("ConfigureSleepTimer"), std::move(arguments));
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
            {QStringLiteral("Target"), Text::clock(seconds)}});
}

QCoro::Task<void> GroupController::configureSleepTimer(std::chrono::seconds length) const
{
    return setSleepTimer(coordinator, length);
}

QCoro::Task<SleepTimer> GroupController::sleepTimer(CancellationToken cancel) const
{
    return readSleepTimer(coordinator, std::move(cancel));
}

} // namespace SonosKit
