// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SimTypes.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace playersim {

// The players' event subscriptions and the one thread that sends their
// NOTIFYs. Subscriptions are answered on the servers' threads; sending
// happens on its own thread from a bounded queue, so that a slow or absent
// subscriber never holds up an answer. Each subscription counts its events
// (SEQ) from 0, the event that carries the full state. Thread-safe.
class EventPublisher
{
public:
    using Clock = std::chrono::steady_clock;
    // Events waiting beyond this are dropped, as a player's would be: their
    // subscribers see a gap in SEQ.
    static constexpr size_t maximumQueued = 1024;
    static constexpr std::chrono::seconds longestGrant{86400};
    static constexpr std::chrono::milliseconds sendTimeout{1000};
    // How often the household is asked for changes nobody requested (a
    // track that ended, a transition that settled) while anyone subscribes.
    static constexpr std::chrono::milliseconds tickInterval{250};

    // What a SUBSCRIBE or UNSUBSCRIBE earned; `created` names a new
    // subscription, which is owed its first event.
    struct Outcome {
        Answer answer;
        std::optional<QString> created;
    };

    // `tick` runs on the sending thread, never under the publisher's lock.
    explicit EventPublisher(std::function<void()> tick);
    ~EventPublisher();
    void stop();

    // `player` is the index of the player in the household, `address` its
    // address (NOTIFYs are sent from it), `uuid` names its SIDs.
    Outcome handle(int player, const QString &address, const QString &uuid, const EventRequest &request);

    bool hasSubscribers(int player, const QString &path) const;
    // Queues `body` for every live subscription of `player` on `path`.
    void publish(int player, const QString &path, const QByteArray &body);
    // Queues `body` for one subscription only (its first event).
    void publishTo(const QString &sid, const QByteArray &body);

    // Runs `task` on the sending thread at `when`, outside the lock.
    void schedule(Clock::time_point when, std::function<void()> task);

    // Faults: a firewall that drops every NOTIFY (SEQ still counts), and a
    // player that has forgotten every subscription when it is renewed.
    void setDropNotifications(bool drop) { m_drop = drop; }
    void setRefuseRenewals(bool refuse) { m_refuseRenewals = refuse; }
    // A player whose subscription table is full for one service: every new
    // SUBSCRIBE to `path` gets 503; empty: none.
    void setRefusedPath(const QString &path);
    // A player that restarted: every subscription it held is gone (a
    // renewal gets 412), and its events go to nobody until a new SUBSCRIBE.
    void forgetPlayer(int player);
    // A player switched off sends nothing; its subscriptions' time runs on.
    void setSilent(int player, bool silent);
    bool isSilent(int player) const;

    int subscriptionCount() const;
    // NOTIFYs sent and the status each got, for tests: 0 for no answer.
    QList<std::pair<QString, int>> deliveries() const;

private:
    struct Subscription {
        int player = 0;
        QString address;
        QString path;
        QByteArray callbackHost;
        quint16 callbackPort = 0;
        QByteArray callbackPath;
        Clock::time_point expiry;
        quint32 nextSequence = 0;
    };
    struct Pending {
        QString sid;
        QString source;
        QByteArray host;
        quint16 port = 0;
        QByteArray path;
        quint32 sequence = 0;
        QByteArray body;
    };

    void enqueueLocked(const QString &sid, Subscription &subscription, const QByteArray &body);
    void run();
    int send(const Pending &pending) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    QHash<QString, Subscription> m_subscriptions;
    std::deque<Pending> m_queue;
    std::multimap<Clock::time_point, std::function<void()>> m_scheduled;
    QList<std::pair<QString, int>> m_deliveries;
    quint64 m_nextId = 1;
    bool m_stopping = false;
    std::atomic<bool> m_drop{false};
    std::atomic<bool> m_refuseRenewals{false};
    QString m_refusedPath;
    QSet<int> m_silent;
    std::function<void()> m_tick;
    std::thread m_thread;
};

} // namespace playersim
