// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "HostileServer.h"

#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

// How often a waiting thread looks whether it should stop.
constexpr int lookMs = 50;
constexpr std::size_t chunkBytes = 64 * 1024;
constexpr qsizetype headLimit = 16 * 1024;

// Reads the request's head (and whatever of its body came with it).
void readHead(int connection, const std::atomic<bool> &stop)
{
    QByteArray head;
    char buffer[4096];
    while (!stop && !head.contains("\r\n\r\n") && head.size() < headLimit) {
        pollfd entry{connection, POLLIN, 0};
        if (::poll(&entry, 1, lookMs) <= 0)
            continue;
        const ssize_t received = ::recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0)
            return;
        head.append(buffer, received);
    }
}

qint64 statusField(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qsizetype(qstrlen(name))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

} // namespace

HostileServer::HostileServer(
    QString address, quint16 port, Behaviour behaviour, QByteArray payload, std::chrono::milliseconds interval)
    : m_behaviour(behaviour)
    , m_payload(std::move(payload))
    , m_interval(interval)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    ::inet_pton(AF_INET, address.toLatin1().constData(), &local.sin_addr);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0 || ::listen(fd, 64) != 0) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    m_listener = fd;
    m_acceptor = std::thread([this] { acceptLoop(); });
}

HostileServer::~HostileServer()
{
    m_stop = true;
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread &handler : m_handlers)
        handler.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

void HostileServer::acceptLoop()
{
    while (!m_stop) {
        pollfd entry{m_listener, POLLIN, 0};
        if (::poll(&entry, 1, lookMs) <= 0)
            continue;
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        ++m_connections;
        const std::lock_guard lock(m_mutex);
        m_handlers.emplace_back([this, connection] {
            serve(connection);
            ::close(connection);
        });
    }
}

bool HostileServer::sendAll(int connection, const char *data, std::size_t size)
{
    while (size > 0 && !m_stop) {
        pollfd entry{connection, POLLOUT, 0};
        if (::poll(&entry, 1, lookMs) <= 0)
            continue;
        if (entry.revents & (POLLERR | POLLHUP))
            return false;
        const ssize_t sent = ::send(connection, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN)
            return false;
        if (sent > 0) {
            data += sent;
            size -= std::size_t(sent);
        }
    }
    return !m_stop;
}

bool HostileServer::pause(int connection)
{
    // Waits one interval; false once the client has gone or the server stops.
    const auto until = std::chrono::steady_clock::now() + m_interval;
    char byte;
    while (!m_stop && std::chrono::steady_clock::now() < until) {
        pollfd entry{connection, POLLIN, 0};
        if (::poll(&entry, 1, lookMs) > 0 && ::recv(connection, &byte, 1, MSG_DONTWAIT) <= 0)
            return false;
    }
    return !m_stop;
}

void HostileServer::serve(int connection)
{
    readHead(connection, m_stop);
    const QByteArray okHead = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n";
    switch (m_behaviour) {
    case Behaviour::endlessBody: {
        const QByteArray chunk(qsizetype(chunkBytes), 'x');
        if (!sendAll(connection, okHead.constData(), std::size_t(okHead.size())))
            return;
        while (sendAll(connection, chunk.constData(), chunkBytes)) {
        }
        return;
    }
    case Behaviour::trickledBody:
        if (!sendAll(connection, okHead.constData(), std::size_t(okHead.size())))
            return;
        while (pause(connection) && sendAll(connection, "x", 1)) {
        }
        return;
    case Behaviour::trickledHead:
        for (const char c : okHead) {
            if (!sendAll(connection, &c, 1) || !pause(connection))
                return;
        }
        return;
    case Behaviour::redirect: {
        const QByteArray answer = "HTTP/1.1 302 Found\r\nLocation: " + m_payload
            + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        sendAll(connection, answer.constData(), std::size_t(answer.size()));
        // Held open until the client closes, as a careless server would.
        while (pause(connection)) {
        }
        return;
    }
    case Behaviour::cannedBody: {
        const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nContent-Length: "
            + QByteArray::number(m_payload.size()) + "\r\nConnection: close\r\n\r\n" + m_payload;
        sendAll(connection, answer.constData(), std::size_t(answer.size()));
        return;
    }
    }
}

int connectedFrom(const QString &source, const QString &target, quint16 port)
{
    const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    ::inet_pton(AF_INET, source.toLatin1().constData(), &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    ::inet_pton(AF_INET, target.toLatin1().constData(), &to.sin_addr);
    if (::bind(sock, reinterpret_cast<sockaddr *>(&from), sizeof from) != 0
        || ::connect(sock, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
        ::close(sock);
        return -1;
    }
    return sock;
}

void holdConnections(const QString &source, const QString &target, quint16 port, int count, const std::atomic<bool> &stop,
    std::atomic<int> &opened)
{
    std::vector<int> held;
    while (!stop) {
        while (int(held.size()) < count) {
            const int sock = connectedFrom(source, target, port);
            if (sock < 0)
                break;
            held.push_back(sock);
            ++opened;
        }
        std::vector<pollfd> entries;
        for (int sock : held)
            entries.push_back({sock, POLLIN, 0});
        ::poll(entries.data(), entries.size(), lookMs);
        held.clear();
        char byte;
        for (const pollfd &entry : entries) {
            if ((entry.revents & (POLLIN | POLLHUP | POLLERR)) && ::recv(entry.fd, &byte, 1, MSG_DONTWAIT) <= 0)
                ::close(entry.fd);
            else
                held.push_back(entry.fd);
        }
    }
    for (int sock : held)
        ::close(sock);
}

qint64 residentKiB()
{
    return statusField("VmRSS:");
}

qint64 peakResidentKiB()
{
    return statusField("VmHWM:");
}

void resetPeak()
{
    // "5" resets the peak resident size to the current one (Linux 4.0 on).
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace testsupport
