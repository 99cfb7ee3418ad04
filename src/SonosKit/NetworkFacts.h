// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// What the connection doctor learns about this computer's network from the
// system itself: the interfaces, the routing table, the links' kinds in
// sysfs and whether ufw is switched on. The readers take their files as
// paths or text so that tests can hand them files of their own.

#include <QList>
#include <QString>
#include <QStringList>

namespace SonosKit::NetworkFacts {

// The files read by default.
inline constexpr char defaultRouteTable[] = "/proc/net/route";
inline constexpr char defaultSysClassNet[] = "/sys/class/net";
inline constexpr char defaultUfwConfig[] = "/etc/ufw/ufw.conf";

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

// The interfaces holding a default route in the text of /proc/net/route, in
// the table's order, each once.
QStringList defaultRouteInterfaces(const QString &routeTable);

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

// Whether a ufw configuration text switches the firewall on (ENABLED=yes;
// the last assignment counts, quotes and case do not).
bool ufwEnabled(const QString &configText);

// The contents of a small system file; empty when it can't be read.
QString readSmallFile(const QString &path);

} // namespace SonosKit::NetworkFacts
