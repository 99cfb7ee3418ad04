// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// RenderingControl's sound settings of one player: bass, treble, loudness,
// and the EQ types of a home-theatre player (NightMode, DialogLevel). Other
// players refuse those types as they refuse any argument they do not know.

#include "HouseholdState.h"
#include "SoapMessages.h"

namespace playersim {

namespace {

const QString renderingUrn = QStringLiteral("urn:schemas-upnp-org:service:RenderingControl:1");

constexpr int lowestTone = -10;
constexpr int highestTone = 10;
constexpr int invalidArgsFault = 402;

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

std::optional<bool> booleanArgument(const QString &text)
{
    if (text == u"1" || text == u"true")
        return true;
    if (text == u"0" || text == u"false")
        return false;
    return std::nullopt;
}

std::optional<int> toneArgument(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowestTone || value > highestTone)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<Answer> HouseholdState::answerRoomSound(int index, const SoapCall &call)
{
    const QString &action = call.action;
    static const QStringList actions{QStringLiteral("GetBass"), QStringLiteral("SetBass"), QStringLiteral("GetTreble"),
        QStringLiteral("SetTreble"), QStringLiteral("GetLoudness"), QStringLiteral("SetLoudness"), QStringLiteral("GetEQ"),
        QStringLiteral("SetEQ")};
    if (!actions.contains(action))
        return std::nullopt;
    if (call.argument(QStringLiteral("InstanceID")) != u"0")
        return soapFault(invalidArgsFault);
    SimPlayer &self = *players[index];
    auto answer = [&](const QString &name, const QString &value) { return soapResponse(renderingUrn, action, {{name, value}}); };
    auto done = [&] { return soapResponse(renderingUrn, action, {}); };

    if (action == u"GetBass")
        return answer(QStringLiteral("CurrentBass"), QString::number(self.bass));
    if (action == u"GetTreble")
        return answer(QStringLiteral("CurrentTreble"), QString::number(self.treble));
    if (action == u"SetBass" || action == u"SetTreble") {
        const bool bass = action == u"SetBass";
        const std::optional<int> level = toneArgument(
            call.argument(bass ? QStringLiteral("DesiredBass") : QStringLiteral("DesiredTreble")));
        if (!level)
            return soapFault(invalidArgsFault);
        (bass ? self.bass : self.treble) = *level;
        return done();
    }
    if (action == u"GetLoudness" || action == u"SetLoudness") {
        if (call.argument(QStringLiteral("Channel")) != u"Master")
            return soapFault(invalidArgsFault);
        if (action == u"GetLoudness")
            return answer(QStringLiteral("CurrentLoudness"), flag(self.loudness));
        const std::optional<bool> on = booleanArgument(call.argument(QStringLiteral("DesiredLoudness")));
        if (!on)
            return soapFault(invalidArgsFault);
        self.loudness = *on;
        return done();
    }
    // GetEQ and SetEQ: the home-theatre types on a player with a TV input.
    const QString type = call.argument(QStringLiteral("EQType"));
    bool *setting = nullptr;
    if (self.record.tv && type == u"NightMode")
        setting = &self.nightMode;
    else if (self.record.tv && type == u"DialogLevel")
        setting = &self.dialogLevel;
    if (!setting)
        return soapFault(invalidArgsFault);
    if (action == u"GetEQ")
        return answer(QStringLiteral("CurrentValue"), flag(*setting));
    const std::optional<bool> on = booleanArgument(call.argument(QStringLiteral("DesiredValue")));
    if (!on)
        return soapFault(invalidArgsFault);
    *setting = *on;
    return done();
}

} // namespace playersim
