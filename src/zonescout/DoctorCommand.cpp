// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "DoctorCommand.h"

#include <SonosKit/doctor/ConnectionDoctor.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace zonescout {

namespace {

QString fixKindName(SonosKit::Diagnosis::Fix::Kind kind)
{
    switch (kind) {
    case SonosKit::Diagnosis::Fix::Kind::none:
        return QStringLiteral("none");
    case SonosKit::Diagnosis::Fix::Kind::command:
        return QStringLiteral("command");
    case SonosKit::Diagnosis::Fix::Kind::setting:
        return QStringLiteral("setting");
    }
    return {};
}

} // namespace

QJsonObject diagnosisJson(const SonosKit::Diagnosis &diagnosis)
{
    using SonosKit::Diagnosis;
    QJsonArray interfaces;
    for (const auto &each : diagnosis.interfaces) {
        interfaces.append(QJsonObject{{QStringLiteral("name"), each.name}, {QStringLiteral("address"), each.address},
            {QStringLiteral("subnet"), each.subnet}, {QStringLiteral("up"), each.up}, {QStringLiteral("running"), each.running},
            {QStringLiteral("multicast"), each.multicast}, {QStringLiteral("loopback"), each.loopback}});
    }
    QJsonArray checks;
    for (const auto &check : diagnosis.checks) {
        checks.append(
            QJsonObject{{QStringLiteral("name"), check.name}, {QStringLiteral("outcome"), Diagnosis::outcomeName(check.outcome)},
                {QStringLiteral("detail"), check.detail}, {QStringLiteral("ms"), qint64(check.duration.count())}});
    }
    return QJsonObject{{QStringLiteral("cause"), Diagnosis::causeName(diagnosis.cause)},
        {QStringLiteral("text"), diagnosis.causeText()},
        {QStringLiteral("fix"),
            QJsonObject{{QStringLiteral("kind"), fixKindName(diagnosis.fix.kind)}, {QStringLiteral("text"), diagnosis.fix.text}}},
        {QStringLiteral("hints"), QJsonArray::fromStringList(diagnosis.hints)},
        {QStringLiteral("vpnActive"), diagnosis.vpnActive}, {QStringLiteral("avahi"), diagnosis.avahiRunning},
        {QStringLiteral("firewall"), Diagnosis::firewallName(diagnosis.firewall)},
        {QStringLiteral("manualHost"), diagnosis.manualHost ? QJsonValue(*diagnosis.manualHost) : QJsonValue()},
        {QStringLiteral("interfaces"), interfaces}, {QStringLiteral("speakerInterface"), diagnosis.speakerInterface},
        {QStringLiteral("checks"), checks}};
}

QString diagnosisText(const SonosKit::Diagnosis &diagnosis)
{
    using SonosKit::Diagnosis;
    QString text;
    // Without a cause, a VPN is among the hints.
    if (diagnosis.cause != Diagnosis::Cause::none)
        text += diagnosis.causeText() + u'\n';
    else if (!diagnosis.vpnActive)
        text += QStringLiteral("Speakers answered and may be controlled.\n");
    if (diagnosis.fix.kind == Diagnosis::Fix::Kind::command)
        text += QStringLiteral("Run: %1\n").arg(diagnosis.fix.text);
    else if (diagnosis.fix.kind == Diagnosis::Fix::Kind::setting)
        text += QStringLiteral("Fix: %1\n").arg(diagnosis.fix.text);
    for (const QString &hint : diagnosis.hints)
        text += QStringLiteral("Hint: %1\n").arg(hint);
    text += u'\n' + diagnosis.diagnosticsText(QStringLiteral(ZONESCOUT_VERSION));
    return text;
}

QCoro::Task<QByteArray> runDoctor(Options options)
{
    SonosKit::ConnectionDoctor::Options doctorOptions;
    doctorOptions.manualHost = options.host;
    const SonosKit::Diagnosis diagnosis = co_await SonosKit::ConnectionDoctor::examine(doctorOptions);
    if (options.json)
        co_return QJsonDocument(diagnosisJson(diagnosis)).toJson(QJsonDocument::Indented);
    co_return diagnosisText(diagnosis).toUtf8();
}

} // namespace zonescout
