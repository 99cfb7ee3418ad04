// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SoapMessages.h"

#include <QXmlStreamReader>

namespace playersim {

QString escapeText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            escaped += QLatin1String("&amp;");
            break;
        case u'<':
            escaped += QLatin1String("&lt;");
            break;
        case u'>':
            escaped += QLatin1String("&gt;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

Answer soapResponse(const QString &serviceUrn, const QString &action, const Arguments &outArguments)
{
    QString body = QStringLiteral("<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                                  "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><u:")
        + action + QStringLiteral("Response xmlns:u=\"") + serviceUrn + QStringLiteral("\">");
    for (const auto &[name, value] : outArguments)
        body += QLatin1Char('<') + name + QLatin1Char('>') + escapeText(value) + QStringLiteral("</") + name + QLatin1Char('>');
    body += QStringLiteral("</u:") + action + QStringLiteral("Response></s:Body></s:Envelope>");
    return Answer{200, body.toUtf8(), "text/xml; charset=\"utf-8\"", {}};
}

Answer soapFault(int errorCode, const std::optional<QString> &description)
{
    QString body = QStringLiteral("<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                                  "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><s:Fault>"
                                  "<faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring><detail>"
                                  "<UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>")
        + QString::number(errorCode) + QStringLiteral("</errorCode>");
    if (description)
        body += QStringLiteral("<errorDescription>") + escapeText(*description) + QStringLiteral("</errorDescription>");
    body += QStringLiteral("</UPnPError></detail></s:Fault></s:Body></s:Envelope>");
    return Answer{500, body.toUtf8(), "text/xml; charset=\"utf-8\"", {}};
}

std::optional<SoapCall> parseSoapRequest(const QByteArray &soapActionHeader, const QByteArray &body)
{
    SoapCall call;
    QByteArray header = soapActionHeader.trimmed();
    if (header.startsWith('"') && header.endsWith('"') && header.size() >= 2)
        header = header.mid(1, header.size() - 2);
    const qsizetype hash = header.lastIndexOf('#');
    if (hash >= 0) {
        call.serviceUrn = QString::fromUtf8(header.left(hash));
        call.action = QString::fromUtf8(header.mid(hash + 1));
    }

    // Envelope > Body > action element > arguments.
    QXmlStreamReader reader(body);
    int depth = 0;
    bool inBody = false;
    int actionDepth = 0;
    QString currentArgument;
    QString currentValue;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        // Like a player, the simulator reads no DTD and so expands no entity.
        if (token == QXmlStreamReader::DTD)
            return std::nullopt;
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (!inBody && reader.name() == u"Body") {
                inBody = true;
            } else if (inBody && actionDepth == 0) {
                actionDepth = depth;
                if (call.action.isEmpty())
                    call.action = reader.name().toString();
            } else if (actionDepth && depth == actionDepth + 1) {
                currentArgument = reader.name().toString();
                currentValue.clear();
            }
        } else if (token == QXmlStreamReader::Characters) {
            if (actionDepth && depth == actionDepth + 1)
                currentValue += reader.text();
        } else if (token == QXmlStreamReader::EndElement) {
            if (actionDepth && depth == actionDepth + 1)
                call.arguments.append({currentArgument, currentValue});
            --depth;
        }
    }
    if (reader.hasError() || actionDepth == 0)
        return std::nullopt;
    return call;
}

} // namespace playersim
