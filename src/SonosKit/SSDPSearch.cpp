// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/SonosDiscoveryDetail.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/events/EventListener.h"

#include <QCoroFuture>
#include <QNetworkInterface>
#include <QPromise>
#include <QThreadPool>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <memory>

namespace SonosKit::SonosDiscovery {

namespace detail {

namespace {

constexpr char multicastGroup[] = "239.255.255.250";
constexpr quint16 ssdpPort = 1900;
constexpr auto receiveTimeout = std::chrono::microseconds(300000);
constexpr std::size_t receiveBufferSize = 4096;

class SocketCloser
{
public:
    explicit SocketCloser(int fd)
        : m_fd(fd)
    { }
    ~SocketCloser() { ::close(m_fd); }
    SocketCloser(const SocketCloser &) = delete;
    SocketCloser &operator=(const SocketCloser &) = delete;

private:
    int m_fd;
};

} // namespace

QByteArray ssdpSearchDatagram()
{
    return QByteArrayLiteral("M-SEARCH * HTTP/1.1\r\n"
                             "HOST: 239.255.255.250:1900\r\n"
                             "MAN: \"ssdp:discover\"\r\n"
                             "MX: 1\r\n"
                             "ST: urn:schemas-upnp-org:device:ZonePlayer:1\r\n"
                             "\r\n");
}

std::optional<QString> hostOfURL(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    return url.host();
}

std::optional<QString> senderAddress(const sockaddr_in &address)
{
    char text[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text))
        return std::nullopt;
    return QString::fromLatin1(text);
}

std::chrono::milliseconds boundedTimeout(double seconds)
{
    constexpr double oneDay = 24 * 60 * 60;
    if (!(seconds > 0))
        return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(qint64(std::min(seconds, oneDay) * 1000.0));
}

QStringList multicastInterfaceAddresses()
{
    QStringList addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const QNetworkInterface::InterfaceFlags flags = interface.flags();
        // Running, not just up: a bridge without members or a cable pulled
        // out takes the datagrams and delivers them nowhere.
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || !flags.testFlag(QNetworkInterface::CanMulticast) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> entries = interface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
                addresses.append(entry.ip().toString());
                break;
            }
        }
    }
    return addresses;
}

int openSearchSocket()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // No SO_REUSEADDR: with it two searches could share a port, and the
    // answers meant for one would go to the other.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    for (quint32 port = EventListener::firstPort; port <= EventListener::lastPort; ++port) {
        local.sin_port = htons(quint16(port));
        if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0)
            return fd;
    }
    // Every port of the range is taken: a search from any port still finds
    // players where no firewall stands in the way.
    local.sin_port = 0;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) == 0)
        return fd;
    ::close(fd);
    return -1;
}

std::optional<QString> householdOfAnswer(const QByteArray &answer)
{
    static constexpr QByteArrayView header = "x-rincon-household";
    // Headers end at the first empty line; a body carries no headers.
    const QList<QByteArray> lines = answer.split('\n');
    for (QByteArrayView line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            break;
        const qsizetype colon = line.indexOf(':');
        if (colon < 0 || line.first(colon).trimmed().compare(header, Qt::CaseInsensitive) != 0)
            continue;
        return plausibleHouseholdID(QString::fromLatin1(line.sliced(colon + 1)));
    }
    return std::nullopt;
}

QStringList blockingSSDPSearch(double timeout)
{
    QStringList hosts;
    for (const FoundPlayer &player : blockingSSDPPlayers(timeout))
        hosts.append(player.host);
    return hosts;
}

QList<FoundPlayer> blockingSSDPPlayers(double timeout)
{
    const int fd = openSearchSocket();
    if (fd < 0) {
        // Whatever the system said, the caller sees one stable error.
        throw SonosError::network({NetworkFailure::Source::posix, EIO, qt_error_string(EIO)});
    }
    const SocketCloser closer(fd);

    const int ttl = 4;
    ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
    timeval receiveWait{};
    receiveWait.tv_sec = 0;
    receiveWait.tv_usec = receiveTimeout.count();
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &receiveWait, sizeof receiveWait);

    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(ssdpPort);
    ::inet_pton(AF_INET, multicastGroup, &destination.sin_addr);

    // UDP may drop one of them; players answer each, and duplicates collapse.
    const QByteArray datagram = ssdpSearchDatagram();
    const auto sendPair = [&] {
        for (int i = 0; i < 2; ++i) {
            ::sendto(fd, datagram.constData(), std::size_t(datagram.size()), 0, reinterpret_cast<const sockaddr *>(&destination),
                sizeof destination);
        }
    };
    // Left to the routing table the search leaves through one interface
    // only, and players behind a second network card, or beside a VPN or a
    // container bridge that took the route, never hear it. Their answers all
    // come back to this one socket.
    int interfacesUsed = 0;
    for (const QString &address : multicastInterfaceAddresses()) {
        in_addr source{};
        if (::inet_pton(AF_INET, address.toLatin1().constData(), &source) == 1
            && ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &source, sizeof source) == 0) {
            sendPair();
            ++interfacesUsed;
        }
    }
    if (interfacesUsed == 0) // loopback only, as in a bare namespace
        sendPair();

    QList<FoundPlayer> players;
    const auto deadline = std::chrono::steady_clock::now() + boundedTimeout(timeout);
    if (std::chrono::steady_clock::now() >= deadline)
        return players;

    std::array<char, receiveBufferSize> buffer{};
    while (true) {
        sockaddr_in sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t received = ::recvfrom(
            fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr *>(&sender), &senderLength);
        if (received > 0) {
            // The sender, never the host its LOCATION names: any device may
            // name any host, and only one that answered is asked anything.
            const std::optional<QString> host = senderAddress(sender);
            const QString household
                = householdOfAnswer(QByteArray::fromRawData(buffer.data(), qsizetype(received))).value_or(QString());
            if (host)
                addClaim(players, *host, household);
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
    }
    return players;
}

} // namespace detail

QCoro::Task<QStringList> ssdpHosts(double timeout)
{
    const QList<FoundPlayer> players = co_await ssdpPlayers(timeout);
    QStringList hosts;
    for (const FoundPlayer &player : players)
        hosts.append(player.host);
    co_return hosts;
}

namespace {

// The search's answers, contested households left in.
QCoro::Task<QList<FoundPlayer>> searchAnswers(double timeout)
{
    auto promise = std::make_shared<QPromise<QList<FoundPlayer>>>();
    QFuture<QList<FoundPlayer>> result = promise->future();
    promise->start();
    // The loop blocks for the whole timeout; it must never run on the caller's thread.
    detail::workerPool().start([promise, timeout] {
        try {
            promise->addResult(detail::blockingSSDPPlayers(timeout));
        } catch (...) {
            promise->setException(std::current_exception());
        }
        promise->finish();
    });
    co_return co_await result;
}

} // namespace

QCoro::Task<QList<FoundPlayer>> ssdpPlayers(double timeout)
{
    const QList<FoundPlayer> players = co_await searchAnswers(timeout);
    co_return detail::withoutContested(players);
}

QCoro::Task<QList<FoundPlayer>> detail::ssdpAnswers(double timeout)
{
    try {
        co_return co_await searchAnswers(timeout);
    } catch (const SonosError &) {
        // No socket for the search means nothing found, not a failure.
    }
    co_return QList<FoundPlayer>();
}

} // namespace SonosKit::SonosDiscovery
