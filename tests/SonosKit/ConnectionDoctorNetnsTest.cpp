// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The connection doctor in private network namespaces (tests/netns/run-in-netns):
// loopback only, with a private Avahi daemon, and with LAN links to
// namespaces of their own where the test places a router-like device, a
// speaker with UPnP switched off, a firewall, VPNs, a containers' bridge and
// a media server on this computer; and hostile devices: a typed address
// that sends a body without end, trickles its body or its very status line,
// or redirects elsewhere, and a search answer that names another host. Every
// test skips in the machine's own namespace.

#include "SonosKit/doctor/ConnectionDoctor.h"

#include "AsyncTestSupport.h"
#include "netns/NetnsTestSupport.h"
#include "playersim/HostileDevice.h"
#include "playersim/ResidentMemory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace SonosKit;
using namespace netnstest;
using namespace std::chrono_literals;

namespace {

// The whole examination is promised within 3 s; a loaded machine gets a little more.
constexpr auto examinationLimit = 3500ms;

class DoctorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!inPrivateNamespace())
            GTEST_SKIP() << "multicast runs only in a private network namespace (tests/netns/run-in-netns)";
        ASSERT_TRUE(m_files.isValid());
        // Neither the machine's ufw nor its links may decide the outcome.
        m_options.ufwConfigPath = m_files.filePath(QStringLiteral("ufw.conf"));
        m_options.ufwProfilePath = m_files.filePath(QStringLiteral("no-ufw-profile"));
    }

    void switchUfwOn()
    {
        // ufw on, which only its configuration file tells without root.
        QFile file(m_options.ufwConfigPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# written by the test\nENABLED=yes\nLOGLEVEL=low\n");
    }

    // The examination within `limit`; `growthKiB` gets how far the peak memory rose.
    Diagnosis examine(std::chrono::milliseconds limit = examinationLimit, qint64 *growthKiB = nullptr)
    {
        const playersim::ResidentGrowth growth;
        QElapsedTimer clock;
        clock.start();
        Diagnosis diagnosis = testsupport::await(ConnectionDoctor::examine(m_options), 20s);
        EXPECT_LT(clock.elapsed(), limit.count());
        if (growthKiB)
            *growthKiB = growth.kib();
        return diagnosis;
    }

    QTemporaryDir m_files;
    ConnectionDoctor::Options m_options;
};

class DoctorOnLoopback : public DoctorTest
{
protected:
    void SetUp() override
    {
        DoctorTest::SetUp();
        if (!IsSkipped() && withLinks())
            GTEST_SKIP() << "needs a namespace with loopback only";
    }
};

class DoctorOnLans : public DoctorTest
{
protected:
    void SetUp() override
    {
        DoctorTest::SetUp();
        if (IsSkipped())
            return;
        if (!withLinks())
            GTEST_SKIP() << "needs LAN links (tests/netns/run-in-netns --links)";
        m_sys.emplace(m_files);
        ASSERT_TRUE(m_sys->mounted());
        m_options.sysClassNet = m_sys->classNet();
    }

    std::optional<OwnSysfs> m_sys;
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

// --- Loopback only ---

// Avahi is hinted at only where its daemon is missing.
TEST_F(DoctorOnLoopback, OnlyLoopbackIsNoNetworkAndTheSearchIsSkipped)
{
    const Diagnosis diagnosis = examine();
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::noNetwork);
    EXPECT_EQ(diagnosis.fix.kind, Diagnosis::Fix::Kind::setting);
    EXPECT_FALSE(diagnosis.vpnActive);
    EXPECT_EQ(checkNamed(diagnosis, QStringLiteral("network"))->outcome, DoctorCheck::Outcome::failed);
    EXPECT_EQ(checkNamed(diagnosis, QStringLiteral("search"))->outcome, DoctorCheck::Outcome::skipped);
    EXPECT_EQ(diagnosis.avahiRunning, withDaemon());
    EXPECT_EQ(diagnosis.hints.contains(Diagnosis::avahiHint()), !withDaemon()) << diagnosis.hints.join(u'\n').toStdString();
}

// A player refusing every request is zonescout's doctor test, end to end;
// one that serves its description yet refuses control is switched off too.
TEST_F(DoctorOnLoopback, AManualAddressThatRefusesControlIsUpnpOff)
{
    const QString address = QStringLiteral("127.0.0.53");
    const auto half = refusingServer(address, false);
    half->setSoapHandler([](const playersim::SoapCall &) { return playersim::Answer{403, {}, "text/html", {}}; });
    m_options.manualHost = address;
    const Diagnosis diagnosis = examine();
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::upnpOff);
    const DoctorCheck *manual = checkNamed(diagnosis, QStringLiteral("manual address"));
    ASSERT_TRUE(manual);
    EXPECT_EQ(manual->outcome, DoctorCheck::Outcome::failed);
    EXPECT_EQ(manual->detail, QStringLiteral("127.0.0.53 answered HTTP 403"));
}

TEST_F(DoctorOnLoopback, ATypedAddressCanNeitherHoldFillNorRedirectTheDoctor)
{
    if (withDaemon())
        GTEST_SKIP() << "the daemon changes nothing for a typed address; once is enough";
    using Mode = playersim::HostileDevice::Mode;
    const QString address = QStringLiteral("127.0.0.61");
    m_options.manualHost = address;
    // As after a typed address failed: only that address is asked.
    m_options.search = false;
    // Nobody at the address yet: no claim about UPnP, only what the network
    // shows. Asked first, so that what Qt sets up on first use is not counted
    // against the first hostile device.
    const Diagnosis nobody = examine();
    EXPECT_EQ(nobody.cause, Diagnosis::Cause::noNetwork);
    EXPECT_EQ(checkNamed(nobody, QStringLiteral("manual address"))->outcome, DoctorCheck::Outcome::failed);

    const struct {
        const char *name;
        Mode mode;
        const char *detail;
    } cases[] = {
        {"endless body", Mode::endlessBody, "127.0.0.61 answered HTTP 200"},
        {"trickled body", Mode::trickledBody, "127.0.0.61 answered HTTP 200"},
        // Crashed the doctor once its result was in.
        {"trickled status line and headers", Mode::trickledHead, "127.0.0.61: no answer in time"},
        {"redirect to another host", Mode::redirect, "127.0.0.61 answered HTTP 302"},
    };
    playersim::HostileDevice target(QStringLiteral("127.0.0.62"), 1400, Mode::endlessBody);
    ASSERT_TRUE(target.start());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        playersim::HostileDevice device(address, 1400, c.mode, "http://127.0.0.62:1400/xml/device_description.xml");
        ASSERT_TRUE(device.start());
        qint64 growthKiB = 0;
        const Diagnosis diagnosis = examine(examinationLimit, &growthKiB);
        EXPECT_LT(growthKiB, 8 * 1024);
        EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::noNetwork);
        EXPECT_EQ(checkNamed(diagnosis, QStringLiteral("manual address"))->detail, QString::fromLatin1(c.detail));
        EXPECT_GE(device.connections(), 1);
    }
    EXPECT_EQ(target.connections(), 0);
}

// --- LANs ---

TEST_F(DoctorOnLans, AnsweringDevicesWithoutSpeakersAreNoSpeakerOnNetwork)
{
    const auto router = routerOn(lanA, QString::fromLatin1(lanAPeer));
    const Diagnosis diagnosis = examine();
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::noSpeakerOnNetwork);
    EXPECT_FALSE(diagnosis.vpnActive);
    EXPECT_GE(router->searchesAnswered(), 1);
    EXPECT_EQ(checkNamed(diagnosis, QStringLiteral("control"))->outcome, DoctorCheck::Outcome::skipped);

    // The report names the link the answer came in through with its address,
    // subnet and flags, the others by name.
    const QString report = diagnosis.diagnosticsText(QStringLiteral("0.9"));
    EXPECT_TRUE(report.contains(u"Interface toward the speakers: qa0 10.77.1.1 10.77.1.0/24 [up,running,multicast]\n"))
        << report.toStdString();
    EXPECT_TRUE(report.contains(u"Other interfaces: lo, qb0, qc0\n")) << report.toStdString();
    EXPECT_TRUE(report.contains(u"(devices answering: 1, speakers: 0)")) << report.toStdString();
}

TEST_F(DoctorOnLans, DroppedAnswersAreTheFirewallOpenedToTheLanAloneBesideAVpnAndAContainersBridge)
{
    const auto router = routerOn(lanA, QString::fromLatin1(lanAPeer));
    std::optional<Diagnosis> neither;
    std::optional<Diagnosis> ufw;
    {
        const DroppedInboundUdp firewall(m_files);
        if (!firewall.active())
            GTEST_SKIP() << firewall.skipReason().toStdString();
        // A VPN with a /8 through OpenVPN's two halves, and Docker's bridge
        // with a container on it: both usable, neither where the speakers are.
        const TunnelRoute vpn(TunnelKind::halves, QStringLiteral("10.0.0.1/8"));
        if (!vpn.active())
            GTEST_SKIP() << vpn.skipReason().toStdString();
        const GuestBridge docker(QStringLiteral("docker0"), QStringLiteral("172.17.0.1/16"));
        if (!docker.active())
            GTEST_SKIP() << docker.skipReason().toStdString();
        neither = examine();
        switchUfwOn();
        ufw = examine();
    }

    EXPECT_GE(router->searchesAnswered(), 1); // the device did answer: the firewall ate it
    for (const Diagnosis *each : {&*neither, &*ufw}) {
        EXPECT_EQ(each->cause, Diagnosis::Cause::firewall);
        EXPECT_EQ(each->speakerInterface, QStringLiteral("qa0"));
        EXPECT_TRUE(each->vpnActive);
        EXPECT_EQ(checkNamed(*each, QStringLiteral("vpn"))->detail, QStringLiteral("route 0.0.0.0/1 through tunnel tun0"));
    }
    EXPECT_EQ(neither->firewall, Diagnosis::Firewall::none);
    EXPECT_EQ(neither->fix.kind, Diagnosis::Fix::Kind::setting);
    EXPECT_TRUE(neither->fix.text.endsWith(QStringLiteral(" from %1.").arg(QLatin1String(lanASubnet))))
        << neither->fix.text.toStdString();
    // ufw's fix for the speakers' network alone, whatever the tunnel routes.
    EXPECT_EQ(ufw->fix.text,
        Diagnosis::firewallFix(Diagnosis::Firewall::ufw, {QLatin1String(lanASubnet)}, m_options.ufwProfilePath).text);

    // Neither the VPN's nor the containers' addresses are in the report.
    const QString report = ufw->diagnosticsText(QStringLiteral("0.9"));
    EXPECT_TRUE(report.contains(u"Interface toward the speakers: qa0 10.77.1.1 ")) << report.toStdString();
    EXPECT_FALSE(report.contains(u"10.0.0.1") || report.contains(u"172.17.")) << report.toStdString();
}

TEST_F(DoctorOnLans, AnswersFromThisComputerItselfAreNotTheNetworks)
{
    // A media server here hears the search looped back and answers from
    // this computer's address; the firewall lets that in, as ufw does.
    const auto router = routerOn(lanA, QString::fromLatin1(lanAPeer));
    const auto mediaServer = routerOn(nullptr, QStringLiteral("10.77.1.1"));
    std::optional<Diagnosis> diagnosis;
    {
        const DroppedInboundUdp firewall(m_files);
        if (!firewall.active())
            GTEST_SKIP() << firewall.skipReason().toStdString();
        diagnosis = examine();
    }
    EXPECT_GE(mediaServer->searchesAnswered(), 1);
    EXPECT_EQ(diagnosis->cause, Diagnosis::Cause::firewall);
    EXPECT_TRUE(checkNamed(*diagnosis, QStringLiteral("search"))->detail.contains(u"answers from this computer ignored: "));
}

TEST_F(DoctorOnLans, ASpeakerRefusingControlIsUpnpOffAndAControllableOneLeavesNoCause)
{
    for (const bool upnpOff : {true, false}) {
        const RefusingSpeaker speaker = refusingSpeakerOn(lanA, QString::fromLatin1(lanAPeer), upnpOff);
        const Diagnosis diagnosis = examine();
        EXPECT_EQ(diagnosis.cause, upnpOff ? Diagnosis::Cause::upnpOff : Diagnosis::Cause::none);
        EXPECT_EQ(diagnosis.fix.kind, upnpOff ? Diagnosis::Fix::Kind::setting : Diagnosis::Fix::Kind::none);
        const DoctorCheck *control = checkNamed(diagnosis, QStringLiteral("control"));
        ASSERT_TRUE(control);
        EXPECT_EQ(control->outcome, upnpOff ? DoctorCheck::Outcome::failed : DoctorCheck::Outcome::passed);
        EXPECT_EQ(control->detail, QStringLiteral("10.77.1.2 answered HTTP %1").arg(upnpOff ? 403 : 200));
    }
}

TEST_F(DoctorOnLans, APolicyRoutedTunnelIsAVpnHintedAtWhenATypedAddressFails)
{
    // wg-quick's way: only a rule sends traffic to the tunnel's table. The
    // typed address refuses (nothing listens there): no cause but the VPN.
    m_options.search = false;
    m_options.manualHost = QString::fromLatin1(lanAPeer);
    std::optional<Diagnosis> diagnosis;
    {
        const TunnelRoute wireGuard(TunnelKind::policy);
        if (!wireGuard.active())
            GTEST_SKIP() << wireGuard.skipReason().toStdString();
        diagnosis = examine();
    }
    EXPECT_TRUE(diagnosis->vpnActive);
    EXPECT_EQ(checkNamed(*diagnosis, QStringLiteral("vpn"))->detail,
        QStringLiteral("default route of table 51820 through tunnel tun0"));
    EXPECT_EQ(checkNamed(*diagnosis, QStringLiteral("manual address"))->outcome, DoctorCheck::Outcome::failed);
    EXPECT_EQ(diagnosis->cause, Diagnosis::Cause::none);
    EXPECT_TRUE(diagnosis->hints.contains(Diagnosis::vpnHint())) << diagnosis->hints.join(u'\n').toStdString();
}

TEST_F(DoctorOnLans, OnlyTheDeviceThatAnsweredTheSearchIsAsked)
{
    // A "speaker" on lan-a whose answer names a host on lan-b, and there a
    // speaker with UPnP switched off that never answered anything.
    const QString named = QStringLiteral("10.77.2.2");
    const auto responder = searchAnswersOn(lanA, QString::fromLatin1(lanAPeer), named);
    const auto server = insideNamespace("lan-b", [&named] { return refusingServer(named); });

    const Diagnosis diagnosis = examine();
    EXPECT_GE(responder->searchesAnswered(), 1);
    EXPECT_NE(diagnosis.cause, Diagnosis::Cause::upnpOff);
    // Asked, the named host would have refused it as switched off.
    EXPECT_TRUE(checkNamed(diagnosis, QStringLiteral("control"))->detail.startsWith(QStringLiteral("10.77.1.2: ")));
}

// Last, as it takes the harness's links down: the links and the multicast
// route that goes with the first come back after.
TEST_F(DoctorOnLans, LinksThatAreAllDownAreNoNetwork)
{
    const QStringList links{QStringLiteral("qa0"), QStringLiteral("qb0")};
    for (const QString &link : links)
        EXPECT_TRUE(run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"), link, QStringLiteral("down")}));
    const Diagnosis diagnosis = examine();
    for (const QString &link : links)
        run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"), link, QStringLiteral("up")});
    run(QStringLiteral("ip"),
        {QStringLiteral("route"), QStringLiteral("replace"), QStringLiteral("224.0.0.0/4"), QStringLiteral("dev"),
            links.front()});
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::noNetwork);
    EXPECT_EQ(checkNamed(diagnosis, QStringLiteral("search"))->outcome, DoctorCheck::Outcome::skipped);
}
