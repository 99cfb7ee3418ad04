// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// What a hostile device on loopback gets out of the SOAP client and the
// artwork cache: a body without end, an answer trickled past its deadline, a
// redirect to another host. Each read ends by its cap or its deadline and
// follows nothing.

#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include "Quillo/mpris/ArtworkCache.h"
#include "SonosKit/PlayerInputs.h"
#include "SonosKit/SOAPClient.h"
#include "SonosKit/SonosError.h"
#include "playersim/HostileDevice.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace SonosKit;
using namespace std::chrono_literals;
using playersim::HostileDevice;

TEST(HostileReads, SoapAndArtworkReadsEndByTheirCapAndDeadlineAndFollowNoRedirect)
{
    const QString endless = testsupport::spareAddress(testsupport::Suite::HostileReads, 1);
    const QString trickle = testsupport::spareAddress(testsupport::Suite::HostileReads, 2);
    const QString redirecting = testsupport::spareAddress(testsupport::Suite::HostileReads, 3);
    const QString elsewhere = testsupport::spareAddress(testsupport::Suite::HostileReads, 4);
    HostileDevice endlessDevice(endless, 1400, HostileDevice::Mode::endlessBody);
    HostileDevice trickleDevice(trickle, 1400, HostileDevice::Mode::trickledBody);
    trickleDevice.setInterval(50ms);
    HostileDevice redirectingDevice(
        redirecting, 1400, HostileDevice::Mode::redirect, QStringLiteral("http://%1:1400/elsewhere").arg(elsewhere).toLatin1());
    HostileDevice target(elsewhere, 1400, HostileDevice::Mode::endlessBody);
    ASSERT_TRUE(endlessDevice.start() && trickleDevice.start() && redirectingDevice.start() && target.start());

    // The artwork first: its deadline is the longest, and the three fetches
    // run while the SOAP calls do.
    QTemporaryDir folder;
    ArtworkCache artwork{QDir(folder.path())};
    QElapsedTimer artClock;
    artClock.start();
    for (const QString &host : {endless, trickle, redirecting})
        EXPECT_TRUE(artwork.localURL(QUrl(QStringLiteral("http://%1:1400/getaa?s=1").arg(host))).isEmpty());

    const auto failure = [](const QString &host, double timeout) {
        auto error = testsupport::failureOf<SonosError>(
            SOAPClient(host, 1400, timeout).call(SOAPClient::Service::avTransport, QStringLiteral("Play")));
        return error ? *error : SonosError::noPlayersFound();
    };
    EXPECT_EQ(failure(endless, 6.0),
        SonosError::malformedResponse(QStringLiteral("the response is larger than 16 MiB and was not read")));
    QElapsedTimer clock;
    clock.start();
    const SonosError late = failure(trickle, 0.4);
    EXPECT_EQ(late.errorDescription(),
        QStringLiteral("Network error talking to the player: The player at %1 did not answer within 0.4 seconds.").arg(trickle));
    EXPECT_LT(clock.elapsed(), 2000);
    // Qt ends a timed-out transfer and a cancelled one with the same code;
    // only a cancelled call may read as one.
    EXPECT_EQ(late.underlying().code, QNetworkReply::OperationCanceledError);
    EXPECT_FALSE(late.isCancellation());
    EXPECT_EQ(failure(redirecting, 6.0).kind(), SonosError::Kind::httpStatus);
    // A player's description, read once for its inputs: nothing from a body
    // without end or trickled past its deadline, a redirect or a DTD.
    const QString crafted = testsupport::spareAddress(testsupport::Suite::HostileReads, 5);
    HostileDevice craftedDevice(crafted, 1400, HostileDevice::Mode::cannedBody,
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY s \"urn:schemas-upnp-org:service:AudioIn:1\">]>"
        "<root><serviceType>&s;</serviceType></root>");
    ASSERT_TRUE(craftedDevice.start());
    for (const QString &host : {endless, trickle, redirecting, crafted})
        EXPECT_EQ(testsupport::await(PlayerInputs::read(host), 8s), std::nullopt) << host.toStdString();

    EXPECT_TRUE(testsupport::waitUntil([&] { return artwork.refusedCount() == 3; },
        std::chrono::duration_cast<std::chrono::milliseconds>(ArtworkCache::fetchLimit + 5s)));
    EXPECT_LT(artClock.elapsed(), (ArtworkCache::fetchLimit + 3s).count());
    EXPECT_EQ(artwork.bytesOnDisk(), 0);
    EXPECT_EQ(target.connections(), 0);
}
