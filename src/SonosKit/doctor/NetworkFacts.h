// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// What the connection doctor learns about this computer's network from the
// system itself: the interfaces, the routing tables and rules, the links'
// kinds in sysfs and whether ufw is switched on. The readers take their
// files as paths or text, and the judgements take the routing as a value,
// so that tests can hand them their own.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace SonosKit::NetworkFacts {

// The files read by default.
inline constexpr char defaultSysClassNet[] = "/sys/class/net";
inline constexpr char defaultUfwConfig[] = "/etc/ufw/ufw.conf";
// Where a system-wide install leaves Quillo's ufw profile; ufw looks nowhere
// else, so after an install under ~/.local it knows no profile "Quillo".
inline constexpr char defaultUfwProfile[] = "/etc/ufw/applications.d/quillo";

// The table `ip route` shows and every lookup consults.
inline constexpr quint32 mainTable = 254;

// One network interface with its first IPv4 address, if any.
struct Interface {
    QString name;
    QString address; // dotted quad; empty without IPv4
    QString subnet; // "192.168.1.0/24"; empty without IPv4
    bool up = false;
    bool running = false;
    bool multicast = false;
    bool loopback = false;

    // Where a search can be sent: IPv4, up, running, multicast, not loopback.
    bool isUsable() const;

    friend bool operator==(const Interface &, const Interface &) = default;
};

// Every interface of the system, as Qt reports them.
QList<Interface> interfaces();

// The network of `address` with `prefixLength` bits, as "a.b.c.d/n"; empty
// for text that is no IPv4 address or a prefix outside 0 to 32.
QString subnetOf(const QString &address, int prefixLength);

// One IPv4 unicast route of any table.
struct Route {
    QString interface; // empty when the kernel names none
    QString destination; // "0.0.0.0/1"
    quint32 table = mainTable;
    quint32 metric = 0;

    int prefixLength() const;
};

// The routes of every table, and the tables that policy rules send lookups
// to besides the kernel's own (WireGuard's fwmark table, an exit node's).
struct Routing {
    QList<Route> routes;
    QList<quint32> ruleTables;
};

// A socket to the kernel's routing (NETLINK_ROUTE); with `groups`
// (RTMGRP_*), non-blocking and joined to those groups of notifications.
// fd() is negative when the kernel refused it.
class NetlinkSocket
{
public:
    explicit NetlinkSocket(quint32 groups = 0);
    ~NetlinkSocket();
    NetlinkSocket(const NetlinkSocket &) = delete;
    NetlinkSocket &operator=(const NetlinkSocket &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// This computer's routing, asked of the kernel over netlink; empty when it
// can't be asked.
Routing routing();

// Whether the routing sends all traffic, or both halves of it (OpenVPN's
// def1: 0.0.0.0/1 and 128.0.0.0/1), through a tunnel or a link that reaches
// no hardware, in the main table or in a table a rule sends lookups to. What
// was seen, for a report, when it does.
std::optional<QString> vpnRoute(const Routing &routing, const QString &sysClassNet);

// The interfaces of the main table's default routes, lowest metric first,
// each once.
QStringList defaultRouteInterfaces(const Routing &routing);

// The interface of the main table's most specific route to `address`; empty
// when none leads there.
QString routeInterface(const Routing &routing, const QString &address);

// Whether `subnet` ("a.b.c.d/n") holds `address`.
bool subnetContains(const QString &subnet, const QString &address);

// Whether `name` is a tunnel: a VPN's tun or WireGuard device or a PPP link.
// Decided by the files below `sysClassNet/<name>` (ARPHRD_NONE as its type,
// or a tun_flags file) or by a name such tools give their links.
bool isTunnel(const QString &sysClassNet, const QString &name);

// Whether `name` is backed by hardware: sysfs links a device for network
// cards and Wi-Fi, none for bridges, veth pairs and tunnels.
bool isPhysical(const QString &sysClassNet, const QString &name);

// Whether `name` reaches the wire through hardware: it is physical, or a
// bridge with a physical port (a virtual machine host's br0), or stacked on
// a physical link (a VLAN, a bond, a macvlan). Such a link holding the
// default route is the local network, not a VPN; a bridge of containers
// alone (docker0, virbr0) or a veth pair is not.
bool reachesHardware(const QString &sysClassNet, const QString &name);

// Whether `name` is a bridge of containers or virtual machines (Docker's
// docker0 and br-<id>, libvirt's virbr<n>, Podman's, LXC's): a bridge none
// of whose ports reaches hardware, or one of the names those tools give.
bool isGuestBridge(const QString &sysClassNet, const QString &name);

// Whether `each` is a network this computer is on: usable, and neither a
// tunnel nor a bridge of containers or virtual machines.
bool isLocalNetwork(const QString &sysClassNet, const Interface &each);

// The interface that leads to the speakers: the one whose subnet holds the
// first of `heard` (or the route toward it); with nothing heard, the one
// holding the default route when it reaches hardware, else the first local
// network reaching hardware, else the first local network. Empty when none.
QString speakerInterface(
    const QList<Interface> &interfaces, const Routing &routing, const QStringList &heard, const QString &sysClassNet);

// Whether a ufw configuration text switches the firewall on (ENABLED=yes;
// the last assignment counts, quotes and case do not).
bool ufwEnabled(const QString &configText);

// The contents of a small system file; empty when it can't be read.
QString readSmallFile(const QString &path);

} // namespace SonosKit::NetworkFacts
