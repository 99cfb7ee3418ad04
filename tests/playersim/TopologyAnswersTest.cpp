// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"
#include "PlayerSimTestSupport.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <gtest/gtest.h>

using namespace playersimtest;
using playersim::Household;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerSimTopology;

QString zoneGroupState(const QString &address)
{
    return text(call(address, Service::zoneGroupTopology, QStringLiteral("GetZoneGroupState")), QStringLiteral("ZoneGroupState"));
}

// A hand-made SOAP request, for what the client never sends; the status and body.
QPair<int, QByteArray> post(const QString &url, const QByteArray &soapAction, const QByteArray &body)
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml; charset=\"utf-8\""));
    request.setRawHeader("SOAPAction", soapAction);
    QNetworkReply *reply = manager.post(request, body);
    EXPECT_TRUE(waitUntil([reply] { return reply->isFinished(); }));
    const QPair<int, QByteArray> answer{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
    delete reply;
    return answer;
}

} // namespace

// How the answer reads through the client is every SonosKit test's that
// finds a group; here, what the client does not show: names escaped inside
// the document, the same answer from the bridge, a sub and a surround, and
// the old firmware's form.
TEST(TopologyAnswers, EveryPlayerAnswersWithTheWholeHouseholdInEitherForm)
{
    Household household = startedHousehold(Household::defaultHousehold(firstAddress(block)));
    const QStringList addresses = household.addresses();
    const QString document = zoneGroupState(addresses.first());
    EXPECT_TRUE(document.contains(u"ZoneName=\"Bad &amp; Sauna\""));
    EXPECT_EQ(zoneGroupState(addresses.last()), document);

    // The old firmware's form is a bare ZoneGroups.
    household.setTopologyForm(playersim::TopologyForm::legacy);
    const QString legacy = zoneGroupState(addresses.first());
    EXPECT_TRUE(legacy.startsWith(QStringLiteral("<ZoneGroups><ZoneGroup ")));
    EXPECT_FALSE(legacy.contains(QStringLiteral("VanishedDevices")));
    EXPECT_EQ(legacy.count(u"<ZoneGroup "), 4);
}

// A coordinator leaving its group is the store's rooms test; here, the
// refusals no client test provokes.
TEST(TopologyAnswers, RefusedRegroupingChangesNothingAndASubIsNeverGroupedAlone)
{
    Household household = startedHousehold(Household::defaultHousehold(firstAddress(block)));
    const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
    const QString bedroom = household.addressOfRoom(QStringLiteral("寝室"));
    const QString kitchen = household.addressOfRoom(QStringLiteral("Küche"));
    ASSERT_TRUE(household.join(bedroom, salon));
    ASSERT_TRUE(household.leave(kitchen));

    // Players told to refuse regrouping refuse it as they refuse a sub's.
    household.setRefuseGrouping(true);
    const QString settled = zoneGroupState(salon);
    EXPECT_EQ(
        faultCode(bedroom, Service::avTransport, QStringLiteral("BecomeCoordinatorOfStandaloneGroup"), {{"InstanceID", "0"}}),
        800);
    EXPECT_FALSE(household.join(kitchen, salon));
    EXPECT_EQ(zoneGroupState(salon), settled);
    household.setRefuseGrouping(false);

    // A sub can't be grouped on its own.
    const QString sub = household.addresses()[6];
    EXPECT_EQ(
        faultCode(sub, Service::avTransport, QStringLiteral("BecomeCoordinatorOfStandaloneGroup"), {{"InstanceID", "0"}}), 800);
}

// A well-formed action answers on its own service's control path only; on
// another service's it is an unknown action (401).
TEST(TopologyAnswers, EachServiceAnswersOnItsOwnControlPathOnly)
{
    Household household = startedHousehold(Household::defaultHousehold(firstAddress(block)));
    const QString address = household.addresses().first();
    const QByteArray getVolume = "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>"
                                 "<u:GetVolume xmlns:u=\"urn:schemas-upnp-org:service:RenderingControl:1\">"
                                 "<InstanceID>0</InstanceID><Channel>Master</Channel></u:GetVolume></s:Body></s:Envelope>";
    const QByteArray soapAction = "\"urn:schemas-upnp-org:service:RenderingControl:1#GetVolume\"";
    const QString base = QStringLiteral("http://%1:1400").arg(address);
    EXPECT_EQ(post(base + QStringLiteral("/MediaRenderer/RenderingControl/Control"), soapAction, getVolume).first, 200);
    const auto wrongService = post(base + QStringLiteral("/MediaRenderer/AVTransport/Control"), soapAction, getVolume);
    EXPECT_EQ(wrongService.first, 500);
    EXPECT_TRUE(wrongService.second.contains("<errorCode>401</errorCode>")) << wrongService.second.toStdString();
    EXPECT_EQ(post(base + QStringLiteral("/RenderingControl/Control"), soapAction, getVolume).first, 404);
}
