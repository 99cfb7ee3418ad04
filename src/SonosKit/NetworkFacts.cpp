// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "NetworkFacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QRegularExpression>

#include <algorithm>
#include <array>

namespace SonosKit::NetworkFacts {

namespace {

// ARPHRD_NONE: the link type of tun devices and WireGuard, which carry bare
// IP packets without any link-layer header.
constexpr int linkTypeNone = 65534;
// ARPHRD_PPP.
constexpr int linkTypePpp = 512;

// System files are tiny; anything larger is not what we are looking for.
constexpr qint64 smallFileLimit = 1 << 20;

// The columns of /proc/net/route that matter here.
constexpr int routeInterfaceColumn = 0;
constexpr int routeDestinationColumn = 1;
constexpr int routeMaskColumn = 7;

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

QStringList defaultRouteInterfaces(const QString &routeTable)
{
    QStringList result;
    const QStringList lines = routeTable.split(u'\n', Qt::SkipEmptyParts);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString &line : lines) {
        const QStringList columns = line.trimmed().split(blanks, Qt::SkipEmptyParts);
        if (columns.size() <= routeMaskColumn)
            continue;
        bool destinationOk = false;
        bool maskOk = false;
        // The header line fails to parse as hex and drops out here.
        const uint destination = columns[routeDestinationColumn].toUInt(&destinationOk, 16);
        const uint mask = columns[routeMaskColumn].toUInt(&maskOk, 16);
        if (!destinationOk || !maskOk || destination != 0 || mask != 0)
            continue;
        const QString &name = columns[routeInterfaceColumn];
        if (!result.contains(name))
            result.append(name);
    }
    return result;
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
