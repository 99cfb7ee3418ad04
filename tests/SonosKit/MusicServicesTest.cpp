// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include <SonosKit/MusicServices.h>
#include <SonosKit/SonosError.h>
#include <playersim/SimServer.h>
#include <playersim/SoapMessages.h>

#include <gtest/gtest.h>

using namespace SonosKit;

namespace {

TEST(MusicServicesParse, KeepsUsableServicesAndTheLaterOfDuplicates)
{
    const auto names = MusicServices::parseServices(
        QStringLiteral("<Services SchemaVersion=\"1\">"
                       "<Service Id=\"9\" Name=\"Spotify\" Version=\"1.1\"><Policy Auth=\"AppLink\"/></Service>"
                       "<Service Id=\"254\" Name=\"TuneIn\"/>"
                       "<Service Id=\"9\" Name=\"Spotify Connect\"/>"
                       "<Service Id=\"+12\" Name=\"Plus\"/>"
                       "<Service Id=\"-3\" Name=\"\"/>"
                       "<Service Id=\"abc\" Name=\"Letters\"/>"
                       "<Service Id=\" 13\" Name=\"Space\"/>"
                       "<Service Id=\"\" Name=\"Empty\"/>"
                       "<Service Name=\"No id\"/>"
                       "<Service Id=\"14\"/>"
                       "<Service Id=\"99999999999999999999\" Name=\"Overflow\"/>"
                       "<m:Service xmlns:m=\"urn:x\" Id=\"15\" Name=\"Prefixed 🎵\"/>"
                       "</Services>"));
    const QHash<qint64, QString> expected{{9, QStringLiteral("Spotify Connect")}, {254, QStringLiteral("TuneIn")},
        {12, QStringLiteral("Plus")}, {-3, QString()}, {15, QStringLiteral("Prefixed 🎵")}};
    EXPECT_EQ(names, expected);
}

TEST(MusicServicesParse, TheRootIsNeverAServiceAndUnreadableListsFail)
{
    EXPECT_TRUE(MusicServices::parseServices(QStringLiteral("<Service Id=\"1\" Name=\"Root\"/>")).isEmpty());
    const auto nested = MusicServices::parseServices(
        QStringLiteral("<Service Id=\"1\" Name=\"Root\"><Service Id=\"2\" Name=\"Child\"/></Service>"));
    EXPECT_EQ(nested, (QHash<qint64, QString>{{2, QStringLiteral("Child")}}));
    EXPECT_THROW(MusicServices::parseServices(QStringLiteral(" \n ")), SonosError);
    EXPECT_THROW(MusicServices::parseServices(QStringLiteral("no markup")), SonosError);
}

// A missing list is an error to serviceNames(). The names are a nicety,
// though: however the list fails to come, serviceNamesOrEmpty() answers with
// an empty table rather than an error, and a readable list comes through
// unchanged.
TEST(MusicServicesCall, ReadsTheListAndOrEmptyTurnsEveryFailureIntoNoNames)
{
    const QString address = testsupport::firstAddress(testsupport::Suite::MusicServices);
    auto log = std::make_shared<playersim::RequestLog>();
    playersim::SimServer server(address, 1400, log);
    std::atomic<int> answer = 0;
    server.setSoapHandler([&answer](const playersim::SoapCall &call) {
        switch (answer.load()) {
        case 0:
            return playersim::soapResponse(call.serviceUrn, call.action,
                {{QStringLiteral("AvailableServiceDescriptorList"),
                    QStringLiteral("<Services><Service Id=\"204\" Name=\"Apple Music\"/></Services>")}});
        case 1:
            return playersim::soapFault(402);
        default:
            return playersim::soapResponse(call.serviceUrn, call.action, {});
        }
    });
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    const MusicServices services(address);
    const QHash<qint64, QString> appleMusic{{204, QStringLiteral("Apple Music")}};

    EXPECT_EQ(testsupport::await(services.serviceNames()), appleMusic);
    ASSERT_EQ(log->calls(QStringLiteral("ListAvailableServices")).size(), 1u);
    answer = 2;
    const auto failure = testsupport::failureOf<SonosError>(services.serviceNames());
    ASSERT_TRUE(failure);
    EXPECT_EQ(
        failure->errorDescription(), u"Could not parse the player's response: ListAvailableServices returned no descriptor list");

    answer = 0;
    EXPECT_EQ(testsupport::await(services.serviceNamesOrEmpty()), appleMusic);
    for (int failing : {1, 2}) {
        answer = failing;
        EXPECT_TRUE(testsupport::await(services.serviceNamesOrEmpty()).isEmpty()) << failing;
    }
    // Cancelled before it starts, the read sends nothing and still answers.
    CancellationToken cancelled;
    cancelled.cancel();
    answer = 0;
    EXPECT_TRUE(testsupport::await(services.serviceNamesOrEmpty(cancelled)).isEmpty());
    EXPECT_EQ(log->calls().size(), 5u);

    server.stop();
    EXPECT_TRUE(testsupport::await(services.serviceNamesOrEmpty()).isEmpty());
}

} // namespace
