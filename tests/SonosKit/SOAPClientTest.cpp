// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include <SonosKit/SOAPClient.h>
#include <SonosKit/SonosError.h>
#include <playersim/SimServer.h>
#include <playersim/SoapMessages.h>

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QTimer>

#include <gtest/gtest.h>

using namespace SonosKit;
using namespace std::chrono_literals;
using playersim::Answer;
using playersim::Fault;
using testsupport::await;
using testsupport::failureOf;

namespace {

const QString envelopeStart = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
    "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>");

// One simulated player on its own loopback address; each test gets a fresh one
// so that CTest can run the tests of this file in parallel.
class SOAPClientTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        address = testsupport::firstAddress(testsupport::Suite::SOAPClient);
        server = std::make_unique<playersim::SimServer>(address, 1400, log);
        server->setSoapHandler([](const playersim::SoapCall &call) {
            return playersim::soapResponse(call.serviceUrn, call.action, {{QStringLiteral("Echo"), call.action}});
        });
        QString error;
        ASSERT_TRUE(server->start(&error)) << error.toStdString();
    }

    // In place of whatever was answered before.
    void answerWith(int status, QByteArray body, QByteArray contentType = "text/xml; charset=\"utf-8\"")
    {
        server->inject({}, Fault{.answer = Answer{status, std::move(body), std::move(contentType), {}}});
    }

    SonosError callFails(double timeout = 6.0, const QString &action = QStringLiteral("Play"))
    {
        SOAPClient client(address, 1400, timeout);
        auto error = failureOf<SonosError>(client.call(SOAPClient::Service::avTransport, action, {}));
        return error ? *error : SonosError::noPlayersFound();
    }

    QString address;
    std::shared_ptr<playersim::RequestLog> log = std::make_shared<playersim::RequestLog>();
    std::unique_ptr<playersim::SimServer> server;
};

} // namespace

TEST_F(SOAPClientTest, sendsTheExactEnvelopeAndHeaders)
{
    SOAPClient client(address);
    await(client.call(SOAPClient::Service::zoneGroupTopology, QStringLiteral("GetZoneGroupState")));
    await(client.call(SOAPClient::Service::avTransport, QStringLiteral("Seek"),
        {{QStringLiteral("InstanceID"), QStringLiteral("0")}, {QStringLiteral("Unit"), QStringLiteral("REL_TIME")},
            {QStringLiteral("Target"), QStringLiteral("&<>\"' \u00e9\U0001F3B5")}}));

    const auto requests = log->all();
    ASSERT_EQ(requests.size(), 2u);
    const auto &topology = requests[0];
    EXPECT_EQ(topology.method, "POST");
    EXPECT_EQ(topology.header("Content-Type"), "text/xml; charset=\"utf-8\"");
    EXPECT_EQ(topology.header("SOAPAction"), "\"urn:upnp-org:serviceId:ZoneGroupTopology#GetZoneGroupState\"");
    EXPECT_EQ(QString::fromUtf8(topology.body),
        envelopeStart
            + QStringLiteral("<u:GetZoneGroupState xmlns:u=\"urn:upnp-org:serviceId:ZoneGroupTopology\"></u:GetZoneGroupState>"
                             "</s:Body></s:Envelope>"));

    const auto &seek = requests[1];
    EXPECT_EQ(seek.header("SOAPAction"), "\"urn:schemas-upnp-org:service:AVTransport:1#Seek\"");
    EXPECT_EQ(QString::fromUtf8(seek.body),
        envelopeStart
            + QStringLiteral("<u:Seek xmlns:u=\"urn:schemas-upnp-org:service:AVTransport:1\"><InstanceID>0</InstanceID>"
                             "<Unit>REL_TIME</Unit><Target>&amp;&lt;&gt;&quot;&apos; \u00e9\U0001F3B5</Target></u:Seek>"
                             "</s:Body></s:Envelope>"));
    // What the player decoded is what was meant, UTF-8 included.
    EXPECT_EQ(seek.call.argument(QStringLiteral("Target")), QStringLiteral("&<>\"' \u00e9\U0001F3B5"));
}

TEST_F(SOAPClientTest, unusableHostFailsBeforeAnyRequest)
{
    const std::pair<QString, int> endpoints[] = {
        {QStringLiteral("bad host"), 1400}, {QString(), 1400}, {QStringLiteral("a/b"), 1400}, {address, -1}, {address, 65536}};
    for (const auto &[host, port] : endpoints) {
        SOAPClient client(host, port);
        auto error = failureOf<SonosError>(client.call(SOAPClient::Service::avTransport, QStringLiteral("Play")));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), SonosError::Kind::malformedResponse);
        EXPECT_EQ(error->detail(), QStringLiteral("could not build a URL for host \"") + host + QLatin1Char('"'));
    }
    EXPECT_TRUE(log->all().empty());
}

// Whatever comes back instead of an answer fails the call with what it says.
TEST_F(SOAPClientTest, answersThatAreNoResultFailWithWhatTheySay)
{
    // The real answer of a player to a refused Seek: faultstring only.
    const QByteArray playerFault
        = "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
          "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><s:Fault><faultcode>s:Client"
          "</faultcode><faultstring>UPnPError</faultstring><detail><UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\">"
          "<errorCode>701</errorCode></UPnPError></detail></s:Fault></s:Body></s:Envelope>";
    const QByteArray longBody = QByteArray("Service Unavailable ").repeated(40);
    const QByteArray errorPage = "<html><body>Not here</body></html>";
    const SonosError noBody = SonosError::malformedResponse(QStringLiteral("no SOAP Body in the response to Play"));
    const struct {
        int status;
        QByteArray body;
        QByteArray contentType;
        SonosError error;
    } cases[] = {
        {500, playerFault, "text/xml", SonosError::upnpFault(701, QStringLiteral("UPnPError"), QStringLiteral("Play"))},
        {500, playersim::soapFault(714, QStringLiteral("Illegal MIME-Type")).body, "text/xml",
            SonosError::upnpFault(714, QStringLiteral("Illegal MIME-Type"), QStringLiteral("Play"))},
        {503, longBody, "text/plain", SonosError::httpStatus(503, QString::fromUtf8(longBody))},
        {204, {}, "text/xml", SonosError::httpStatus(204, QString())},
        {500, "   \n ", "text/xml", SonosError::httpStatus(500, QStringLiteral("   \n "))},
        // Markup without a fault in it is an error page, as a player without
        // the control address sends one.
        {404, errorPage, "text/html", SonosError::httpStatus(404, QString::fromUtf8(errorPage))},
        {202, "Accepted", "text/plain", SonosError::httpStatus(202, QStringLiteral("Accepted"))},
        {200, "  \r\n\t ", "text/xml", SonosError::malformedResponse(QStringLiteral("empty document"))},
        {200, "<s:Envelope xmlns:s=\"e\"><s:Header/></s:Envelope>", "text/xml", noBody},
        {200, "<s:Envelope xmlns:s=\"e\"><s:Body>just text<!-- and a comment --></s:Body></s:Envelope>", "text/xml", noBody},
        {200, "<s:Body xmlns:s=\"e\"><u:PlayResponse/></s:Body>", "text/xml", noBody},
    };
    for (const auto &row : cases) {
        answerWith(row.status, row.body, row.contentType);
        const SonosError error = callFails();
        EXPECT_EQ(error, row.error) << row.status << ' ' << row.body.left(80).data();
        EXPECT_FALSE(error.isCancellation());
    }

    answerWith(500, playerFault);
    EXPECT_EQ(callFails().errorDescription(),
        QStringLiteral("Play failed: UPnP error 701 UPnPError. Transition not available. Either the command went to a "
                       "non-coordinator, or the loaded URI is not playable \u2014 a station whose streaming service is no "
                       "longer authorized returns 701 on Play even though SetAVTransportURI succeeded."));
    // Codes that are no number read as -1.
    for (const QByteArray &body : {QByteArray("<Fault><errorCode>abc</errorCode><faultstring>UPnPError</faultstring></Fault>"),
             QByteArray("<Fault><errorCode>99999999999999999999</errorCode></Fault>")}) {
        answerWith(500, body);
        EXPECT_EQ(callFails().code(), -1) << body.data();
    }
    answerWith(200, "OK", "text/plain");
    EXPECT_TRUE(callFails().detail().endsWith(QStringLiteral(" in: OK")));

    // The raw text of a blank answer is there for who asks for it; a bare,
    // unprefixed Body root is accepted.
    SOAPClient client(address);
    answerWith(200, "  \r\n\t ");
    EXPECT_EQ(
        await(client.callReturningRawXML(SOAPClient::Service::avTransport, QStringLiteral("Play"))), QStringLiteral("  \r\n\t "));
    answerWith(200, "<Body>\n  <!-- answer follows -->\n  <PlayResponse><X>1</X></PlayResponse></Body>");
    EXPECT_EQ(
        await(client.call(SOAPClient::Service::avTransport, QStringLiteral("Play"))).name(), QStringLiteral("PlayResponse"));
}

TEST_F(SOAPClientTest, invalidUtf8IsReplacedNotRejected)
{
    answerWith(200, "<s:Envelope xmlns:s=\"e\"><s:Body><R><Title>Bad \xff\xfe byte</Title></R></s:Body></s:Envelope>");
    SOAPClient client(address);
    const QString raw = await(client.callReturningRawXML(SOAPClient::Service::avTransport, QStringLiteral("Play")));
    EXPECT_TRUE(raw.contains(QStringLiteral("Bad \uFFFD\uFFFD byte")));
    const XMLNode answer = await(client.call(SOAPClient::Service::avTransport, QStringLiteral("Play")));
    EXPECT_EQ(XMLText::text(answer, u"Title"), QStringLiteral("Bad \uFFFD\uFFFD byte"));
}

TEST_F(SOAPClientTest, transportFailuresAreNetworkErrorsAPersonCanRead)
{
    // Nobody listens on this address.
    SOAPClient nobody(testsupport::firstAddress(testsupport::Suite::SOAPClient, 7));
    auto refused = failureOf<SonosError>(nobody.call(SOAPClient::Service::avTransport, QStringLiteral("Play")));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->kind(), SonosError::Kind::network);
    EXPECT_EQ(refused->underlying().code, QNetworkReply::ConnectionRefusedError);
    EXPECT_TRUE(refused->errorDescription().startsWith(QStringLiteral("Network error talking to the player: ")));

    server->inject({}, Fault{.reset = true});
    SonosError reset = callFails();
    EXPECT_EQ(reset.kind(), SonosError::Kind::network);
    EXPECT_FALSE(reset.isCancellation());
}

TEST_F(SOAPClientTest, cancellationAbortsInFlightRequests)
{
    server->inject({}, Fault{.delay = 5s});
    CancellationToken cancel;
    SOAPClient client(address);
    QTimer::singleShot(100ms, [cancel] { cancel.cancel(); });
    QElapsedTimer timer;
    timer.start();
    auto error = failureOf<SonosError>(client.call(SOAPClient::Service::avTransport, QStringLiteral("Play"), {}, cancel));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), SonosError::Kind::network);
    EXPECT_EQ(error->errorDescription(), QStringLiteral("Network error talking to the player: The request was cancelled."));
    EXPECT_TRUE(error->isCancellation());
    EXPECT_LT(timer.elapsed(), 2000);

    // An already cancelled token sends nothing at all.
    const auto before = log->all().size();
    const auto early = failureOf<SonosError>(client.call(SOAPClient::Service::avTransport, QStringLiteral("Play"), {}, cancel));
    ASSERT_TRUE(early);
    EXPECT_TRUE(early->isCancellation());
    EXPECT_EQ(*early, *error);
    EXPECT_EQ(log->all().size(), before);
    // Made by hand with the same code and words, an error is still no cancellation.
    const SonosError lookalike = SonosError::network(
        {NetworkFailure::Source::http, QNetworkReply::OperationCanceledError, QStringLiteral("The request was cancelled.")});
    EXPECT_FALSE(lookalike.isCancellation());
    EXPECT_NE(*early, lookalike);
    EXPECT_EQ(early->errorDescription(), lookalike.errorDescription());

    // A token cancelled after its call has finished, before the event loop
    // has run again, must find nothing of that call left to abort (the
    // sanitizers catch a write into the finished call's frame).
    server->clearFaults();
    CancellationToken late;
    EXPECT_EQ(XMLText::text(await(client.call(SOAPClient::Service::avTransport, QStringLiteral("Play"), {}, late)), u"Echo"),
        QStringLiteral("Play"));
    late.cancel();
    EXPECT_EQ(XMLText::text(await(client.call(SOAPClient::Service::avTransport, QStringLiteral("Play"))), u"Echo"),
        QStringLiteral("Play"));
}

// The sentences themselves are the product's texts, checked where they are
// shown (zonescout's failures, the 701 above); here, how they are put together.
TEST(SonosErrorText, aFaultNamesItsActionAndCodeAndAnExcerptNeverCutsACharacterInHalf)
{
    EXPECT_EQ(SonosError::upnpFault(123, QStringLiteral("d"), QStringLiteral("X")).errorDescription(),
        QStringLiteral("X failed: UPnP error 123 d. "));
    const QString emoji = QStringLiteral("a") + QStringLiteral("\U0001F600").repeated(450);
    EXPECT_EQ(SonosError::httpStatus(500, emoji).errorDescription(),
        QStringLiteral("Player returned HTTP 500. Body: a") + QStringLiteral("\U0001F600").repeated(399));
    EXPECT_STREQ(SonosError::noPlayersFound().what(), SonosError::noPlayersFound().errorDescription().toUtf8().constData());
}
