// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The connection doctor in private network namespaces (tests/netns/run-in-netns):
// loopback only, with a private Avahi daemon, and with LAN links to
// namespaces of their own where the test places a router-like device, a
// speaker with UPnP switched off, a firewall and a VPN. Every test skips in
// the machine's own namespace.

#include "SonosKit/ConnectionDoctor.h"
#include "playersim/SimServer.h"
#include "playersim/SsdpResponder.h"

#include "AsyncTestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <future>
#include <memory>
#include <thread>

using namespace SonosKit;
using namespace std::chrono_literals;

namespace {

// The harness's LAN "lan-a": this side's address and the one across the link.
constexpr char lanA[] = "lan-a";
constexpr char lanAPeer[] = "10.77.1.2";
constexpr char lanASubnet[] = "10.77.1.0/24";
// The whole examination is promised within 3 s; a loaded machine gets a little more.
constexpr auto examinationLimit = 3500ms;

bool inPrivateNamespace()
{
    return qEnvironmentVariable("QUILLO_TEST_NETNS") == u"1";
}

bool withDaemon()
{
    return qEnvironmentVariable("QUILLO_TEST_AVAHI") == u"1";
}

bool withLinks()
{
    return qEnvironmentVariable("QUILLO_TEST_LINKS") == u"1";
}

bool enterNamespace(const char *name)
{
    const std::string path = std::string("/run/netns/") + name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool entered = fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0;
    if (fd >= 0)
        ::close(fd);
    return entered;
}

// Runs `make` on a thread inside the namespace `name`; what it opens, and the
// threads it starts, stay there.
template<typename Make>
auto insideNamespace(const char *name, Make make) -> decltype(make())
{
    decltype(make()) made{};
    std::thread([&] {
        if (!enterNamespace(name)) {
            ADD_FAILURE() << "cannot enter " << name << ": " << std::strerror(errno);
            return;
        }
        made = make();
    }).join();
    return made;
}

bool run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(10000);
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A UPnP device that is no speaker (a router, say): answers every search on
// its LAN with an answer of its own kind.
class RouterLikeDevice
{
public:
    explicit RouterLikeDevice(const char *lan, QString address)
        : m_address(std::move(address))
    {
        std::promise<bool> ready;
        std::future<bool> started = ready.get_future();
        m_thread = std::thread([this, lan, &ready] {
            if (!enterNamespace(lan)) {
                ready.set_value(false);
                return;
            }
            serve(ready);
        });
        EXPECT_TRUE(started.get()) << "the device could not listen in " << lan;
    }
    ~RouterLikeDevice()
    {
        m_stop = true;
        m_thread.join();
    }
    int answered() const { return m_answered; }

private:
    void serve(std::promise<bool> &ready)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(1900);
        ip_mreq membership{};
        ::inet_pton(AF_INET, "239.255.255.250", &membership.imr_multiaddr);
        ::inet_pton(AF_INET, m_address.toLatin1().constData(), &membership.imr_interface);
        timeval slice{0, 100000};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
        const bool listening = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0
            && ::setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) == 0;
        ready.set_value(listening);
        const QByteArray answer = QStringLiteral("HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\nEXT:\r\n"
                                                 "LOCATION: http://%1:5000/rootDesc.xml\r\n"
                                                 "SERVER: Linux/5.10 UPnP/1.1 MiniUPnPd/2.3\r\n"
                                                 "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                                                 "USN: uuid:2b2c5e7a-0d1b-4c55-9a4f-0a1b2c3d4e5f\r\n\r\n")
                                      .arg(m_address)
                                      .toLatin1();
        char buffer[2048];
        while (listening && !m_stop) {
            sockaddr_in sender{};
            socklen_t length = sizeof sender;
            const ssize_t received = ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&sender), &length);
            if (received > 0 && QByteArray(buffer, received).startsWith("M-SEARCH")) {
                ::sendto(
                    fd, answer.constData(), std::size_t(answer.size()), 0, reinterpret_cast<const sockaddr *>(&sender), length);
                ++m_answered;
            }
        }
        if (fd >= 0)
            ::close(fd);
    }

    const QString m_address;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_answered{0};
};

// A speaker with UPnP switched off: it answers searches like any speaker, and
// every request on port 1400 with 403.
struct RefusingSpeaker {
    std::unique_ptr<playersim::SsdpResponder> ssdp;
    std::unique_ptr<playersim::SimServer> http;
};

std::unique_ptr<playersim::SimServer> refusingServer(const QString &address, bool upnpOff = true)
{
    auto server = std::make_unique<playersim::SimServer>(address, 1400, std::make_shared<playersim::RequestLog>());
    server->setUpnpOff(upnpOff);
    server->setGetHandler([](const QByteArray &, const QByteArray &) -> std::optional<playersim::Answer> {
        return playersim::Answer{200, "<root/>", "text/xml", {}};
    });
    QString error;
    EXPECT_TRUE(server->start(&error)) << error.toStdString();
    return server;
}

RefusingSpeaker refusingSpeakerOn(const char *lan, const QString &address, bool upnpOff = true)
{
    return insideNamespace(lan, [&] {
        RefusingSpeaker speaker;
        playersim::SsdpResponder::Options options;
        options.interfaceAddress = address;
        speaker.ssdp = std::make_unique<playersim::SsdpResponder>(
            QList<playersim::SsdpPlayer>{
                {address, QStringLiteral("RINCON_000E58000002001400"), QStringLiteral("ZPS12"), QStringLiteral("79.1-56030")}},
            options);
        QString error;
        EXPECT_TRUE(speaker.ssdp->start(&error)) << error.toStdString();
        speaker.http = refusingServer(address, upnpOff);
        return speaker;
    });
}

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
    }

    Diagnosis examine(std::chrono::milliseconds limit = examinationLimit)
    {
        QElapsedTimer clock;
        clock.start();
        Diagnosis diagnosis = testsupport::await(ConnectionDoctor::examine(m_options), 20s);
        EXPECT_LT(clock.elapsed(), limit.count());
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
        // This namespace's own view of its links: the sysfs mounted at /sys
        // shows the machine's.
        m_sys = m_files.filePath(QStringLiteral("sys"));
        QDir().mkpath(m_sys);
        ASSERT_EQ(::mount("sysfs", m_sys.toLocal8Bit().constData(), "sysfs", 0, nullptr), 0) << std::strerror(errno);
        m_options.sysClassNet = m_sys + QStringLiteral("/class/net");
    }
    void TearDown() override
    {
        if (!m_sys.isEmpty())
            ::umount(m_sys.toLocal8Bit().constData());
    }

    QString m_sys;
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

TEST_F(DoctorOnLoopback, OnlyLoopbackIsNoNetworkAndTheSearchIsSkipped)
{
    const Diagnosis diagnosis = examine();
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::noNetwork);
    EXPECT_EQ(diagnosis.causeText(), QStringLiteral("This computer isn't connected to a network."));
    EXPECT_EQ(diagnosis.fix.kind, Diagnosis::Fix::Kind::setting);
    EXPECT_FALSE(diagnosis.vpnActive);
    const DoctorCheck *network = checkNamed(diagnosis, QStringLiteral("network"));
    ASSERT_TRUE(network);
    EXPECT_EQ(network->outcome, DoctorCheck::Outcome::failed);
    const DoctorCheck *search = checkNamed(diagnosis, QStringLiteral("search"));
    ASSERT_TRUE(search);
    EXPECT_EQ(search->outcome, DoctorCheck::Outcome::skipped);
}

TEST_F(DoctorOnLoopback, AvahiIsHintedAtOnlyWhenItsDaemonIsMissing)
{
    const Diagnosis diagnosis = examine();
    const QString hint = QStringLiteral("Avahi isn't running, so Quillo could only use its second way of searching. To "
                                        "enable it: sudo systemctl enable --now avahi-daemon");
    EXPECT_EQ(diagnosis.avahiRunning, withDaemon());
    EXPECT_EQ(diagnosis.hints.contains(hint), !withDaemon()) << diagnosis.hints.join(u'\n').toStdString();
    EXPECT_TRUE(diagnosis.diagnosticsText(QStringLiteral("0.9"))
                    .contains(withDaemon() ? QStringLiteral("Avahi: yes\n") : QStringLiteral("Avahi: no\n")));
}

TEST_F(DoctorOnLoopback, AManualAddressThatRefusesControlIsUpnpOff)
{
    const QString address = QStringLiteral("127.0.0.51");
    const auto server = refusingServer(address);
    m_options.manualHost = address;
    const Diagnosis diagnosis = examine();
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::upnpOff);
    EXPECT_EQ(diagnosis.causeText(),
        QStringLiteral("Your speakers have UPnP switched off, so no app on this computer may control them. In the "
                       "Sonos app, open Account → Privacy and Security and turn on UPnP."));
    const DoctorCheck *manual = checkNamed(diagnosis, QStringLiteral("manual address"));
    ASSERT_TRUE(manual);
    EXPECT_EQ(manual->outcome, DoctorCheck::Outcome::failed);
    EXPECT_EQ(manual->detail, QStringLiteral("127.0.0.51 answered HTTP 403"));
    EXPECT_TRUE(diagnosis.diagnosticsText(QStringLiteral("0.9")).contains(u"Manual address: 127.0.0.51\n"));

    // Nobody at the address: no claim about UPnP, only what the network shows.
    m_options.manualHost = QStringLiteral("127.0.0.52");
    const Diagnosis nobody = examine();
    EXPECT_EQ(nobody.cause, Diagnosis::Cause::noNetwork);
    EXPECT_EQ(checkNamed(nobody, QStringLiteral("manual address"))->outcome, DoctorCheck::Outcome::failed);
}

// --- LANs ---

TEST_F(DoctorOnLans, AnsweringDevicesWithoutSpeakersAreNoSpeakerOnNetwork)
{
    const RouterLikeDevice router(lanA, QString::fromLatin1(lanAPeer));
    const Diagnosis diagnosis = examine();
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::noSpeakerOnNetwork);
    EXPECT_FALSE(diagnosis.vpnActive);
    EXPECT_GE(router.answered(), 1);
    EXPECT_EQ(checkNamed(diagnosis, QStringLiteral("control"))->outcome, DoctorCheck::Outcome::skipped);

    // The report names every link with its address, subnet and flags, and
    // every check with its outcome and timing.
    const QString report = diagnosis.diagnosticsText(QStringLiteral("0.9"));
    EXPECT_TRUE(report.contains(u"  qa0: 10.77.1.1 10.77.1.0/24 [up,running,multicast]\n")) << report.toStdString();
    EXPECT_TRUE(report.contains(u"  qb0: 10.77.2.1 10.77.2.0/24 [up,running,multicast]\n")) << report.toStdString();
    EXPECT_TRUE(report.contains(u"  qc0: 10.77.3.1 10.77.3.0/24 [down")) << report.toStdString();
    EXPECT_TRUE(report.contains(u"  lo: 127.0.0.1 127.0.0.0/8 [up,running")) << report.toStdString();
    for (const char *check : {"network: passed in ", "search: passed in ", "control: skipped in ", "vpn: passed in ",
             "avahi: failed in ", "firewall: passed in "})
        EXPECT_TRUE(report.contains(QString::fromLatin1(check))) << check << "\n" << report.toStdString();
    EXPECT_TRUE(report.contains(u"(devices answering: 1, speakers: 0)")) << report.toStdString();
}

TEST_F(DoctorOnLans, DroppedAnswersAreTheFirewallWithTheFixForTheFirewallFound)
{
    QString output;
    if (!run(QStringLiteral("nft"), {QStringLiteral("list"), QStringLiteral("ruleset")}, &output))
        GTEST_SKIP() << "nftables is not usable here: " << output.toStdString();
    const RouterLikeDevice router(lanA, QString::fromLatin1(lanAPeer));
    // As a host firewall would: every datagram coming in from the LANs is dropped.
    const QString rules = QStringLiteral("table inet quillo_doctor_test {\n"
                                         "  chain input { type filter hook input priority 0; policy accept;\n"
                                         "    iifname != \"lo\" meta l4proto udp drop\n  }\n}\n");
    const QString rulesFile = m_files.filePath(QStringLiteral("drop.nft"));
    {
        QFile file(rulesFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(rules.toUtf8());
    }
    if (!run(QStringLiteral("nft"), {QStringLiteral("-f"), rulesFile}, &output))
        GTEST_SKIP() << "the kernel takes no nf_tables rules here: " << output.toStdString();
    const Diagnosis neither = examine();
    // Also with ufw switched on, which only its configuration file tells without root.
    {
        QFile file(m_options.ufwConfigPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("# written by the test\nENABLED=yes\nLOGLEVEL=low\n");
    }
    const Diagnosis ufw = examine();
    run(QStringLiteral("nft"),
        {QStringLiteral("delete"), QStringLiteral("table"), QStringLiteral("inet"), QStringLiteral("quillo_doctor_test")});

    EXPECT_GE(router.answered(), 1); // the device did answer: the firewall ate it
    EXPECT_EQ(neither.cause, Diagnosis::Cause::firewall);
    EXPECT_EQ(neither.causeText(),
        QStringLiteral("Nothing on your network answered Quillo's search. A firewall on this computer is probably "
                       "blocking the answers."));
    EXPECT_EQ(neither.firewall, Diagnosis::Firewall::none);
    EXPECT_EQ(neither.fix.kind, Diagnosis::Fix::Kind::setting);
    EXPECT_TRUE(neither.fix.text.contains(u"UDP and TCP to ports 1400-1499")) << neither.fix.text.toStdString();

    EXPECT_EQ(ufw.cause, Diagnosis::Cause::firewall);
    EXPECT_EQ(ufw.firewall, Diagnosis::Firewall::ufw);
    EXPECT_EQ(ufw.fix.kind, Diagnosis::Fix::Kind::command);
    EXPECT_TRUE(ufw.fix.text.startsWith(QStringLiteral("sudo ufw allow from %1 to any app Quillo").arg(lanASubnet)))
        << ufw.fix.text.toStdString();
}

TEST_F(DoctorOnLans, ASpeakerRefusingControlIsUpnpOff)
{
    const RefusingSpeaker speaker = refusingSpeakerOn(lanA, QString::fromLatin1(lanAPeer));
    const Diagnosis diagnosis = examine();
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::upnpOff);
    EXPECT_EQ(diagnosis.fix.kind, Diagnosis::Fix::Kind::setting);
    const DoctorCheck *control = checkNamed(diagnosis, QStringLiteral("control"));
    ASSERT_TRUE(control);
    EXPECT_EQ(control->outcome, DoctorCheck::Outcome::failed);
    EXPECT_EQ(control->detail, QStringLiteral("10.77.1.2 answered HTTP 403"));
}

TEST_F(DoctorOnLans, ATunnelHoldingTheDefaultRouteAddsTheVpnWarning)
{
    QString output;
    if (!run(QStringLiteral("ip"),
            {QStringLiteral("tuntap"), QStringLiteral("add"), QStringLiteral("dev"), QStringLiteral("tun0"),
                QStringLiteral("mode"), QStringLiteral("tun")},
            &output))
        GTEST_SKIP() << "no tun device here: " << output.toStdString();
    run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("tun0"), QStringLiteral("up")});
    const bool routed = run(QStringLiteral("ip"),
        {QStringLiteral("route"), QStringLiteral("add"), QStringLiteral("default"), QStringLiteral("dev"),
            QStringLiteral("tun0")},
        &output);
    const RouterLikeDevice router(lanA, QString::fromLatin1(lanAPeer));
    const Diagnosis diagnosis = examine();
    run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("del"), QStringLiteral("tun0")});
    ASSERT_TRUE(routed) << output.toStdString();

    EXPECT_TRUE(diagnosis.vpnActive);
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::noSpeakerOnNetwork);
    EXPECT_TRUE(diagnosis.causeText().endsWith(
        QStringLiteral(" enter a speaker's IP address. A VPN is active; it may keep the search from reaching your speakers.")))
        << diagnosis.causeText().toStdString();
    EXPECT_EQ(checkNamed(diagnosis, QStringLiteral("vpn"))->detail, QStringLiteral("default route through tunnel tun0"));

    // Without the tunnel the same network raises no warning.
    EXPECT_FALSE(examine().vpnActive);
}

TEST_F(DoctorOnLans, AControllableSpeakerLeavesNoCause)
{
    const RefusingSpeaker speaker = refusingSpeakerOn(lanA, QString::fromLatin1(lanAPeer), false);
    const Diagnosis diagnosis = examine();
    EXPECT_EQ(diagnosis.cause, Diagnosis::Cause::none);
    EXPECT_TRUE(diagnosis.causeText().isEmpty());
    EXPECT_EQ(diagnosis.fix.kind, Diagnosis::Fix::Kind::none);
    const DoctorCheck *control = checkNamed(diagnosis, QStringLiteral("control"));
    ASSERT_TRUE(control);
    EXPECT_EQ(control->outcome, DoctorCheck::Outcome::passed);
    EXPECT_EQ(control->detail, QStringLiteral("10.77.1.2 answered HTTP 200"));
}
