// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// What tests run by tests/netns/run-in-netns place in their namespaces: the
// LANs behind the harness's links, devices on them that answer searches, a
// speaker that refuses control, a firewall and a tunnel. Everything undoes
// itself when it goes, so the cases of one process don't see each other's.

#include "playersim/SimServer.h"
#include "playersim/SsdpResponder.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace netnstest {

// The harness's LAN "lan-a": its namespace, the address across the link and
// this side's subnet; "lan-b" is the second one.
inline constexpr char lanA[] = "lan-a";
inline constexpr char lanAPeer[] = "10.77.1.2";
inline constexpr char lanASubnet[] = "10.77.1.0/24";

// Inside the harness's namespace; with its Avahi daemon; with its LAN links.
bool inPrivateNamespace();
bool withDaemon();
bool withLinks();

bool enterNamespace(const char *name);

// Runs `make` on a thread inside the namespace `name`; what it opens, and the
// threads it starts, stay there.
template<typename Make>
auto insideNamespace(const char *name, Make make) -> decltype(make())
{
    decltype(make()) made{};
    std::thread([&] {
        if (!enterNamespace(name)) {
            ADD_FAILURE() << "cannot enter " << name;
            return;
        }
        made = make();
    }).join();
    return made;
}

// Runs a program to its end; true when it exits with 0.
bool run(const QString &program, const QStringList &arguments, QString *output = nullptr);

// A speaker's answers to the searches that reach `lan`, sent from `address`
// and naming the player at `named` (`address` itself unless given).
std::unique_ptr<playersim::SsdpResponder> searchAnswersOn(const char *lan, const QString &address, const QString &named = {});

// A UPnP device that is no speaker (a router, say) answering the searches
// that reach `lan`, from `address`. With no `lan` it answers in this
// namespace, joined on this side's `address`, as a media server on this
// computer would.
std::unique_ptr<playersim::SsdpResponder> routerOn(const char *lan, const QString &address);

// A player's HTTP side at `address`:1400 that refuses every request with 403
// as speakers with UPnP switched off do, or answers them when `upnpOff` is
// false.
std::unique_ptr<playersim::SimServer> refusingServer(const QString &address, bool upnpOff = true);

// A speaker on `lan`: it answers searches like any speaker, and its HTTP
// side is refusingServer()'s.
struct RefusingSpeaker {
    std::unique_ptr<playersim::SsdpResponder> ssdp;
    std::unique_ptr<playersim::SimServer> http;
};
RefusingSpeaker refusingSpeakerOn(const char *lan, const QString &address, bool upnpOff = true);

// What a test places and takes away again; `skipReason` says why it could
// not be set up.
class Fixture
{
public:
    Fixture() = default;
    Fixture(const Fixture &) = delete;
    Fixture &operator=(const Fixture &) = delete;
    bool active() const { return m_skipReason.isEmpty(); }
    const QString &skipReason() const { return m_skipReason; }

protected:
    QString m_skipReason;
};

// As a host firewall would: every datagram coming in from the LANs is
// dropped while it lives, but for searches to the SSDP group, which ufw
// lets in as well.
class DroppedInboundUdp : public Fixture
{
public:
    explicit DroppedInboundUdp(const QTemporaryDir &files);
    ~DroppedInboundUdp();
};

// A tun device, attached and so running, holding the route a VPN client
// leaves while it lives: OpenVPN's def1 halves (0.0.0.0/1 and
// 128.0.0.0/1), or wg-quick's table 51820 with its rules
// (traffic without the tunnel's fwmark goes to that table, the main table's
// routes other than a default still win). `address` ("10.0.0.1/8") goes on
// the device when given.
enum class TunnelKind { halves, policy };

class TunnelRoute : public Fixture
{
public:
    explicit TunnelRoute(TunnelKind kind, const QString &address = {});
    ~TunnelRoute();

private:
    TunnelKind m_kind;
    int m_fd = -1;
};

// A bridge of containers named `name` ("docker0") holding `address`, with a
// veth pair's end as its port so that it is up and running, as Docker leaves
// it while a container runs.
class GuestBridge : public Fixture
{
public:
    GuestBridge(const QString &name, const QString &address);
    ~GuestBridge();

private:
    QString m_name;
};

// This namespace's own view of its links under `files`: the sysfs mounted at
// /sys shows the machine's.
class OwnSysfs
{
public:
    explicit OwnSysfs(const QTemporaryDir &files);
    ~OwnSysfs();
    OwnSysfs(const OwnSysfs &) = delete;
    OwnSysfs &operator=(const OwnSysfs &) = delete;
    bool mounted() const { return m_mounted; }
    // Where the doctor reads the links (its sysClassNet).
    QString classNet() const { return m_path + QStringLiteral("/class/net"); }

private:
    QString m_path;
    bool m_mounted = false;
};

} // namespace netnstest
