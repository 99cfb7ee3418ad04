// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/PathProof.h"

#include "SonosKit/events/EventListener.h"
#include "SonosKit/events/EventSubscription.h"

#include <algorithm>

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

void PathProof::setTargets(const QList<Target> &targets)
{
    const bool sameFirst = !targets.isEmpty() && !m_targets.isEmpty() && targets.first() == m_targets.first();
    m_targets = targets;
    if (!sameFirst) {
        drop();
        m_cycles = 0;
        m_nextOther = 0;
        m_otherDue.reset();
        if (!m_targets.isEmpty())
            planCycle();
    } else if (m_current && !m_currentIsFirst && std::none_of(m_targets.cbegin(), m_targets.cend(), [this](const Target &t) {
                   return t.playerHost == m_currentHost;
               })) {
        // That player left the group: what its proof says is no news.
        drop();
        m_otherDue.reset();
    }
    schedule();
}

void PathProof::setInterval(std::chrono::milliseconds interval)
{
    m_interval = interval;
    if (m_targets.isEmpty())
        return;
    if (m_firstDue.remainingTimeAsDuration() > interval)
        m_firstDue = QDeadlineTimer(interval);
    if (m_otherDue && m_otherDue->remainingTimeAsDuration() > interval / 2)
        m_otherDue = QDeadlineTimer(interval / 2);
    schedule();
}

void PathProof::setOthersEvery(int intervals)
{
    m_othersEvery = std::max(intervals, 0);
    if (m_othersEvery == 0) {
        m_cycles = 0;
        m_otherDue.reset();
        schedule();
    }
}

void PathProof::planCycle()
{
    m_firstDue = QDeadlineTimer(m_interval);
    if (m_othersEvery > 0 && ++m_cycles >= m_othersEvery) {
        m_cycles = 0;
        m_otherDue = QDeadlineTimer(m_interval / 2);
    }
}

void PathProof::schedule()
{
    // The end of a proof under way plans the next.
    if (m_targets.isEmpty() || m_current) {
        m_next.stop();
        return;
    }
    QDeadlineTimer due = m_firstDue;
    if (m_otherDue && m_otherDue->deadlineNSecs() < due.deadlineNSecs())
        due = *m_otherDue;
    m_next.start(
        std::max(std::chrono::milliseconds(0), std::chrono::ceil<std::chrono::milliseconds>(due.remainingTimeAsDuration())));
}

void PathProof::drop()
{
    if (m_current) {
        // No UNSUBSCRIBE: the short grant lapses by itself, and its later
        // events find no route.
        m_current->disconnect(this);
        m_current->deleteLater();
        m_current = nullptr;
    }
    m_currentIsFirst = false;
    m_currentHost.clear();
}

void PathProof::finish()
{
    const bool wasFirst = m_currentIsFirst;
    drop();
    if (wasFirst)
        planCycle();
    else
        m_otherDue.reset();
    schedule();
}

QCoro::Task<void> PathProof::prove()
{
    // Fired by a timer: nothing may escape.
    if (!m_listener || m_targets.isEmpty() || m_current)
        co_return;
    // Whichever is due first (a coarse timer may fire a little early).
    const bool other = m_otherDue && m_otherDue->deadlineNSecs() <= m_firstDue.deadlineNSecs();
    Target target = m_targets.first();
    if (other && m_targets.size() > 1) {
        const qsizetype others = m_targets.size() - 1;
        m_nextOther %= others;
        target = m_targets.at(1 + m_nextOther);
        m_nextOther = (m_nextOther + 1) % others;
    }
    QPointer<PathProof> self(this);
    auto *subscription = new EventSubscription(m_listener, target.playerHost, target.service, requestedGrant, this);
    m_current = subscription;
    m_currentIsFirst = !other;
    m_currentHost = target.playerHost;
    // The first event may come before the answer to SUBSCRIBE.
    connect(subscription, &EventSubscription::eventReceived, this, [this, target](const ServiceEvent &event, quint32) {
        finish();
        Q_EMIT proven(target.playerHost, target.service, event);
    });
    connect(subscription, &EventSubscription::eventsBlocked, this, [this, host = target.playerHost] {
        finish();
        Q_EMIT shut(host);
    });
    try {
        co_await subscription->start();
    } catch (const SonosError &error) {
        if (self && m_current == subscription) {
            finish();
            Q_EMIT unanswered(target.playerHost, error);
        }
    } catch (...) {
    }
}

} // namespace SonosKit
