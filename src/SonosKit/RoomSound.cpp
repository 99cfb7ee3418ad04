// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Bass, treble and loudness are RenderingControl's own actions; night sound
// and speech enhancement are EQ types that only home-theatre players know,
// and the others refuse with a fault.

#include "SonosKit/RoomSound.h"

#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"
#include "SonosKit/XMLText.h"

#include <algorithm>

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

QString eqName(EQType type)
{
    return type == EQType::nightMode ? QStringLiteral("NightMode") : QStringLiteral("DialogLevel");
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

SOAPClient::Arguments with(SOAPClient::Arguments arguments, const QString &name, const QString &value)
{
    arguments.append({name, value});
    return arguments;
}

QCoro::Task<QString> value(
    SonosDevice device, QString action, SOAPClient::Arguments arguments, QString name, CancellationToken cancel)
{
    const XMLNode answer = co_await clientFor(device).call(
        SOAPClient::Service::renderingControl, action, std::move(arguments), std::move(cancel));
    co_return XMLText::text(answer, name).value_or(QString());
}

QCoro::Task<int> tone(SonosDevice device, QString which, CancellationToken cancel)
{
    const QString action = QStringLiteral("Get") + which;
    const QString name = QStringLiteral("Current") + which;
    const QString text = co_await value(std::move(device), action, instance(), name, std::move(cancel));
    // Unreadable is flat; beyond the scale is held to it.
    co_return RoomSound::heldTone(Text::parseInteger(text).value_or(0));
}

QCoro::Task<bool> loudness(SonosDevice device, CancellationToken cancel)
{
    const QString text = co_await value(
        std::move(device), QStringLiteral("GetLoudness"), masterChannel(), QStringLiteral("CurrentLoudness"), std::move(cancel));
    co_return text == u"1" || text == u"true";
}

// The faults a player gives for an EQ type it does not know. Any other
// (a busy or failed action) may pass: it is no answer about the type.
constexpr qint64 invalidAction = 401;
constexpr qint64 invalidArgs = 402;

bool lacksType(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const SonosError &error) {
        return error.kind() == SonosError::Kind::upnpFault && (error.code() == invalidArgs || error.code() == invalidAction);
    } catch (...) {
    }
    return false;
}

QCoro::Task<std::optional<bool>> readEQ(SonosDevice device, EQType type, CancellationToken cancel)
{
    QCoro::Task<QString> read = value(std::move(device), QStringLiteral("GetEQ"),
        with(instance(), QStringLiteral("EQType"), eqName(type)), QStringLiteral("CurrentValue"), std::move(cancel));
    const Settled<QString> answer = co_await settle(std::move(read));
    if (answer.failure) {
        // A player without the type refuses it; anything else is a failure.
        if (lacksType(answer.failure))
            co_return std::nullopt;
        std::rethrow_exception(answer.failure);
    }
    co_return RoomSound::eqSetting(*answer.value).value_or(false);
}

template<typename T>
void keep(std::exception_ptr &failure, Settled<T> &settled, T &into)
{
    if (!failure && settled.failure)
        failure = settled.failure;
    if (settled.value)
        into = *settled.value;
}

QCoro::Task<RoomSound> readAll(SonosDevice device, bool probeEQ, CancellationToken cancel)
{
    auto bassTask = settle(tone(device, QStringLiteral("Bass"), cancel));
    auto trebleTask = settle(tone(device, QStringLiteral("Treble"), cancel));
    auto loudnessTask = settle(loudness(device, cancel));
    std::optional<QCoro::Task<Settled<std::optional<bool>>>> nightTask;
    std::optional<QCoro::Task<Settled<std::optional<bool>>>> speechTask;
    if (probeEQ) {
        nightTask.emplace(settle(readEQ(device, EQType::nightMode, cancel)));
        speechTask.emplace(settle(readEQ(device, EQType::speechEnhancement, cancel)));
    }
    // Every request is awaited before the first failure is passed on.
    RoomSound sound;
    std::exception_ptr failure;
    Settled<int> bass = co_await std::move(bassTask);
    keep(failure, bass, sound.bass);
    Settled<int> treble = co_await std::move(trebleTask);
    keep(failure, treble, sound.treble);
    Settled<bool> loud = co_await std::move(loudnessTask);
    keep(failure, loud, sound.loudness);
    if (nightTask) {
        Settled<std::optional<bool>> night = co_await std::move(*nightTask);
        keep(failure, night, sound.nightMode);
        Settled<std::optional<bool>> speech = co_await std::move(*speechTask);
        keep(failure, speech, sound.speechEnhancement);
    }
    if (failure)
        std::rethrow_exception(failure);
    co_return sound;
}

} // namespace

int RoomSound::heldTone(qint64 level)
{
    return int(std::clamp<qint64>(level, lowestTone, highestTone));
}

std::optional<bool> RoomSound::eqSetting(QStringView text)
{
    const std::optional<qint64> level = Text::parseInteger(text);
    return level ? std::optional<bool>(*level != 0) : std::nullopt;
}

RoomSoundControl::RoomSoundControl(SonosDevice device)
    : m_device(std::move(device))
{ }

QCoro::Task<RoomSound> RoomSoundControl::read(bool probeEQ, CancellationToken cancel) const
{
    return readAll(m_device, probeEQ, std::move(cancel));
}

QCoro::Task<std::optional<bool>> RoomSoundControl::eq(EQType type, CancellationToken cancel) const
{
    return readEQ(m_device, type, std::move(cancel));
}

QCoro::Task<void> RoomSoundControl::setBass(int level) const
{
    return send(clientFor(m_device), SOAPClient::Service::renderingControl, QStringLiteral("SetBass"),
        with(instance(), QStringLiteral("DesiredBass"), QString::number(RoomSound::heldTone(level))));
}

QCoro::Task<void> RoomSoundControl::setTreble(int level) const
{
    return send(clientFor(m_device), SOAPClient::Service::renderingControl, QStringLiteral("SetTreble"),
        with(instance(), QStringLiteral("DesiredTreble"), QString::number(RoomSound::heldTone(level))));
}

QCoro::Task<void> RoomSoundControl::setLoudness(bool on) const
{
    return send(clientFor(m_device), SOAPClient::Service::renderingControl, QStringLiteral("SetLoudness"),
        with(masterChannel(), QStringLiteral("DesiredLoudness"), flag(on)));
}

QCoro::Task<void> RoomSoundControl::setEQ(EQType type, bool on) const
{
    SOAPClient::Arguments arguments = with(instance(), QStringLiteral("EQType"), eqName(type));
    return send(clientFor(m_device), SOAPClient::Service::renderingControl, QStringLiteral("SetEQ"),
        with(std::move(arguments), QStringLiteral("DesiredValue"), flag(on)));
}

QCoro::Task<void> RoomSoundControl::reset() const
{
    // One after another, so that a refusal leaves the rest unsent.
    const RoomSoundControl control = *this;
    co_await control.setBass(0);
    co_await control.setTreble(0);
    co_await control.setLoudness(true);
}

} // namespace SonosKit
