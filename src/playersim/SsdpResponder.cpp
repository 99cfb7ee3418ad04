// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SsdpResponder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace playersim {

namespace {

constexpr char zonePlayerTarget[] = "urn:schemas-upnp-org:device:ZonePlayer:1";

QString lastError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

SsdpResponder::SsdpResponder(QList<SsdpPlayer> players)
    : SsdpResponder(std::move(players), Options())
{ }

SsdpResponder::SsdpResponder(QList<SsdpPlayer> players, Options options)
    : m_players(std::move(players))
    , m_options(std::move(options))
{ }

SsdpResponder::~SsdpResponder()
{
    stop();
}

bool SsdpResponder::start(QString *error)
{
    const auto fail = [&](const char *what) {
        if (error)
            *error = lastError(what);
        stop();
        return false;
    };

    m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return fail("socket");
    const int reuse = 1;
    ::setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);

    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(1900);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(m_socket, reinterpret_cast<const sockaddr *>(&local), sizeof local) < 0)
        return fail("bind 1900");

    ip_mreq membership{};
    ::inet_pton(AF_INET, "239.255.255.250", &membership.imr_multiaddr);
    const QByteArray interfaceAddress = m_options.interfaceAddress.toLatin1();
    if (::inet_pton(AF_INET, interfaceAddress.constData(), &membership.imr_interface) != 1) {
        errno = EINVAL;
        return fail("interface address");
    }
    if (::setsockopt(m_socket, IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) < 0)
        return fail("join 239.255.255.250");

    m_wake = ::eventfd(0, EFD_CLOEXEC);
    if (m_wake < 0)
        return fail("eventfd");

    m_thread = std::thread([this] { serve(); });
    return true;
}

void SsdpResponder::stop()
{
    if (m_thread.joinable()) {
        const quint64 one = 1;
        [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
        m_thread.join();
    }
    if (m_socket >= 0)
        ::close(m_socket);
    if (m_wake >= 0)
        ::close(m_wake);
    m_socket = -1;
    m_wake = -1;
}

QByteArray SsdpResponder::searchTargetOf(const QByteArray &request)
{
    const QList<QByteArray> lines = request.split('\n');
    if (lines.isEmpty() || !lines.front().trimmed().startsWith("M-SEARCH "))
        return {};
    for (const QByteArray &line : lines) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.size() > 3 && trimmed.left(3).compare("ST:", Qt::CaseInsensitive) == 0)
            return trimmed.mid(3).trimmed();
    }
    return {};
}

QByteArray SsdpResponder::answer(const SsdpPlayer &player, const QByteArray &searchTarget, const Options &options)
{
    const QByteArray address = player.address.toLatin1();
    const QByteArray uuid = player.uuid.toLatin1();
    const QByteArray household = (player.household.isEmpty() ? options.household : player.household).toLatin1();
    if (!options.speaker) {
        return "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\nEXT:\r\nLOCATION: http://" + address
            + ":5000/rootDesc.xml\r\nSERVER: Linux/5.10 UPnP/1.1 MiniUPnPd/2.3\r\n"
              "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\nUSN: uuid:"
            + uuid + "\r\n\r\n";
    }
    QList<QByteArray> lines{
        "HTTP/1.1 200 OK",
        "CACHE-CONTROL: max-age = 1800",
        "EXT:",
    };
    if (options.withLocation)
        lines.append("LOCATION: http://" + address + ":1400/xml/device_description.xml");
    lines.append("SERVER: Linux UPnP/1.0 Sonos/" + player.version.toLatin1() + " (" + player.model.toLatin1() + ")");
    // A search for everything is answered with the type found, which is
    // also the one the USN names.
    lines.append("ST: " + (searchTarget == "ssdp:all" ? QByteArray(zonePlayerTarget) : searchTarget));
    lines.append("USN: uuid:" + uuid + "::" + zonePlayerTarget);
    lines.append("X-RINCON-HOUSEHOLD: " + household);
    lines.append("X-RINCON-BOOTSEQ: 222");
    lines.append("BOOTID.UPNP.ORG: 222");
    lines.append("X-RINCON-WIFIMODE: 0");
    lines.append("X-RINCON-VARIANT: 1");
    lines.append("HOUSEHOLD.SMARTSPEAKER.AUDIO: " + household + ".d08dscnFp9C_XIhFkWZg");
    const QByteArray end = options.crlf ? "\r\n" : "\n";
    return lines.join(end) + end + end;
}

void SsdpResponder::serve()
{
    QByteArray buffer(8192, '\0');
    while (true) {
        pollfd watched[2] = {{m_socket, POLLIN, 0}, {m_wake, POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (watched[1].revents)
            return;
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t received = ::recvfrom(
            m_socket, buffer.data(), std::size_t(buffer.size()), 0, reinterpret_cast<sockaddr *>(&from), &fromLength);
        if (received <= 0)
            continue;
        const QByteArray target = searchTargetOf(buffer.left(received));
        if (target != zonePlayerTarget && target != "ssdp:all")
            continue;
        char sender[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, sender, sizeof sender);
        ++m_answered;
        reply(target, sender, ntohs(from.sin_port));
    }
}

void SsdpResponder::reply(const QByteArray &searchTarget, const QByteArray &to, quint16 port)
{
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    ::inet_pton(AF_INET, to.constData(), &destination.sin_addr);

    for (const SsdpPlayer &player : m_players) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        if (m_options.fromPlayerAddress) {
            sockaddr_in source{};
            source.sin_family = AF_INET;
            const QByteArray address = player.address.toLatin1();
            ::inet_pton(AF_INET, address.constData(), &source.sin_addr);
            ::bind(fd, reinterpret_cast<const sockaddr *>(&source), sizeof source);
        }
        const QByteArray datagram = answer(player, searchTarget, m_options);
        for (int i = 0; i < m_options.copies; ++i) {
            ::sendto(fd, datagram.constData(), std::size_t(datagram.size()), 0, reinterpret_cast<const sockaddr *>(&destination),
                sizeof destination);
        }
        ::close(fd);
    }
}

} // namespace playersim
