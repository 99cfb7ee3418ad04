#include "AsyncTestSupport.h"

#include <SonosKit/SOAPClient.h>
#include <SonosKit/SonosError.h>
#include <playersim/SimServer.h>
#include <playersim/SoapMessages.h>

#include <gtest/gtest.h>

using namespace SonosKit;
using testsupport::await;

TEST(SOAPClientSmoke, roundTrip)
{
    auto log = std::make_shared<playersim::RequestLog>();
    playersim::SimServer server(QStringLiteral("127.1.2.1"), 1400, log);
    server.setSoapHandler([](const playersim::SoapCall &call) {
        return playersim::soapResponse(call.serviceUrn, call.action, {{QStringLiteral("CurrentVolume"), QStringLiteral("14")}});
    });
    ASSERT_TRUE(server.start());
    SOAPClient client(QStringLiteral("127.1.2.1"));
    XMLNode element = await(client.call(SOAPClient::Service::renderingControl, QStringLiteral("GetVolume"),
                                        {{QStringLiteral("InstanceID"), QStringLiteral("0")}}));
    EXPECT_EQ(element.name(), QStringLiteral("u:GetVolumeResponse"));
    EXPECT_EQ(XMLText::text(element, u"CurrentVolume"), QStringLiteral("14"));
    ASSERT_EQ(log->all().size(), 1u);
    EXPECT_EQ(log->all()[0].call.action, QStringLiteral("GetVolume"));
}
