// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// What the connection doctor reads from the system, from files the tests
// write or hand in: the routes, the links in sysfs and ufw's configuration,
// and the firewall fixes built from them.

#include "SonosKit/doctor/NetworkFacts.h"
#include "SonosKit/doctor/ConnectionDoctor.h"
#include "SonosKit/doctor/Diagnosis.h"

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

NetworkFacts::Route route(const char *link, const char *destination, quint32 table = NetworkFacts::mainTable)
{
    return {QString::fromLatin1(link), QString::fromLatin1(destination), table, 0};
}

} // namespace

TEST(NetworkFacts, TunnelsAndPhysicalLinksAreToldApartBySysfs)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString net = root.path();
    const auto files = [&](std::initializer_list<std::pair<const char *, const char *>> contents) {
        for (const auto &[path, text] : contents)
            write(net + u'/' + QLatin1String(path), text);
    };
    // corp: a tun device renamed by its VPN client; office: a tap device,
    // Ethernet type and still a tunnel; wg0: a name alone gives WireGuard away.
    files({{"enp3s0/type", "1\n"}, {"enp3s0/device/vendor", "0x8086\n"}, {"corp/type", "65534\n"}, {"office/type", "1\n"},
        {"office/tun_flags", "0x1002\n"}, {"dialup/type", "512\n"}, {"br0/type", "1\n"}, {"wg0/type", "1\n"}});
    for (const char *name : {"corp", "office", "dialup", "wg0"})
        EXPECT_TRUE(NetworkFacts::isTunnel(net, QLatin1String(name))) << name;
    for (const char *name : {"enp3s0", "br0", "absent"})
        EXPECT_FALSE(NetworkFacts::isTunnel(net, QLatin1String(name))) << name;

    EXPECT_TRUE(NetworkFacts::isPhysical(net, QStringLiteral("enp3s0")));
    EXPECT_FALSE(NetworkFacts::isPhysical(net, QStringLiteral("br0")));
    EXPECT_FALSE(NetworkFacts::isPhysical(net, QStringLiteral("absent")));

    // A default route on a bridge or a VLAN over the network card is the
    // local network, however many links are stacked; containers' bridges and
    // veth pairs lead nowhere physical.
    files({{"br0/brif/vnet0/state", "3\n"}, {"br0/brif/bond0/state", "3\n"}, {"bond0/lower_enp3s0.10/ifindex", "5\n"},
        {"enp3s0.10/lower_enp3s0/ifindex", "2\n"}, {"docker0/brif/veth1a2b/state", "3\n"}, {"veth1a2b/type", "1\n"},
        {"loop0/lower_loop1/ifindex", "9\n"}, {"loop1/lower_loop0/ifindex", "8\n"}});
    for (const char *name : {"enp3s0", "enp3s0.10", "br0"})
        EXPECT_TRUE(NetworkFacts::reachesHardware(net, QLatin1String(name))) << name;
    for (const char *name : {"docker0", "veth1a2b", "loop0", "absent"})
        EXPECT_FALSE(NetworkFacts::reachesHardware(net, QLatin1String(name))) << name;

    // Guests' bridges are known by their ports, or by name before a guest
    // came.
    files({{"docker0/bridge/forward_delay", "0\n"}, {"br0/bridge/forward_delay", "0\n"},
        {"lanbridge/bridge/forward_delay", "0\n"}});
    for (const char *name : {"docker0", "lanbridge" /* no port reaches hardware */, "virbr0", "br-3f2a9c0d1e4b"})
        EXPECT_TRUE(NetworkFacts::isGuestBridge(net, QLatin1String(name))) << name;
    EXPECT_FALSE(NetworkFacts::isGuestBridge(net, QStringLiteral("br0")));
    EXPECT_FALSE(NetworkFacts::isGuestBridge(net, QStringLiteral("enp3s0")));

    // All traffic through a tunnel or a guests' link is a VPN, whether by a
    // default route, by OpenVPN's two halves, or in a table a rule consults.
    const auto vpn = [&](QList<NetworkFacts::Route> routes, QList<quint32> ruleTables = {}) {
        return NetworkFacts::vpnRoute({std::move(routes), std::move(ruleTables)}, net).value_or(QStringLiteral("none"));
    };
    const NetworkFacts::Route lan = route("enp3s0", "0.0.0.0/0");
    EXPECT_EQ(vpn({lan, route("enp3s0", "192.168.1.0/24")}), QStringLiteral("none"));
    EXPECT_EQ(vpn({route("br0", "0.0.0.0/0")}), QStringLiteral("none"));
    EXPECT_EQ(vpn({route("docker0", "0.0.0.0/0")}), QStringLiteral("default route through virtual link docker0"));
    EXPECT_EQ(vpn({lan, route("corp", "0.0.0.0/1"), route("corp", "128.0.0.0/1")}),
        QStringLiteral("route 0.0.0.0/1 through tunnel corp"));
    const NetworkFacts::Route wireGuard = route("wg0", "0.0.0.0/0", 51820);
    EXPECT_EQ(vpn({lan, wireGuard}, {51820}), QStringLiteral("default route of table 51820 through tunnel wg0"));
    EXPECT_EQ(vpn({lan, wireGuard}), QStringLiteral("none")) << "no rule sends a lookup to that table";
    EXPECT_EQ(vpn({lan, route("corp", "10.0.0.0/8")}), QStringLiteral("none")) << "a split tunnel leaves the LAN alone";

    // The speakers are reached through the link they answered on, else the
    // one routed toward them; unheard, through the LAN, never a tunnel or a
    // guests' bridge.
    const QList<NetworkFacts::Interface> links{
        {QStringLiteral("docker0"), QStringLiteral("172.17.0.1"), QStringLiteral("172.17.0.0/16"), true, true, true, false},
        {QStringLiteral("corp"), QStringLiteral("10.8.0.2"), QStringLiteral("10.8.0.0/24"), true, true, true, false},
        {QStringLiteral("enp3s0"), QStringLiteral("192.168.1.37"), QStringLiteral("192.168.1.0/24"), true, true, true, false}};
    const NetworkFacts::Routing routing{
        {route("corp", "0.0.0.0/0"), route("corp", "10.0.0.0/8"), route("enp3s0", "192.168.1.0/24")}, {}};
    const auto toward = [&](QStringList heard) { return NetworkFacts::speakerInterface(links, routing, heard, net); };
    EXPECT_EQ(toward({QStringLiteral("192.168.1.50")}), QStringLiteral("enp3s0"));
    EXPECT_EQ(toward({QStringLiteral("10.9.1.7")}), QStringLiteral("corp"));
    EXPECT_EQ(toward({}), QStringLiteral("enp3s0"));
}

TEST(NetworkFacts, UfwIsOnOnlyWhenTheLastAssignmentSaysYes)
{
    for (const char *on : {"# /etc/ufw/ufw.conf\nENABLED=yes\nLOGLEVEL=low\n", "  ENABLED = \"YES\"  \n", "ENABLED='yes'",
             "ENABLED=no\nENABLED=yes\n"})
        EXPECT_TRUE(NetworkFacts::ufwEnabled(QString::fromLatin1(on))) << on;
    for (const char *off :
        {"ENABLED=no\n", "ENABLED=yes\nENABLED=no\n", "# ENABLED=yes\n", "IPV6_ENABLED=yes\nENABLED=yesterday\n", ""})
        EXPECT_FALSE(NetworkFacts::ufwEnabled(QString::fromLatin1(off))) << off;

    // Read from a file, as the doctor does; a missing file is a ufw that is off.
    QTemporaryDir root;
    write(root.filePath(QStringLiteral("ufw.conf")), "ENABLED=yes\n");
    EXPECT_TRUE(NetworkFacts::ufwEnabled(NetworkFacts::readSmallFile(root.filePath(QStringLiteral("ufw.conf")))));
    EXPECT_FALSE(NetworkFacts::ufwEnabled(NetworkFacts::readSmallFile(root.filePath(QStringLiteral("none.conf")))));
}

TEST(NetworkFacts, SubnetsAreTheNetworkPartWithItsPrefix)
{
    const std::tuple<const char *, int, const char *> subnets[] = {{"192.168.1.37", 24, "192.168.1.0/24"},
        {"10.77.200.9", 17, "10.77.128.0/17"}, {"10.1.2.3", 32, "10.1.2.3/32"}, {"10.1.2.3", 0, "0.0.0.0/0"},
        {"10.1.2.3", 33, ""}, {"fe80::1", 64, ""}, {"kitchen", 24, ""}};
    for (const auto &[address, prefix, subnet] : subnets)
        EXPECT_EQ(NetworkFacts::subnetOf(QString::fromLatin1(address), prefix), QLatin1String(subnet))
            << address << '/' << prefix;
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
}

TEST(DiagnosisText, FirewallFixesOpenQuillosPortsToTheSpeakersNetworkAlone)
{
    QTemporaryDir root;
    const QString profile = root.filePath(QStringLiteral("quillo"));
    const QStringList lan{QStringLiteral("192.168.1.0/24")};
    // Installed where ufw can't see its profile, the command names the ports.
    const auto bare = Diagnosis::firewallFix(Diagnosis::Firewall::ufw, lan, profile);
    EXPECT_EQ(bare.kind, Diagnosis::Fix::Kind::command);
    EXPECT_EQ(bare.text,
        QStringLiteral("sudo ufw allow from 192.168.1.0/24 to any port 1400:1409 proto tcp && sudo ufw allow from "
                       "192.168.1.0/24 to any port 1400:1409 proto udp"));
    write(profile, "[Quillo]\n");
    EXPECT_EQ(Diagnosis::firewallFix(Diagnosis::Firewall::ufw, lan, profile).text,
        QStringLiteral("sudo ufw allow from 192.168.1.0/24 to any app Quillo"));

    EXPECT_EQ(Diagnosis::firewallFix(Diagnosis::Firewall::firewalld, lan).text,
        QStringLiteral("sudo firewall-cmd --permanent --add-rich-rule='rule family=\"ipv4\" source address=\"192.168.1.0/24\" "
                       "port port=\"1400-1409\" protocol=\"tcp\" accept' && sudo firewall-cmd --permanent "
                       "--add-rich-rule='rule family=\"ipv4\" source address=\"192.168.1.0/24\" port port=\"1400-1409\" "
                       "protocol=\"udp\" accept' && sudo firewall-cmd --reload"));
    const auto neither = Diagnosis::firewallFix(Diagnosis::Firewall::none, lan);
    EXPECT_EQ(neither.kind, Diagnosis::Fix::Kind::setting);
    EXPECT_EQ(neither.text,
        QStringLiteral("In your firewall (nftables or iptables), allow UDP and TCP to ports 1400-1409 from 192.168.1.0/24."));

    // A network wider than a /16 is not opened, with any firewall.
    for (const auto firewall : {Diagnosis::Firewall::ufw, Diagnosis::Firewall::firewalld, Diagnosis::Firewall::none}) {
        const auto wide = Diagnosis::firewallFix(firewall, {QStringLiteral("10.0.0.0/8")}, profile);
        EXPECT_EQ(wide.kind, Diagnosis::Fix::Kind::setting);
        EXPECT_EQ(wide.text,
            QStringLiteral("10.0.0.0/8 is too wide a network to open to. Allow UDP and TCP to ports 1400-1409 only from "
                           "your speakers' addresses (Sonos app → Settings → System → About My System)."));
    }
    EXPECT_EQ(Diagnosis::firewallFix(Diagnosis::Firewall::ufw, {QStringLiteral("172.16.0.0/16")}, profile).text,
        QStringLiteral("sudo ufw allow from 172.16.0.0/16 to any app Quillo"));
}

TEST(DiagnosisText, TheVpnWarningJoinsWhateverCauseIsShown)
{
    Diagnosis diagnosis;
    diagnosis.cause = Diagnosis::Cause::noSpeakerOnNetwork;
    EXPECT_EQ(diagnosis.causeText(), Diagnosis::textFor(Diagnosis::Cause::noSpeakerOnNetwork));
    diagnosis.vpnActive = true;
    EXPECT_EQ(diagnosis.causeText(),
        Diagnosis::textFor(Diagnosis::Cause::noSpeakerOnNetwork)
            + QStringLiteral(" A VPN is active; it may keep the search from reaching your speakers."));
    // Without a cause the doctor hints at the VPN instead.
    diagnosis.cause = Diagnosis::Cause::none;
    EXPECT_TRUE(diagnosis.causeText().isEmpty());
}

TEST(DiagnosisText, TheReportListsInterfacesChecksAndNothingElsePersonal)
{
    Diagnosis diagnosis;
    diagnosis.cause = Diagnosis::Cause::firewall;
    diagnosis.firewall = Diagnosis::Firewall::ufw;
    diagnosis.manualHost = QStringLiteral("192.168.1.50");
    diagnosis.interfaces = {
        {QStringLiteral("lo"), QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.0/8"), true, true, false, true},
        {QStringLiteral("eth0"), QStringLiteral("192.168.1.37"), QStringLiteral("192.168.1.0/24"), true, true, true, false},
        {QStringLiteral("tun0"), QStringLiteral("10.8.0.2"), QStringLiteral("10.8.0.0/24"), true, true, true, false}};
    diagnosis.speakerInterface = QStringLiteral("eth0");
    diagnosis.checks = {
        {QStringLiteral("search"), DoctorCheck::Outcome::failed, QStringLiteral("0 answers"), std::chrono::milliseconds(1502)}};
    const QString text = diagnosis.diagnosticsText(QStringLiteral("1.4.0"));
    EXPECT_TRUE(text.startsWith(u"Quillo 1.4.0\nOS: ")) << text.toStdString();
    for (const char *line : {"Cause: firewall\n", "Firewall: ufw\n", "Avahi: no\n", "Manual address: 192.168.1.50\n",
             "Interface toward the speakers: eth0 192.168.1.37 192.168.1.0/24 [up,running,multicast]\n",
             "Other interfaces: lo, tun0\n", "  search: failed in 1502 ms (0 answers)\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(u"10.8.0")) << "a VPN's address is no business of the report";
}
