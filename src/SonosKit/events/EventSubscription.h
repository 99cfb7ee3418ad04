// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/events/EventService.h"
#include "SonosKit/events/ServiceEvent.h"

#include <QCoroTask>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>

namespace SonosKit {

class EventListener;

// One subscription to the events of one service of one player, kept alive
// until stop(): renewed at half the time the player granted, and made afresh
// when the player has forgotten it (412). The events arrive through the
// process's EventListener. Main-thread only.
class EventSubscription : public QObject
{
    Q_OBJECT
public:
    // Players grant at most a day. Renewals at half of it cost next to
    // nothing; a player that forgot the subscription is caught sooner by
    // PathProof, not by a renewal.
    static constexpr std::chrono::seconds defaultDuration{24 * 60 * 60};
    // Whatever a player grants is held to this range before it is used.
    static constexpr std::chrono::seconds shortestGrant{1};
    static constexpr std::chrono::seconds longestGrant{24 * 60 * 60};
    // SUBSCRIBE and renewals give up after this long without an answer.
    static constexpr double requestTimeout = 4.0;
    // Leaving is best effort and never holds up a quitting program.
    static constexpr std::chrono::milliseconds unsubscribeLimit{1000};
    // A subscription whose first event has not come by then is blocked on
    // the way back (a firewall, a VPN, a container's bridge).
    static constexpr std::chrono::milliseconds firstEventLimit{3000};

    EventSubscription(EventListener *listener, QString playerHost, EventService service,
        std::chrono::seconds duration = defaultDuration, QObject *parent = nullptr);
    ~EventSubscription() override;

    // Subscribes; throws SonosError (network, httpStatus) when the player
    // refuses or does not answer. Renewal then runs by itself.
    QCoro::Task<void> start(CancellationToken cancel = {});
    // Unsubscribes, within unsubscribeLimit; never throws.
    QCoro::Task<void> stop();
    // Renews now rather than when due: a player that restarted answers 412,
    // and the subscription is made afresh (eventsLost) or fails.
    void renewNow();

    EventService service() const { return m_service; }
    QString playerHost() const { return m_playerHost; }
    QString subscriptionID() const { return m_sid; }
    std::chrono::seconds grantedDuration() const { return m_granted; }
    bool isActive() const { return !m_sid.isEmpty(); }
    // The address the player was told to send events to (its CALLBACK);
    // null until start().
    QHostAddress callbackAddress() const { return m_callbackAddress; }
    // How long after the last grant the next renewal comes: half of it.
    std::chrono::milliseconds renewalInterval() const { return m_renewal.intervalAsDuration(); }

    // The grant a TIMEOUT header ("Second-1800", "Second-infinite") states,
    // within shortestGrant … longestGrant; zero when it states none.
    static std::chrono::seconds grantFromTimeout(const QByteArray &timeout);

    // The address of this machine that `host` is reached from: the address
    // a connection to it would leave from. Null when no route leads there.
    static QHostAddress localAddressToward(const QString &host);

Q_SIGNALS:
    void eventReceived(const SonosKit::ServiceEvent &event, quint32 sequence);
    // Events were lost (or the subscription had to be made afresh): read the
    // full state once.
    void eventsLost();
    void eventsBlocked();
    void renewed();
    // The player had forgotten the subscription (a restart) or the renewal
    // went unanswered, and it was made afresh; eventsLost follows.
    void resubscribed();
    // Renewing and subscribing afresh both failed; the subscription is over.
    void failed(const SonosKit::SonosError &error);

private:
    struct Grant {
        QString sid;
        std::chrono::seconds duration;
    };
    static QCoro::Task<Grant> request(
        QString url, QList<std::pair<QByteArray, QByteArray>> headers, QByteArray verb, double timeout, CancellationToken cancel);
    static QCoro::Task<void> renew(QPointer<EventSubscription> self);
    void accept(const Grant &grant);

    QPointer<EventListener> m_listener;
    QString m_playerHost;
    EventService m_service;
    std::chrono::seconds m_requested;
    QString m_path;
    QHostAddress m_callbackAddress;
    QString m_sid;
    std::chrono::seconds m_granted{0};
    bool m_sawEvent = false;
    QTimer m_renewal;
    QTimer m_firstEvent;
};

} // namespace SonosKit
