// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "netns/NetnsTestSupport.h"

#include "TestAddresses.h"

#include <QDir>
#include <QFile>
#include <QNetworkInterface>
#include <QProcess>

#include <fcntl.h>
#include <linux/if_tun.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace netnstest {

namespace {

constexpr int processLimitMs = 10000;
constexpr char firewallTable[] = "quillo_netns_test";

} // namespace

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

bool run(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(processLimitMs);
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

std::unique_ptr<playersim::SimServer> refusingServer(const QString &address, bool upnpOff)
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

namespace {

std::unique_ptr<playersim::SsdpResponder> answersOn(const char *lan, const QString &address, const QString &named, bool speaker)
{
    const auto make = [&] {
        playersim::SsdpResponder::Options options;
        options.interfaceAddress = address;
        options.fromPlayerAddress = named.isEmpty();
        options.speaker = speaker;
        auto responder = std::make_unique<playersim::SsdpResponder>(
            QList<playersim::SsdpPlayer>{{named.isEmpty() ? address : named, QStringLiteral("RINCON_000E58000002001400"),
                QStringLiteral("ZPS12"), QStringLiteral("79.1-56030"), QString()}},
            options);
        QString error;
        EXPECT_TRUE(responder->start(&error)) << error.toStdString();
        return responder;
    };
    return lan ? insideNamespace(lan, make) : make();
}

} // namespace

std::unique_ptr<playersim::SsdpResponder> searchAnswersOn(const char *lan, const QString &address, const QString &named)
{
    return answersOn(lan, address, named, true);
}

std::unique_ptr<playersim::SsdpResponder> routerOn(const char *lan, const QString &address)
{
    return answersOn(lan, address, {}, false);
}

RefusingSpeaker refusingSpeakerOn(const char *lan, const QString &address, bool upnpOff)
{
    return {searchAnswersOn(lan, address), insideNamespace(lan, [&] { return refusingServer(address, upnpOff); })};
}

DroppedInboundUdp::DroppedInboundUdp(const QTemporaryDir &files)
{
    QString output;
    if (!run(QStringLiteral("nft"), {QStringLiteral("list"), QStringLiteral("ruleset")}, &output)) {
        m_skipReason = QStringLiteral("nftables is not usable here: ") + output;
        return;
    }
    const QString rulesFile = files.filePath(QStringLiteral("drop.nft"));
    QFile file(rulesFile);
    if (!file.open(QIODevice::WriteOnly)) {
        m_skipReason = QStringLiteral("no rules file");
        return;
    }
    file.write(QStringLiteral("table inet %1 {\n"
                              "  chain input { type filter hook input priority 0; policy accept;\n"
                              "    iifname != \"lo\" meta l4proto udp ip daddr != 239.255.255.250 drop\n  }\n}\n")
                   .arg(QLatin1String(firewallTable))
                   .toUtf8());
    file.close();
    if (!run(QStringLiteral("nft"), {QStringLiteral("-f"), rulesFile}, &output))
        m_skipReason = QStringLiteral("the kernel takes no nf_tables rules here: ") + output;
}

DroppedInboundUdp::~DroppedInboundUdp()
{
    if (active()) {
        run(QStringLiteral("nft"),
            {QStringLiteral("delete"), QStringLiteral("table"), QStringLiteral("inet"), QLatin1String(firewallTable)});
    }
}

namespace {

const QString tunnelName = QStringLiteral("tun0");
// wg-quick's rules: traffic without the tunnel's fwmark goes to its table,
// where the main table's routes other than a default still win.
const char *const policyRules[] = {"not fwmark 51820 table 51820", "table main suppress_prefixlength 0"};

// `ip` with the words of `command`; a test failure when it fails.
bool ip(const QString &command)
{
    QString output;
    const bool done = run(QStringLiteral("ip"), command.split(u' '), &output);
    EXPECT_TRUE(done) << "ip " << command.toStdString() << ": " << output.toStdString();
    return done;
}

} // namespace

TunnelRoute::TunnelRoute(TunnelKind kind, const QString &address)
    : m_kind(kind)
{
    // Attached, the device has a carrier, as a VPN client's has.
    m_fd = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    ifreq request{};
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    std::strncpy(request.ifr_name, qPrintable(tunnelName), IFNAMSIZ - 1);
    if (m_fd < 0 || ::ioctl(m_fd, TUNSETIFF, &request) != 0) {
        m_skipReason = QStringLiteral("no tun device here: ") + QString::fromLocal8Bit(std::strerror(errno));
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        return;
    }
    if (!address.isEmpty())
        ip(QStringLiteral("addr add %1 dev %2").arg(address, tunnelName));
    ip(QStringLiteral("link set %1 up").arg(tunnelName));
    switch (kind) {
    case TunnelKind::halves:
        for (const char *half : {"0.0.0.0/1", "128.0.0.0/1"})
            ip(QStringLiteral("route add %1 dev %2").arg(QLatin1String(half), tunnelName));
        break;
    case TunnelKind::policy:
        ip(QStringLiteral("route add default dev %1 table 51820").arg(tunnelName));
        for (const char *rule : policyRules)
            ip(QStringLiteral("rule add ") + QLatin1String(rule));
        break;
    }
}

TunnelRoute::~TunnelRoute()
{
    if (m_fd < 0)
        return;
    // The device and its routes go with the descriptor; rules stay.
    if (m_kind == TunnelKind::policy) {
        for (const char *rule : policyRules)
            ip(QStringLiteral("rule del ") + QLatin1String(rule));
    }
    ::close(m_fd);
}

GuestBridge::GuestBridge(const QString &name, const QString &address)
    : m_name(name)
{
    QString output;
    if (!run(QStringLiteral("ip"), QStringLiteral("link add %1 type bridge forward_delay 0").arg(name).split(u' '), &output)) {
        m_skipReason = QStringLiteral("no bridge here: ") + output;
        return;
    }
    ip(QStringLiteral("link add gb0 type veth peer name gb1"));
    ip(QStringLiteral("link set gb0 master %1").arg(name));
    ip(QStringLiteral("addr add %1 dev %2").arg(address, name));
    for (const QString &link : {QStringLiteral("gb0"), QStringLiteral("gb1"), name})
        ip(QStringLiteral("link set %1 up").arg(link));
    const bool running = testsupport::waitUntil([&] {
        const QNetworkInterface bridge = QNetworkInterface::interfaceFromName(name);
        return bridge.flags().testFlag(QNetworkInterface::IsRunning);
    });
    if (!running)
        m_skipReason = QStringLiteral("the bridge did not come up");
}

GuestBridge::~GuestBridge()
{
    run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("del"), QStringLiteral("gb0")});
    run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("del"), m_name});
}

OwnSysfs::OwnSysfs(const QTemporaryDir &files)
    : m_path(files.filePath(QStringLiteral("sys")))
{
    QDir().mkpath(m_path);
    m_mounted = ::mount("sysfs", m_path.toLocal8Bit().constData(), "sysfs", 0, nullptr) == 0;
    EXPECT_TRUE(m_mounted) << std::strerror(errno);
}

OwnSysfs::~OwnSysfs()
{
    if (m_mounted)
        ::umount(m_path.toLocal8Bit().constData());
}

} // namespace netnstest
