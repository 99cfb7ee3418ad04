// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "PlayerSimTestSupport.h"

#include "AsyncTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace playersimtest {

SonosKit::XMLNode call(
    const QString &address, Service service, const QString &action, const SonosKit::SOAPClient::Arguments &arguments)
{
    SonosKit::SOAPClient client(address, 1400, 5.0);
    return testsupport::await(client.call(service, action, arguments), std::chrono::seconds(10));
}

std::optional<qint64> faultCode(
    const QString &address, Service service, const QString &action, const SonosKit::SOAPClient::Arguments &arguments)
{
    try {
        call(address, service, action, arguments);
    } catch (const SonosKit::SonosError &error) {
        if (error.kind() == SonosKit::SonosError::Kind::upnpFault)
            return error.code();
    }
    return std::nullopt;
}

QString text(const SonosKit::XMLNode &node, const QString &name)
{
    return SonosKit::XMLText::text(node, name).value_or(QString());
}

QByteArray smallHouseholdJson(int trackSeconds, int tracks)
{
    QJsonArray queue;
    for (int i = 1; i <= tracks; ++i)
        queue.append(QJsonObject{{"title", QStringLiteral("Short %1").arg(i)},
            {"uri", QStringLiteral("x-file-cifs://nas/short/%1.flac").arg(i)}, {"duration", trackSeconds},
            {"artist", "Kurz & Gut"}, {"albumArtURI", QStringLiteral("/getaa?s=1&u=short%1").arg(i)}});
    const QJsonObject household{
        {"players",
            QJsonArray{QJsonObject{{"uuid", "RINCON_A01400"}, {"room", "Alpha"}, {"queue", queue}},
                QJsonObject{{"uuid", "RINCON_B01400"}, {"room", "Beta"}, {"volume", 40}},
                QJsonObject{{"uuid", "RINCON_C01400"}, {"room", "Gamma"}}}},
        {"groups",
            QJsonArray{QJsonObject{{"coordinator", "RINCON_A01400"}, {"members", QJsonArray{"RINCON_A01400", "RINCON_B01400"}}}}},
        {"services", QJsonArray{QJsonObject{{"id", 12}, {"name", "Spotify"}}}},
    };
    return QJsonDocument(household).toJson();
}

} // namespace playersimtest
