// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/doctor/NetworkFacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QtEndian>

#include <linux/fib_rules.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <vector>

namespace SonosKit::NetworkFacts {

namespace {

// ARPHRD_NONE: the link type of tun devices and WireGuard, which carry bare
// IP packets without any link-layer header.
constexpr int linkTypeNone = 65534;
// ARPHRD_PPP.
constexpr int linkTypePpp = 512;

// System files are tiny; anything larger is not what we are looking for.
constexpr qint64 smallFileLimit = 1 << 20;

// The kernel's own tables: local addresses, and the one after main.
constexpr quint32 localTable = 255;
// A dump of a busy router's tables is a few hundred kilobytes; the kernel is
// asked for little, but a reader still stops somewhere.
constexpr std::size_t netlinkDumpLimit = 8 << 20;
constexpr auto netlinkDeadline = std::chrono::milliseconds(1000);
constexpr std::size_t netlinkBufferSize = 32 << 10;

// Names VPN clients give their links when the kernel's type says nothing.
constexpr std::array tunnelPrefixes{"tun", "tap", "wg", "ppp", "tailscale", "nordlynx", "zt", "utun", "vpn", "ipsec"};

} // namespace

bool Interface::isUsable() const
{
    return !address.isEmpty() && up && running && multicast && !loopback;
}

QString subnetOf(const QString &address, int prefixLength)
{
    const QHostAddress host(address);
    if (host.protocol() != QAbstractSocket::IPv4Protocol || prefixLength < 0 || prefixLength > 32)
        return {};
    const quint32 mask = prefixLength == 0 ? 0 : ~quint32(0) << (32 - prefixLength);
    return QStringLiteral("%1/%2").arg(QHostAddress(host.toIPv4Address() & mask).toString()).arg(prefixLength);
}

QList<Interface> interfaces()
{
    QList<Interface> result;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &each : all) {
        Interface info;
        info.name = each.name();
        const QNetworkInterface::InterfaceFlags flags = each.flags();
        info.up = flags.testFlag(QNetworkInterface::IsUp);
        info.running = flags.testFlag(QNetworkInterface::IsRunning);
        info.multicast = flags.testFlag(QNetworkInterface::CanMulticast);
        info.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        const QList<QNetworkAddressEntry> entries = each.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
                info.address = entry.ip().toString();
                info.subnet = subnetOf(info.address, entry.prefixLength());
                break;
            }
        }
        result.append(info);
    }
    return result;
}

int Route::prefixLength() const
{
    return destination.section(u'/', 1).toInt();
}

NetlinkSocket::NetlinkSocket(quint32 groups)
    : m_fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | (groups ? SOCK_NONBLOCK : 0), NETLINK_ROUTE))
{
    if (m_fd < 0 || !groups)
        return;
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = groups;
    if (::bind(m_fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

NetlinkSocket::~NetlinkSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

namespace {

// Asks the kernel for every IPv4 object of `type` (routes, rules) and hands
// each answer of `answer`'s type to `take`, within one deadline and a bound
// on the bytes.
template<typename Take>
bool dump(quint16 type, quint16 answer, Take take)
{
    const NetlinkSocket socket;
    if (socket.fd() < 0)
        return false;
    struct {
        nlmsghdr header;
        rtmsg message; // the rule header has the same size and starts alike
    } request{};
    static_assert(sizeof(rtmsg) == sizeof(fib_rule_hdr));
    request.header.nlmsg_len = sizeof request;
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = 1;
    request.message.rtm_family = AF_INET;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(socket.fd(), &request, sizeof request, 0, reinterpret_cast<const sockaddr *>(&kernel), sizeof kernel) < 0)
        return false;

    const auto deadline = std::chrono::steady_clock::now() + netlinkDeadline;
    std::vector<char> buffer(netlinkBufferSize);
    std::size_t total = 0;
    while (total < netlinkDumpLimit) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd ready{socket.fd(), POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, int(left.count())) <= 0)
            return false;
        const ssize_t received = ::recv(socket.fd(), buffer.data(), buffer.size(), 0);
        if (received <= 0)
            return false;
        total += std::size_t(received);
        int length = int(received);
        for (auto *header = reinterpret_cast<nlmsghdr *>(buffer.data()); NLMSG_OK(header, length);
             header = NLMSG_NEXT(header, length)) {
            if (header->nlmsg_type == NLMSG_DONE)
                return true;
            if (header->nlmsg_type == NLMSG_ERROR)
                return false;
            if (header->nlmsg_type == answer)
                take(header);
        }
    }
    return false;
}

QString interfaceName(int index)
{
    std::array<char, IF_NAMESIZE> name{};
    return index > 0 && ::if_indextoname(unsigned(index), name.data()) ? QString::fromLocal8Bit(name.data()) : QString();
}

std::optional<Route> routeFrom(const nlmsghdr *header)
{
    if (header->nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg)))
        return std::nullopt;
    const auto *message = static_cast<const rtmsg *>(NLMSG_DATA(header));
    if (message->rtm_family != AF_INET || message->rtm_type != RTN_UNICAST || message->rtm_dst_len > 32)
        return std::nullopt;
    Route route;
    route.table = message->rtm_table;
    quint32 destination = 0;
    int length = int(RTM_PAYLOAD(header));
    for (auto *attribute = RTM_RTA(message); RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
        const auto payload = RTA_PAYLOAD(attribute);
        const void *data = RTA_DATA(attribute);
        switch (attribute->rta_type) {
        case RTA_TABLE:
            if (payload >= sizeof(quint32))
                std::memcpy(&route.table, data, sizeof(quint32));
            break;
        case RTA_DST:
            if (payload >= sizeof destination)
                std::memcpy(&destination, data, sizeof destination);
            break;
        case RTA_PRIORITY:
            if (payload >= sizeof(quint32))
                std::memcpy(&route.metric, data, sizeof(quint32));
            break;
        case RTA_OIF:
            if (payload >= sizeof(int)) {
                int index = 0;
                std::memcpy(&index, data, sizeof index);
                route.interface = interfaceName(index);
            }
            break;
        case RTA_MULTIPATH:
            // Several next hops: the first one's link stands for the route.
            if (payload >= sizeof(rtnexthop) && route.interface.isEmpty())
                route.interface = interfaceName(static_cast<const rtnexthop *>(data)->rtnh_ifindex);
            break;
        default:
            break;
        }
    }
    route.destination = subnetOf(QHostAddress(qFromBigEndian(destination)).toString(), message->rtm_dst_len);
    return route;
}

std::optional<quint32> ruleTableFrom(const nlmsghdr *header)
{
    if (header->nlmsg_len < NLMSG_LENGTH(sizeof(fib_rule_hdr)))
        return std::nullopt;
    const auto *rule = static_cast<const fib_rule_hdr *>(NLMSG_DATA(header));
    if (rule->family != AF_INET || rule->action != FR_ACT_TO_TBL)
        return std::nullopt;
    quint32 table = rule->table;
    int length = int(header->nlmsg_len - NLMSG_LENGTH(sizeof(fib_rule_hdr)));
    const auto *attribute = reinterpret_cast<const rtattr *>(reinterpret_cast<const char *>(rule) + NLMSG_ALIGN(sizeof *rule));
    for (; RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
        if (attribute->rta_type == FRA_TABLE && RTA_PAYLOAD(attribute) >= sizeof table)
            std::memcpy(&table, RTA_DATA(attribute), sizeof table);
    }
    return table;
}

} // namespace

Routing routing()
{
    Routing result;
    dump(RTM_GETROUTE, RTM_NEWROUTE, [&](const nlmsghdr *header) {
        if (auto route = routeFrom(header))
            result.routes.append(*route);
    });
    dump(RTM_GETRULE, RTM_NEWRULE, [&](const nlmsghdr *header) {
        const auto table = ruleTableFrom(header);
        if (table && *table != localTable && *table != mainTable && !result.ruleTables.contains(*table))
            result.ruleTables.append(*table);
    });
    return result;
}

std::optional<QString> vpnRoute(const Routing &routing, const QString &sysClassNet)
{
    for (const Route &route : routing.routes) {
        // A default route, or one of the halves that together outrank it.
        if (route.prefixLength() > 1 || route.interface.isEmpty()
            || (route.table != mainTable && !routing.ruleTables.contains(route.table)))
            continue;
        QString what = route.prefixLength() == 0 ? QStringLiteral("default route")
                                                 : QStringLiteral("route %1").arg(route.destination);
        if (route.table != mainTable)
            what += QStringLiteral(" of table %1").arg(route.table);
        if (isTunnel(sysClassNet, route.interface))
            return QStringLiteral("%1 through tunnel %2").arg(what, route.interface);
        if (!reachesHardware(sysClassNet, route.interface))
            return QStringLiteral("%1 through virtual link %2").arg(what, route.interface);
    }
    return std::nullopt;
}

QStringList defaultRouteInterfaces(const Routing &routing)
{
    QList<Route> defaults;
    for (const Route &route : routing.routes) {
        if (route.table == mainTable && route.prefixLength() == 0 && !route.interface.isEmpty())
            defaults.append(route);
    }
    std::stable_sort(defaults.begin(), defaults.end(), [](const Route &a, const Route &b) { return a.metric < b.metric; });
    QStringList result;
    for (const Route &route : std::as_const(defaults)) {
        if (!result.contains(route.interface))
            result.append(route.interface);
    }
    return result;
}

bool subnetContains(const QString &subnet, const QString &address)
{
    const QHostAddress host(address);
    return host.protocol() == QAbstractSocket::IPv4Protocol && host.isInSubnet(QHostAddress::parseSubnet(subnet));
}

QString routeInterface(const Routing &routing, const QString &address)
{
    const Route *best = nullptr;
    for (const Route &route : routing.routes) {
        if (route.table != mainTable || route.interface.isEmpty() || !subnetContains(route.destination, address))
            continue;
        if (!best || route.prefixLength() > best->prefixLength()
            || (route.prefixLength() == best->prefixLength() && route.metric < best->metric))
            best = &route;
    }
    return best ? best->interface : QString();
}

bool isTunnel(const QString &sysClassNet, const QString &name)
{
    const QDir link(sysClassNet + u'/' + name);
    bool typeOk = false;
    const int type = readSmallFile(link.filePath(QStringLiteral("type"))).trimmed().toInt(&typeOk);
    if (typeOk && (type == linkTypeNone || type == linkTypePpp))
        return true;
    if (QFileInfo::exists(link.filePath(QStringLiteral("tun_flags"))))
        return true;
    for (const char *prefix : tunnelPrefixes) {
        if (name.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

bool isPhysical(const QString &sysClassNet, const QString &name)
{
    return QFileInfo::exists(sysClassNet + u'/' + name + QStringLiteral("/device"));
}

namespace {

// Bridges of bonds of VLANs are as deep as real setups stack their links;
// the bound also keeps a looping sysfs tree from recursing forever.
constexpr int stackingLimit = 4;
constexpr QLatin1String lowerPrefix("lower_");

bool reachesHardware(const QString &sysClassNet, const QString &name, int depth)
{
    if (isPhysical(sysClassNet, name))
        return true;
    if (depth >= stackingLimit)
        return false;
    const QDir link(sysClassNet + u'/' + name);
    // A bridge lists its ports under brif/; a stacked link names the link
    // below it as lower_<name>.
    const auto entries = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
    QStringList below = QDir(link.filePath(QStringLiteral("brif"))).entryList(entries);
    const QStringList lower = link.entryList({lowerPrefix + QStringLiteral("*")}, entries);
    for (const QString &entry : lower)
        below.append(entry.mid(lowerPrefix.size()));
    return std::any_of(
        below.cbegin(), below.cend(), [&](const QString &port) { return reachesHardware(sysClassNet, port, depth + 1); });
}

} // namespace

bool reachesHardware(const QString &sysClassNet, const QString &name)
{
    return reachesHardware(sysClassNet, name, 0);
}

bool isGuestBridge(const QString &sysClassNet, const QString &name)
{
    // Docker's default and per-network bridges, libvirt's, Podman's, LXC's
    // and LXD's: named so even before a guest's port makes them a bridge of
    // veth pairs only.
    static const QRegularExpression guestNames(
        QStringLiteral("^(docker\\d+|br-[0-9a-f]{12}|virbr\\d+|podman\\d+|cni-podman\\d+|lxcbr\\d+|lxdbr\\d+)$"));
    if (guestNames.match(name).hasMatch())
        return true;
    return QFileInfo::exists(sysClassNet + u'/' + name + QStringLiteral("/bridge")) && !reachesHardware(sysClassNet, name);
}

bool isLocalNetwork(const QString &sysClassNet, const Interface &each)
{
    return each.isUsable() && !isTunnel(sysClassNet, each.name) && !isGuestBridge(sysClassNet, each.name);
}

QString speakerInterface(
    const QList<Interface> &interfaces, const Routing &routing, const QStringList &heard, const QString &sysClassNet)
{
    const auto usable = [&](const QString &name) {
        return std::any_of(
            interfaces.cbegin(), interfaces.cend(), [&](const Interface &each) { return each.name == name && each.isUsable(); });
    };
    if (!heard.isEmpty()) {
        // The answers came in through the link on the speaker's subnet, or
        // the one the route toward it names.
        const QString &speaker = heard.front();
        for (const Interface &each : interfaces) {
            if (each.isUsable() && subnetContains(each.subnet, speaker))
                return each.name;
        }
        if (const QString routed = routeInterface(routing, speaker); usable(routed))
            return routed;
    }
    const QStringList defaults = defaultRouteInterfaces(routing);
    for (const QString &name : defaults) {
        if (usable(name) && reachesHardware(sysClassNet, name))
            return name;
    }
    QString firstLocal;
    for (const Interface &each : interfaces) {
        if (!isLocalNetwork(sysClassNet, each))
            continue;
        if (reachesHardware(sysClassNet, each.name))
            return each.name;
        if (firstLocal.isEmpty())
            firstLocal = each.name;
    }
    return firstLocal;
}

bool ufwEnabled(const QString &configText)
{
    bool enabled = false;
    const QStringList lines = configText.split(u'\n');
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || line.left(equals).trimmed() != u"ENABLED")
            continue;
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        enabled = value.compare(u"yes", Qt::CaseInsensitive) == 0;
    }
    return enabled;
}

QString readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(smallFileLimit));
}

} // namespace SonosKit::NetworkFacts
