// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The connection doctor against devices that mean harm, in private network
// namespaces (tests/netns/run-in-netns): a typed address that sends a body
// without end, trickles its body or its very status line, or redirects
// elsewhere; and on LAN links a search answer that names another host. The
// doctor must come back within its deadline, with a cause that holds, having
// grown by no more than a few MB.

#include "SonosKit/doctor/ConnectionDoctor.h"

#include "AsyncTestSupport.h"
#include "HostileServer.h"
#include "netns/NetnsTestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace SonosKit;
using namespace netnstest;
using namespace std::chrono_literals;
using testsupport::HostileServer;

namespace {

// The whole examination is promised within 3 s; a loaded machine gets a little more.
constexpr auto examinationLimit = 3500ms;
constexpr qint64 growthLimitKiB = 8 * 1024;
constexpr char lanB[] = "lan-b";
constexpr char lanBPeer[] = "10.77.2.2";

class HostileDevices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!inPrivateNamespace())
            GTEST_SKIP() << "runs only in a private network namespace (tests/netns/run-in-netns)";
        ASSERT_TRUE(m_files.isValid());
        m_options.ufwConfigPath = m_files.filePath(QStringLiteral("ufw.conf"));
    }

    // The examination, how long it took and how far the peak memory rose.
    Diagnosis examine(qint64 *growthKiB = nullptr)
    {
        testsupport::resetPeak();
        const qint64 before = testsupport::residentKiB();
        QElapsedTimer clock;
        clock.start();
        Diagnosis diagnosis = testsupport::await(ConnectionDoctor::examine(m_options), 20s);
        EXPECT_LT(clock.elapsed(), examinationLimit.count());
        if (growthKiB)
            *growthKiB = testsupport::peakResidentKiB() - before;
        return diagnosis;
    }

    QTemporaryDir m_files;
    ConnectionDoctor::Options m_options;
};

const DoctorCheck *checkNamed(const Diagnosis &diagnosis, const QString &name)
{
    for (const DoctorCheck &check : diagnosis.checks) {
        if (check.name == name)
            return &check;
    }
    return nullptr;
}

} // namespace

TEST_F(HostileDevices, ATypedAddressCanNeitherHoldFillNorRedirectTheDoctor)
{
    if (withLinks())
        GTEST_SKIP() << "the typed address is served on loopback; once is enough";
    const QString address = QStringLiteral("127.0.0.61");
    const QString elsewhere = QStringLiteral("127.0.0.62");
    m_options.manualHost = address;
    // As after a typed address failed: only that address is asked.
    m_options.search = false;
    // Once against nobody, so that what Qt sets up on first use is not
    // counted against the first hostile device.
    examine();

    struct Case {
        const char *name;
        HostileServer::Behaviour behaviour;
        const char *detail;
    };
    const Case cases[] = {
        {"endless body", HostileServer::Behaviour::endlessBody, "127.0.0.61 answered HTTP 200"},
        {"trickled body", HostileServer::Behaviour::trickledBody, "127.0.0.61 answered HTTP 200"},
        // Crashed the doctor once its result was in.
        {"trickled status line and headers", HostileServer::Behaviour::trickledHead, "127.0.0.61: no answer in time"},
        {"redirect to another host", HostileServer::Behaviour::redirect, "127.0.0.61 answered HTTP 302"},
    };
    HostileServer target(elsewhere, 1400, HostileServer::Behaviour::endlessBody);
    ASSERT_TRUE(target.listening());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const HostileServer device(address, 1400, c.behaviour, "http://127.0.0.62:1400/xml/device_description.xml");
        ASSERT_TRUE(device.listening());
        qint64 growth = 0;
        const Diagnosis diagnosis = examine(&growth);
        EXPECT_LT(growth, growthLimitKiB);
        EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::noNetwork);
        const DoctorCheck *manual = checkNamed(diagnosis, QStringLiteral("manual address"));
        ASSERT_TRUE(manual);
        EXPECT_EQ(manual->detail, QString::fromLatin1(c.detail));
        EXPECT_GE(device.connections(), 1);
    }
    EXPECT_EQ(target.connections(), 0);
}

TEST_F(HostileDevices, OnlyTheDeviceThatAnsweredTheSearchIsAsked)
{
    if (!withLinks())
        GTEST_SKIP() << "needs LAN links (tests/netns/run-in-netns --links)";
    const OwnSysfs sys(m_files);
    ASSERT_TRUE(sys.mounted());
    m_options.sysClassNet = sys.classNet();

    // A "speaker" on lan-a whose answer names a host on lan-b, and there a
    // speaker with UPnP switched off that never answered anything.
    auto responder = insideNamespace(lanA, [] {
        playersim::SsdpResponder::Options options;
        options.interfaceAddress = QString::fromLatin1(lanAPeer);
        options.fromPlayerAddress = false;
        auto made = std::make_unique<playersim::SsdpResponder>(
            QList<playersim::SsdpPlayer>{{QString::fromLatin1(lanBPeer), QStringLiteral("RINCON_000E58000002001400"),
                QStringLiteral("ZPS12"), QStringLiteral("79.1-56030")}},
            options);
        QString error;
        EXPECT_TRUE(made->start(&error)) << error.toStdString();
        return made;
    });
    const auto log = std::make_shared<playersim::RequestLog>();
    auto named = insideNamespace(lanB, [&log] {
        auto server = std::make_unique<playersim::SimServer>(QString::fromLatin1(lanBPeer), 1400, log);
        server->setUpnpOff(true);
        QString error;
        EXPECT_TRUE(server->start(&error)) << error.toStdString();
        return server;
    });

    const Diagnosis diagnosis = examine();
    EXPECT_GE(responder->searchesAnswered(), 1);
    EXPECT_NE(diagnosis.cause, Diagnosis::Cause::upnpOff);
    const DoctorCheck *control = checkNamed(diagnosis, QStringLiteral("control"));
    ASSERT_TRUE(control);
    EXPECT_TRUE(control->detail.startsWith(QStringLiteral("10.77.1.2: "))) << control->detail.toStdString();
    EXPECT_TRUE(log->all().empty());
}
