// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SOAPClient.h"

#include "SonosKit/BoundedRead.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QUrl>

#include <cmath>
#include <limits>

namespace SonosKit {

namespace {

// The timeout as the user reads it, in their language where the program
// installed a translation.
QString secondsText(double seconds)
{
    if (seconds == 1)
        return QCoreApplication::translate("SonosKit::SOAPClient", "1 second");
    const QString number = seconds == std::floor(seconds) && seconds < 1e9 ? QString::number(qint64(seconds))
                                                                           : QString::number(seconds, 'g', 3);
    //: %1 is a number of seconds other than one, e.g. "6" or "0.4".
    return QCoreApplication::translate("SonosKit::SOAPClient", "%1 seconds").arg(number);
}

// The deadline counts whole milliseconds: a NaN, zero or negative timeout
// gives the shortest, and one too long for the timer its longest, instead of
// wrapping into a short one.
std::chrono::milliseconds deadlineFor(double seconds)
{
    const double milliseconds = seconds * 1000.0;
    if (!(milliseconds >= 1.0))
        return std::chrono::milliseconds(1);
    if (milliseconds >= double(std::numeric_limits<int>::max()))
        return std::chrono::milliseconds(std::numeric_limits<int>::max());
    return std::chrono::milliseconds(std::lround(milliseconds));
}

SonosError cancelledError()
{
    return SonosError::network({.source = NetworkFailure::Source::http,
        .code = QNetworkReply::OperationCanceledError,
        .description = QStringLiteral("The request was cancelled."),
        .cancelled = true});
}

} // namespace

QString SOAPClient::controlPath(Service service)
{
    switch (service) {
    case Service::avTransport:
        return QStringLiteral("/MediaRenderer/AVTransport/Control");
    case Service::renderingControl:
        return QStringLiteral("/MediaRenderer/RenderingControl/Control");
    case Service::groupRenderingControl:
        return QStringLiteral("/MediaRenderer/GroupRenderingControl/Control");
    case Service::contentDirectory:
        return QStringLiteral("/MediaServer/ContentDirectory/Control");
    case Service::deviceProperties:
        return QStringLiteral("/DeviceProperties/Control");
    case Service::zoneGroupTopology:
        return QStringLiteral("/ZoneGroupTopology/Control");
    case Service::musicServices:
        return QStringLiteral("/MusicServices/Control");
    }
    return {};
}

QString SOAPClient::urn(Service service)
{
    switch (service) {
    case Service::avTransport:
        return QStringLiteral("urn:schemas-upnp-org:service:AVTransport:1");
    case Service::renderingControl:
        return QStringLiteral("urn:schemas-upnp-org:service:RenderingControl:1");
    case Service::groupRenderingControl:
        return QStringLiteral("urn:schemas-upnp-org:service:GroupRenderingControl:1");
    case Service::contentDirectory:
        return QStringLiteral("urn:schemas-upnp-org:service:ContentDirectory:1");
    case Service::deviceProperties:
        return QStringLiteral("urn:schemas-upnp-org:service:DeviceProperties:1");
    case Service::zoneGroupTopology:
        return QStringLiteral("urn:upnp-org:serviceId:ZoneGroupTopology");
    case Service::musicServices:
        return QStringLiteral("urn:schemas-upnp-org:service:MusicServices:1");
    }
    return {};
}

SOAPClient::SOAPClient(QString host, int port, double timeout)
    : host(std::move(host))
    , port(port)
    , timeout(timeout)
{ }

QString SOAPClient::envelope(Service service, const QString &action, const Arguments &arguments)
{
    static constexpr QLatin1StringView head("<?xml version=\"1.0\" encoding=\"utf-8\"?><s:Envelope "
                                            "xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                                            "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><u:");
    static constexpr QLatin1StringView tail("></s:Body></s:Envelope>");
    const QString serviceUrn = urn(service);

    qsizetype size = head.size() + 2 * action.size() + serviceUrn.size() + tail.size() + 16;
    for (const auto &[name, value] : arguments)
        size += 2 * name.size() + value.size() + 5;
    QString body;
    body.reserve(size + size / 8);

    body += head;
    body += action;
    body += QLatin1StringView(" xmlns:u=\"");
    body += serviceUrn;
    body += QLatin1StringView("\">");
    for (const auto &[name, value] : arguments) {
        body += u'<';
        body += name;
        body += u'>';
        body += XMLText::escape(value);
        body += QLatin1StringView("</");
        body += name;
        body += u'>';
    }
    body += QLatin1StringView("</u:");
    body += action;
    body += tail;
    return body;
}

SonosError SOAPClient::parseFault(const QString &body, const QString &action)
{
    const XMLDocument document = XMLText::document(body);
    const XMLNode root = document.root();
    if (root.isNull())
        throw SonosError::malformedResponse(QStringLiteral("unparseable fault for ") + action);
    // A web server's error page is markup too, yet no fault: a player without
    // the control address answers 404 with one, and only the status tells a
    // caller that the service is missing rather than refusing.
    const bool isFault = root.name().section(u':', -1) == u"Fault" || XMLText::firstDescendant(root, u"Fault")
        || XMLText::firstDescendant(root, u"errorCode");
    if (!isFault)
        throw SonosError::malformedResponse(QStringLiteral("no fault in the answer to ") + action);
    const std::optional<QString> codeText = XMLText::text(root, u"errorCode");
    const qint64 code = codeText ? Text::parseInteger(*codeText).value_or(-1) : -1;
    std::optional<QString> description = XMLText::text(root, u"errorDescription");
    if (!description)
        description = XMLText::text(root, u"faultstring");
    return SonosError::upnpFault(code, description.value_or(QStringLiteral("unknown")), action);
}

namespace {

QCoro::Task<QString> performCall(
    SOAPClient client, SOAPClient::Service service, QString action, SOAPClient::Arguments arguments, CancellationToken cancel)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(client.host, QUrl::StrictMode);
    url.setPort(client.port);
    url.setPath(SOAPClient::controlPath(service));
    // Qt reads a port of -1 as "none" and would quietly go to port 80.
    if (client.host.isEmpty() || !url.isValid() || url.host().isEmpty() || client.port < 0 || client.port > 65535)
        throw SonosError::malformedResponse(QStringLiteral("could not build a URL for host \"") + client.host + QLatin1Char('"'));

    if (cancel.isCancelled())
        throw cancelledError();

    QNetworkRequest request = BoundedRead::request(url);
    request.setRawHeader("Content-Type", "text/xml; charset=\"utf-8\"");
    request.setRawHeader("SOAPAction", '"' + SOAPClient::urn(service).toUtf8() + '#' + action.toUtf8() + '"');
    const BoundedRead::Result answer = co_await BoundedRead::send(std::move(request), QByteArray("POST"),
        SOAPClient::envelope(service, action, arguments).toUtf8(),
        BoundedRead::Limits{
            .maximumBytes = SOAPClient::maximumResponseBytes, .deadline = deadlineFor(client.timeout), .statusOnly = false},
        std::move(cancel));

    switch (answer.outcome) {
    case BoundedRead::Outcome::cancelled:
        throw cancelledError();
    case BoundedRead::Outcome::tooLarge:
        throw SonosError::malformedResponse(QStringLiteral("the response is larger than %1 MiB and was not read")
                                                .arg(SOAPClient::maximumResponseBytes / (1024 * 1024)));
    case BoundedRead::Outcome::timedOut:
        //: %1 is the player's address, %2 a time such as "6 seconds".
        throw SonosError::network({NetworkFailure::Source::http, int(QNetworkReply::OperationCanceledError),
            QCoreApplication::translate("SonosKit::SOAPClient", "The player at %1 did not answer within %2.")
                .arg(client.host, secondsText(client.timeout))});
    case BoundedRead::Outcome::failed:
    case BoundedRead::Outcome::answered:
        break;
    }
    const QNetworkReply::NetworkError error = answer.error;
    const int status = answer.status;
    // Qt reports 4xx and 5xx statuses as errors too; those still came with a
    // response to read. Errors below 200 (connection, proxy), broken HTTP, and
    // any error on a successful status (a body cut short or undecodable) mean
    // the transfer itself failed.
    const bool transportFailed = error != QNetworkReply::NoError
        && (status < 300 || error < QNetworkReply::ContentAccessDenied || error == QNetworkReply::ProtocolFailure);
    if (transportFailed)
        throw SonosError::network({NetworkFailure::Source::http, int(error), answer.errorString});

    const QString body = QString::fromUtf8(answer.body);
    if (status == 200)
        co_return body;
    SonosError fault = [&] {
        try {
            return SOAPClient::parseFault(body, action);
        } catch (const SonosError &) {
            return SonosError::httpStatus(status, body);
        }
    }();
    throw fault;
}

} // namespace

QCoro::Task<QString> SOAPClient::callReturningRawXML(
    Service service, QString action, Arguments arguments, CancellationToken cancel) const
{
    return performCall(*this, service, std::move(action), std::move(arguments), std::move(cancel));
}

namespace {

QCoro::Task<XMLNode> callForElement(QCoro::Task<QString> raw, QString action)
{
    const QString body = co_await std::move(raw);
    const XMLDocument document = XMLText::document(body);
    const XMLNode root = document.root();
    if (!root.isNull()) {
        std::optional<XMLNode> soapBody = XMLText::firstDescendant(root, u"Body");
        if (!soapBody && root.name() == u"Body")
            soapBody = root;
        if (soapBody) {
            if (XMLNode element = soapBody->firstElementChild(); !element.isNull())
                co_return element;
        }
    }
    throw SonosError::malformedResponse(QStringLiteral("no SOAP Body in the response to ") + action);
}

} // namespace

QCoro::Task<XMLNode> SOAPClient::call(Service service, QString action, Arguments arguments, CancellationToken cancel) const
{
    auto raw = callReturningRawXML(service, action, std::move(arguments), std::move(cancel));
    return callForElement(std::move(raw), std::move(action));
}

} // namespace SonosKit
