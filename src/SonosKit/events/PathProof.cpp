// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/PathProof.h"

#include "SonosKit/events/EventListener.h"
#include "SonosKit/events/EventSubscription.h"

namespace SonosKit {

PathProof::PathProof(EventListener *listener, QObject *parent)
    : QObject(parent)
    , m_listener(listener)
{
    m_next.setSingleShot(true);
    // A proof a little late costs nothing; the system may fold the wakeup.
    m_next.setTimerType(Qt::CoarseTimer);
    connect(&m_next, &QTimer::timeout, this, [this] { prove(); });
}

// A proof under way goes with its subscription, which lapses by itself.
PathProof::~PathProof() = default;

void PathProof::setPlayerHost(const QString &playerHost)
{
    if (playerHost == m_playerHost)
        return;
    m_playerHost = playerHost;
    finish();
    if (m_playerHost.isEmpty())
        m_next.stop();
    else
        m_next.start(m_interval);
}

void PathProof::setInterval(std::chrono::milliseconds interval)
{
    m_interval = interval;
    if (m_next.isActive() && m_next.remainingTimeAsDuration() > interval)
        m_next.start(interval);
}

void PathProof::finish()
{
    if (m_current) {
        // No UNSUBSCRIBE: the short grant lapses by itself, and its later
        // events find no route.
        m_current->disconnect(this);
        m_current->deleteLater();
        m_current = nullptr;
    }
    if (!m_playerHost.isEmpty())
        m_next.start(m_interval);
}

QCoro::Task<void> PathProof::prove()
{
    // Fired by a timer: nothing may escape.
    if (!m_listener || m_playerHost.isEmpty() || m_current)
        co_return;
    QPointer<PathProof> self(this);
    const QString host = m_playerHost;
    auto *subscription = new EventSubscription(m_listener, host, service, requestedGrant, this);
    m_current = subscription;
    // The first event may come before the answer to SUBSCRIBE.
    connect(subscription, &EventSubscription::eventReceived, this, [this, host](const ServiceEvent &event, quint32) {
        finish();
        Q_EMIT proven(host, event);
    });
    connect(subscription, &EventSubscription::eventsBlocked, this, [this, host] {
        finish();
        Q_EMIT shut(host);
    });
    try {
        co_await subscription->start();
    } catch (const SonosError &error) {
        if (self && m_current == subscription) {
            finish();
            Q_EMIT unanswered(host, error);
        }
    } catch (...) {
    }
}

} // namespace SonosKit
