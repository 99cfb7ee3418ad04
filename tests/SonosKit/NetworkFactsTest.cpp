// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// What the connection doctor reads from the system, from files the tests
// write: the routing table, the links in sysfs and ufw's configuration.

#include "SonosKit/NetworkFacts.h"
#include "SonosKit/ConnectionDoctor.h"
#include "SonosKit/Diagnosis.h"

#include "AsyncTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace SonosKit;

namespace {

void write(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(contents);
}

// The header and column layout the kernel writes.
constexpr char routeHeader[] = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

} // namespace

TEST(NetworkFacts, DefaultRoutesAreTheZeroDestinationsWithZeroMasks)
{
    const QString table = QString::fromLatin1(routeHeader)
        + QStringLiteral("wlp2s0\t0002A8C0\t00000000\t0001\t0\t0\t600\t00FFFFFF\t0\t0\t0\n"
                         "wg0\t00000000\t00000000\t0001\t0\t0\t50\t00000000\t0\t0\t0\n"
                         "wlp2s0\t00000000\t0102A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
                         "wg0\t00000000\t00000000\t0001\t0\t0\t51\t00000000\t0\t0\t0\n"
                         // A zero destination with a mask is a route to 0.0.0.0/8, not a default.
                         "docker0\t00000000\t00000000\t0001\t0\t0\t0\t000000FF\t0\t0\t0\n"
                         "truncated\t00000000\n");
    EXPECT_EQ(NetworkFacts::defaultRouteInterfaces(table), QStringList({QStringLiteral("wg0"), QStringLiteral("wlp2s0")}));
    EXPECT_TRUE(NetworkFacts::defaultRouteInterfaces(QString::fromLatin1(routeHeader)).isEmpty());
    EXPECT_TRUE(NetworkFacts::defaultRouteInterfaces({}).isEmpty());
}

TEST(NetworkFacts, TunnelsAndPhysicalLinksAreToldApartBySysfs)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString net = root.path();
    write(net + QStringLiteral("/enp3s0/type"), "1\n");
    write(net + QStringLiteral("/enp3s0/device/vendor"), "0x8086\n");
    write(net + QStringLiteral("/corp/type"), "65534\n"); // a tun device renamed by its VPN client
    write(net + QStringLiteral("/office/type"), "1\n");
    write(net + QStringLiteral("/office/tun_flags"), "0x1002\n"); // a tap device: Ethernet type, still a tunnel
    write(net + QStringLiteral("/dialup/type"), "512\n");
    write(net + QStringLiteral("/br0/type"), "1\n");
    write(net + QStringLiteral("/wg0/type"), "1\n"); // a name alone gives WireGuard away

    EXPECT_FALSE(NetworkFacts::isTunnel(net, QStringLiteral("enp3s0")));
    EXPECT_TRUE(NetworkFacts::isTunnel(net, QStringLiteral("corp")));
    EXPECT_TRUE(NetworkFacts::isTunnel(net, QStringLiteral("office")));
    EXPECT_TRUE(NetworkFacts::isTunnel(net, QStringLiteral("dialup")));
    EXPECT_TRUE(NetworkFacts::isTunnel(net, QStringLiteral("wg0")));
    EXPECT_FALSE(NetworkFacts::isTunnel(net, QStringLiteral("br0")));
    EXPECT_FALSE(NetworkFacts::isTunnel(net, QStringLiteral("absent")));

    EXPECT_TRUE(NetworkFacts::isPhysical(net, QStringLiteral("enp3s0")));
    EXPECT_FALSE(NetworkFacts::isPhysical(net, QStringLiteral("br0")));
    EXPECT_FALSE(NetworkFacts::isPhysical(net, QStringLiteral("absent")));

    // A default route on a bridge or a VLAN over the network card is the
    // local network, however many links are stacked; containers' bridges and
    // veth pairs lead nowhere physical.
    write(net + QStringLiteral("/br0/brif/vnet0/state"), "3\n");
    write(net + QStringLiteral("/br0/brif/bond0/state"), "3\n");
    write(net + QStringLiteral("/bond0/lower_enp3s0.10/ifindex"), "5\n");
    write(net + QStringLiteral("/enp3s0.10/lower_enp3s0/ifindex"), "2\n");
    write(net + QStringLiteral("/docker0/brif/veth1a2b/state"), "3\n");
    write(net + QStringLiteral("/veth1a2b/type"), "1\n");
    write(net + QStringLiteral("/loop0/lower_loop1/ifindex"), "9\n");
    write(net + QStringLiteral("/loop1/lower_loop0/ifindex"), "8\n");
    EXPECT_TRUE(NetworkFacts::reachesHardware(net, QStringLiteral("enp3s0")));
    EXPECT_TRUE(NetworkFacts::reachesHardware(net, QStringLiteral("enp3s0.10")));
    EXPECT_TRUE(NetworkFacts::reachesHardware(net, QStringLiteral("br0")));
    EXPECT_FALSE(NetworkFacts::reachesHardware(net, QStringLiteral("docker0")));
    EXPECT_FALSE(NetworkFacts::reachesHardware(net, QStringLiteral("veth1a2b")));
    EXPECT_FALSE(NetworkFacts::reachesHardware(net, QStringLiteral("loop0")));
    EXPECT_FALSE(NetworkFacts::reachesHardware(net, QStringLiteral("absent")));

    // So the doctor's VPN check: through the bridge no warning, through the
    // containers' bridge or a tunnel one.
    QTemporaryDir files;
    const auto vpnThrough = [&](const char *link) {
        write(files.filePath(QStringLiteral("route")),
            QByteArray(routeHeader) + link + "\t00000000\t0102A8C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n");
        ConnectionDoctor::Options options;
        options.search = false;
        options.routeTablePath = files.filePath(QStringLiteral("route"));
        options.sysClassNet = net;
        options.ufwConfigPath = files.filePath(QStringLiteral("ufw.conf"));
        options.systemBusAddress = QStringLiteral("unix:path=") + files.filePath(QStringLiteral("no-bus"));
        return testsupport::await(ConnectionDoctor::examine(options)).vpnActive;
    };
    EXPECT_FALSE(vpnThrough("br0"));
    EXPECT_TRUE(vpnThrough("docker0"));
    EXPECT_TRUE(vpnThrough("corp"));
}

TEST(NetworkFacts, UfwIsOnOnlyWhenTheLastAssignmentSaysYes)
{
    EXPECT_TRUE(NetworkFacts::ufwEnabled(QStringLiteral("# /etc/ufw/ufw.conf\nENABLED=yes\nLOGLEVEL=low\n")));
    EXPECT_TRUE(NetworkFacts::ufwEnabled(QStringLiteral("  ENABLED = \"YES\"  \n")));
    EXPECT_TRUE(NetworkFacts::ufwEnabled(QStringLiteral("ENABLED='yes'")));
    EXPECT_FALSE(NetworkFacts::ufwEnabled(QStringLiteral("ENABLED=no\n")));
    EXPECT_FALSE(NetworkFacts::ufwEnabled(QStringLiteral("ENABLED=yes\nENABLED=no\n")));
    EXPECT_TRUE(NetworkFacts::ufwEnabled(QStringLiteral("ENABLED=no\nENABLED=yes\n")));
    EXPECT_FALSE(NetworkFacts::ufwEnabled(QStringLiteral("# ENABLED=yes\n")));
    EXPECT_FALSE(NetworkFacts::ufwEnabled(QStringLiteral("IPV6_ENABLED=yes\nENABLED=yesterday\n")));
    EXPECT_FALSE(NetworkFacts::ufwEnabled({}));

    // Read from a file, as the doctor does; a missing file is a ufw that is off.
    QTemporaryDir root;
    write(root.filePath(QStringLiteral("ufw.conf")), "ENABLED=yes\n");
    EXPECT_TRUE(NetworkFacts::ufwEnabled(NetworkFacts::readSmallFile(root.filePath(QStringLiteral("ufw.conf")))));
    EXPECT_FALSE(NetworkFacts::ufwEnabled(NetworkFacts::readSmallFile(root.filePath(QStringLiteral("none.conf")))));
}

TEST(NetworkFacts, SubnetsAreTheNetworkPartWithItsPrefix)
{
    EXPECT_EQ(NetworkFacts::subnetOf(QStringLiteral("192.168.1.37"), 24), QStringLiteral("192.168.1.0/24"));
    EXPECT_EQ(NetworkFacts::subnetOf(QStringLiteral("10.77.200.9"), 17), QStringLiteral("10.77.128.0/17"));
    EXPECT_EQ(NetworkFacts::subnetOf(QStringLiteral("10.1.2.3"), 32), QStringLiteral("10.1.2.3/32"));
    EXPECT_EQ(NetworkFacts::subnetOf(QStringLiteral("10.1.2.3"), 0), QStringLiteral("0.0.0.0/0"));
    EXPECT_TRUE(NetworkFacts::subnetOf(QStringLiteral("10.1.2.3"), 33).isEmpty());
    EXPECT_TRUE(NetworkFacts::subnetOf(QStringLiteral("fe80::1"), 64).isEmpty());
    EXPECT_TRUE(NetworkFacts::subnetOf(QStringLiteral("kitchen"), 24).isEmpty());

    NetworkFacts::Interface wifi{
        QStringLiteral("wlan0"), QStringLiteral("192.168.1.37"), QStringLiteral("192.168.1.0/24"), true, true, true, false};
    EXPECT_TRUE(wifi.isUsable());
    for (bool NetworkFacts::Interface::*flag :
        {&NetworkFacts::Interface::up, &NetworkFacts::Interface::running, &NetworkFacts::Interface::multicast}) {
        NetworkFacts::Interface lacking = wifi;
        lacking.*flag = false;
        EXPECT_FALSE(lacking.isUsable());
    }
    NetworkFacts::Interface loopback = wifi;
    loopback.loopback = true;
    EXPECT_FALSE(loopback.isUsable());
    NetworkFacts::Interface ipv6Only = wifi;
    ipv6Only.address.clear();
    EXPECT_FALSE(ipv6Only.isUsable());
}

TEST(ConnectionDoctorAnswers, SpeakersAreKnownByServerOrDeviceType)
{
    EXPECT_TRUE(ConnectionDoctor::isSpeakerAnswer(
        QStringLiteral("HTTP/1.1 200 OK\r\nSERVER: Linux UPnP/1.0 Sonos/79.1-56030 (ZPS12)\r\nST: upnp:rootdevice\r\n\r\n")));
    EXPECT_TRUE(ConnectionDoctor::isSpeakerAnswer(
        QStringLiteral("HTTP/1.1 200 OK\r\nserver: Linux\r\nst: urn:schemas-upnp-org:device:ZonePlayer:1\r\n\r\n")));
    // A router names UPnP in its server header, and Sonos only in a URL.
    EXPECT_FALSE(
        ConnectionDoctor::isSpeakerAnswer(QStringLiteral("HTTP/1.1 200 OK\r\nSERVER: Linux/5.4 UPnP/1.0 MiniUPnPd/2.2\r\n"
                                                         "LOCATION: http://192.168.1.1:5000/Sonos/rootDesc.xml\r\n"
                                                         "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n\r\n")));
    EXPECT_FALSE(ConnectionDoctor::isSpeakerAnswer({}));
    EXPECT_TRUE(ConnectionDoctor::searchForAllDatagram().contains("\r\nST: ssdp:all\r\n"));
}

TEST(DiagnosisText, FirewallFixesFollowTheFirewallFound)
{
    const auto ufw = Diagnosis::firewallFix(
        Diagnosis::Firewall::ufw, {QStringLiteral("192.168.1.0/24"), QStringLiteral("10.0.0.0/8")});
    EXPECT_EQ(ufw.kind, Diagnosis::Fix::Kind::command);
    EXPECT_EQ(ufw.text,
        QStringLiteral(
            "sudo ufw allow from 192.168.1.0/24 to any app Quillo && sudo ufw allow from 10.0.0.0/8 to any app Quillo"));
    const auto firewalld = Diagnosis::firewallFix(Diagnosis::Firewall::firewalld, {QStringLiteral("192.168.1.0/24")});
    EXPECT_EQ(firewalld.text, QStringLiteral("sudo firewall-cmd --permanent --add-service=quillo && sudo firewall-cmd --reload"));
    const auto neither = Diagnosis::firewallFix(Diagnosis::Firewall::none, {});
    EXPECT_EQ(neither.kind, Diagnosis::Fix::Kind::setting);
    EXPECT_TRUE(neither.text.contains(u"1400-1499"));
}

TEST(DiagnosisText, TheVpnWarningJoinsWhateverCauseIsShown)
{
    Diagnosis diagnosis;
    diagnosis.cause = Diagnosis::Cause::noSpeakerOnNetwork;
    EXPECT_EQ(diagnosis.causeText(), Diagnosis::textFor(Diagnosis::Cause::noSpeakerOnNetwork));
    diagnosis.vpnActive = true;
    EXPECT_EQ(diagnosis.causeText(),
        QStringLiteral("Your network answers, but no Sonos speaker is on it. If your speakers are on another network (a "
                       "guest Wi-Fi, a separate VLAN or behind a VPN), enter a speaker's IP address. A VPN is active; it "
                       "may keep the search from reaching your speakers."));
    diagnosis.cause = Diagnosis::Cause::none;
    EXPECT_EQ(diagnosis.causeText(), Diagnosis::vpnHint());
}

TEST(DiagnosisText, TheReportListsInterfacesChecksAndNothingElsePersonal)
{
    Diagnosis diagnosis;
    diagnosis.cause = Diagnosis::Cause::firewall;
    diagnosis.firewall = Diagnosis::Firewall::ufw;
    diagnosis.manualHost = QStringLiteral("192.168.1.50");
    diagnosis.interfaces = {
        {QStringLiteral("lo"), QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.0/8"), true, true, false, true},
        {QStringLiteral("eth0"), {}, {}, false, false, true, false}};
    diagnosis.checks = {
        {QStringLiteral("search"), DoctorCheck::Outcome::failed, QStringLiteral("0 answers"), std::chrono::milliseconds(1502)}};
    const QString text = diagnosis.diagnosticsText(QStringLiteral("1.4.0"));
    EXPECT_TRUE(text.startsWith(u"Quillo 1.4.0\nOS: ")) << text.toStdString();
    for (const char *line : {"Cause: firewall\n", "Firewall: ufw\n", "Avahi: no\n", "Manual address: 192.168.1.50\n",
             "  lo: 127.0.0.1 127.0.0.0/8 [up,running,loopback]\n", "  eth0: no IPv4 - [down,multicast]\n",
             "  search: failed in 1502 ms (0 answers)\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
}
