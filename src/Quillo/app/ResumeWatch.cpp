// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/ResumeWatch.h"

#include "Quillo/app/Logging.h"

#include <QAtomicInt>
#include <QDBusConnection>
#include <QDBusError>

#include <utility>

namespace {

constexpr QLatin1StringView loginService("org.freedesktop.login1");
constexpr QLatin1StringView loginPath("/org/freedesktop/login1");
constexpr QLatin1StringView loginManager("org.freedesktop.login1.Manager");

} // namespace

ResumeWatch::ResumeWatch(QObject *parent)
    : QObject(parent)
{
    // A connection of its own: the process's shared one is made once, so a
    // bus named later (a test's) would never be heard. libdbus reads
    // DBUS_SYSTEM_BUS_ADDRESS when it connects.
    static QAtomicInt instances;
    m_connectionName = QStringLiteral("quillo-resume-%1").arg(instances.fetchAndAddRelaxed(1));
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SystemBus, m_connectionName);
    // Only logind may say the computer woke: the sender is part of the
    // match, and no one else can own its name on a system bus.
    m_watching = bus.isConnected()
        && bus.connect(
            loginService, loginPath, loginManager, QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    if (!m_watching) {
        static bool told = false;
        if (!std::exchange(told, true))
            qCInfo(lcApp) << "No system bus to hear of suspend and resume:" << bus.lastError().message();
    }
}

ResumeWatch::~ResumeWatch()
{
    QDBusConnection::disconnectFromBus(m_connectionName);
}

void ResumeWatch::prepareForSleep(bool starting)
{
    if (!starting)
        Q_EMIT resumed();
}
