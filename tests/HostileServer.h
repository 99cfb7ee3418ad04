// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// A device that answers HTTP the way an attacker on the LAN would: a body
// without end, an answer one byte at a time, a redirect to another host. Plain
// sockets on threads of its own, so that the event loop under test never
// serves it; the tests and the hostile-input benchmark share it.

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace testsupport {

class HostileServer
{
public:
    enum class Behaviour {
        endlessBody, // status 200, then bytes as fast as they are taken, for ever
        trickledBody, // status 200 and headers at once, then one body byte per interval
        trickledHead, // the status line and headers one byte per interval
        redirect, // 302 to the URL in `payload`
        cannedBody, // status 200 with `payload` as the body: a crafted document
    };

    HostileServer(QString address, quint16 port, Behaviour behaviour, QByteArray payload = {},
        std::chrono::milliseconds interval = std::chrono::milliseconds(500));
    ~HostileServer();
    HostileServer(const HostileServer &) = delete;
    HostileServer &operator=(const HostileServer &) = delete;

    bool listening() const { return m_listener >= 0; }
    // Connections accepted so far.
    int connections() const { return m_connections; }

private:
    void acceptLoop();
    void serve(int connection);
    bool sendAll(int connection, const char *data, std::size_t size);
    bool pause(int connection);

    const Behaviour m_behaviour;
    const QByteArray m_payload;
    const std::chrono::milliseconds m_interval;
    int m_listener = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::mutex m_mutex;
    std::vector<std::thread> m_handlers;
    std::thread m_acceptor;
};

// A connection from `source` to `target`:`port`; -1 when it can't be made.
int connectedFrom(const QString &source, const QString &target, quint16 port);

// Keeps `count` connections from `source` to `target`:`port` open until
// `stop`, opening a new one whenever the other side closes one, as a host
// that means to hold every slot of a listener would. `opened` counts them.
void holdConnections(const QString &source, const QString &target, quint16 port, int count, const std::atomic<bool> &stop,
    std::atomic<int> &opened);

// The process's resident memory and its peak, in KiB; resetPeak() starts the
// peak afresh from what is resident now.
qint64 residentKiB();
qint64 peakResidentKiB();
void resetPeak();

} // namespace testsupport
