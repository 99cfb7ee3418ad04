// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// A system bus of a test's own: a dbus-daemon on a socket in a temporary
// folder, named by DBUS_SYSTEM_BUS_ADDRESS while it lives, and a
// stand-in for logind on it that says the computer went to sleep or woke.
// Header-only, so that benchmarks use it too.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>

namespace testsupport {

class PrivateSystemBus
{
public:
    static constexpr std::chrono::seconds startLimit{10};

    PrivateSystemBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            m_skipReason = QStringLiteral("dbus-daemon is not installed (package dbus)");
            return;
        }
        if (!m_directory.isValid()) {
            m_skipReason = QStringLiteral("no temporary folder for the bus");
            return;
        }
        // The session bus's rules let anyone own any name and send anything;
        // the bus holds only this test's parties.
        m_daemon.start(daemon,
            {QStringLiteral("--session"), QStringLiteral("--address=unix:tmpdir=") + m_directory.path(),
                QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        const QDeadlineTimer deadline(startLimit);
        while (!m_daemon.canReadLine() && !deadline.hasExpired() && m_daemon.state() != QProcess::NotRunning)
            m_daemon.waitForReadyRead(int(deadline.remainingTime()));
        m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
        if (m_address.isEmpty()) {
            m_skipReason = QStringLiteral("the private system bus did not start: %1")
                               .arg(QString::fromLocal8Bit(m_daemon.readAllStandardError()));
            return;
        }
        m_previous = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address.toUtf8());
        QDBusConnection login = QDBusConnection::connectToBus(m_address, loginConnection);
        if (!login.isConnected() || !login.registerService(QStringLiteral("org.freedesktop.login1")))
            m_skipReason = QStringLiteral("cannot stand in for logind on the private bus");
    }

    ~PrivateSystemBus()
    {
        QDBusConnection::disconnectFromBus(loginConnection);
        if (!m_address.isEmpty()) {
            if (m_previous.isEmpty())
                qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
            else
                qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_previous);
        }
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    PrivateSystemBus(const PrivateSystemBus &) = delete;
    PrivateSystemBus &operator=(const PrivateSystemBus &) = delete;

    bool active() const { return m_skipReason.isEmpty(); }
    const QString &skipReason() const { return m_skipReason; }

    // logind's PrepareForSleep: true as the computer goes to sleep, false as
    // it wakes.
    bool prepareForSleep(bool starting) const
    {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
        signal << starting;
        return QDBusConnection(loginConnection).send(signal);
    }

private:
    static constexpr char loginConnection[] = "test-logind";

    QTemporaryDir m_directory;
    QProcess m_daemon;
    QString m_address;
    QByteArray m_previous;
    QString m_skipReason;
};

} // namespace testsupport
