// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "HostileDevice.h"

#include <QHash>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace playersim {

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

} // namespace

HostileDevice::HostileDevice(QString address, quint16 port, Mode mode, QByteArray payload)
    : m_address(std::move(address))
    , m_port(port)
    , m_mode(mode)
    , m_payload(std::move(payload))
{ }

HostileDevice::~HostileDevice()
{
    stop();
}

bool HostileDevice::start(QString *error)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(m_port);
    ::inet_pton(AF_INET, m_address.toLatin1().constData(), &local.sin_addr);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0 || ::listen(fd, 64) != 0) {
        if (error)
            *error = QStringLiteral("cannot listen on %1:%2: %3")
                         .arg(m_address)
                         .arg(m_port)
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    m_listener = fd;
    m_acceptor = std::thread([this] { acceptLoop(); });
    return true;
}

void HostileDevice::stop()
{
    m_stop = true;
    if (m_acceptor.joinable())
        m_acceptor.join();
    for (std::thread &handler : m_handlers)
        handler.join();
    m_handlers.clear();
    if (m_listener >= 0)
        ::close(m_listener);
    m_listener = -1;
}

std::optional<HostileDevice::Mode> HostileDevice::modeNamed(const QString &name)
{
    static const QHash<QString, Mode> modes{
        {QStringLiteral("endless-body"), Mode::endlessBody},
        {QStringLiteral("trickled-body"), Mode::trickledBody},
        {QStringLiteral("trickled-head"), Mode::trickledHead},
        {QStringLiteral("redirect"), Mode::redirect},
    };
    const auto found = modes.constFind(name);
    return found == modes.cend() ? std::nullopt : std::optional(*found);
}

void HostileDevice::acceptLoop()
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

bool HostileDevice::sendAll(int connection, const char *data, std::size_t size)
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

bool HostileDevice::pause(int connection)
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

void HostileDevice::serve(int connection)
{
    readHead(connection, m_stop);
    const QByteArray okHead = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n";
    switch (m_mode) {
    case Mode::endlessBody: {
        const QByteArray chunk(qsizetype(chunkBytes), 'x');
        if (!sendAll(connection, okHead.constData(), std::size_t(okHead.size())))
            return;
        while (sendAll(connection, chunk.constData(), chunkBytes)) {
        }
        return;
    }
    case Mode::trickledBody:
        if (!sendAll(connection, okHead.constData(), std::size_t(okHead.size())))
            return;
        while (pause(connection) && sendAll(connection, "x", 1)) {
        }
        return;
    case Mode::trickledHead:
        for (const char c : okHead) {
            if (!sendAll(connection, &c, 1) || !pause(connection))
                return;
        }
        return;
    case Mode::redirect: {
        const QByteArray answer = "HTTP/1.1 302 Found\r\nLocation: " + m_payload
            + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        sendAll(connection, answer.constData(), std::size_t(answer.size()));
        // Held open until the client closes, as a careless server would.
        while (pause(connection)) {
        }
        return;
    }
    case Mode::cannedBody: {
        const QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nContent-Length: "
            + QByteArray::number(m_payload.size()) + "\r\nConnection: close\r\n\r\n" + m_payload;
        sendAll(connection, answer.constData(), std::size_t(answer.size()));
        return;
    }
    }
}

int connectFrom(const QString &source, const QString &target, quint16 port)
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

ConnectionHolder::ConnectionHolder(QString source, QString target, quint16 port, int count)
    : m_thread([=, this] { hold(source, target, port, count); })
{ }

ConnectionHolder::~ConnectionHolder()
{
    m_stop = true;
    m_thread.join();
}

void ConnectionHolder::hold(const QString &source, const QString &target, quint16 port, int count)
{
    std::vector<int> held;
    while (!m_stop) {
        while (int(held.size()) < count) {
            const int sock = connectFrom(source, target, port);
            if (sock < 0)
                break;
            held.push_back(sock);
            ++m_opened;
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

} // namespace playersim
