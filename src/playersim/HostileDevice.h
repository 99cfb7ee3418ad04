// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace playersim {

// A device on the network that misbehaves on purpose, the way an attacker on
// the LAN would: a body without end, an answer one byte at a time, a redirect
// to another host, a crafted document. Whatever the request, it gets the
// device's one misbehaviour. Plain sockets on threads of its own, so that the
// event loop of the program it is turned on never serves it.
class HostileDevice
{
public:
    enum class Mode {
        endlessBody, // status 200, then bytes as fast as they are taken, for ever
        trickledBody, // status 200 and headers at once, then one body byte per interval
        trickledHead, // the status line and headers one byte per interval
        redirect, // 302 to the payload, the connection then held open
        cannedBody, // status 200 with the payload as the body: a crafted document
    };

    // `payload` is a redirect's Location or cannedBody's document.
    HostileDevice(QString address, quint16 port, Mode mode, QByteArray payload = {});
    ~HostileDevice();
    HostileDevice(const HostileDevice &) = delete;
    HostileDevice &operator=(const HostileDevice &) = delete;

    // Binds and starts serving; false (with a reason) when the address can't be bound.
    bool start(QString *error = nullptr);
    void stop();

    // How long a trickle waits between two bytes (500 ms unless set before start()).
    void setInterval(std::chrono::milliseconds interval) { m_interval = interval; }

    QString address() const { return m_address; }
    quint16 port() const { return m_port; }
    // Connections accepted so far.
    int connections() const { return m_connections; }

    // The mode named as on playersim's command line ("endless-body", …).
    static std::optional<Mode> modeNamed(const QString &name);

private:
    void acceptLoop();
    void serve(int connection);
    bool sendAll(int connection, const char *data, std::size_t size);
    bool pause(int connection);

    const QString m_address;
    const quint16 m_port;
    const Mode m_mode;
    const QByteArray m_payload;
    std::chrono::milliseconds m_interval{500};
    int m_listener = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::mutex m_mutex; // guards m_handlers
    std::vector<std::thread> m_handlers;
    std::thread m_acceptor;
};

// A TCP connection from `source` to `target`:`port`; -1 when it can't be made.
int connectFrom(const QString &source, const QString &target, quint16 port);

// A host that means to hold every slot of a listener: keeps `count`
// connections from `source` to `target`:`port` open, opening a new one
// whenever the other side closes one, until it is destroyed.
class ConnectionHolder
{
public:
    ConnectionHolder(QString source, QString target, quint16 port, int count);
    ~ConnectionHolder();
    ConnectionHolder(const ConnectionHolder &) = delete;
    ConnectionHolder &operator=(const ConnectionHolder &) = delete;

    // Connections opened so far, those the other side closed included.
    int opened() const { return m_opened; }

private:
    void hold(const QString &source, const QString &target, quint16 port, int count);

    std::atomic<bool> m_stop{false};
    std::atomic<int> m_opened{0};
    std::thread m_thread;
};

} // namespace playersim
