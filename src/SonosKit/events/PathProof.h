// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/SonosError.h"
#include "SonosKit/events/EventService.h"
#include "SonosKit/events/ServiceEvent.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>

namespace SonosKit {

class EventListener;
class EventSubscription;

// Proves, at a bounded interval, that a player's events still reach this
// machine: a player answers every new subscription with an event carrying
// its full state, so a fresh, short-lived subscription whose first event
// comes proves the whole way, and one whose first event does not come shows
// it shut, even when nothing changes. Each proof is one SUBSCRIBE: its grant
// is short enough to lapse by itself, with no UNSUBSCRIBE. Main-thread only.
class PathProof : public QObject
{
    Q_OBJECT
public:
    // Where the state that goes stale lives, so that the proof's first event
    // also checks what the held subscription told.
    static constexpr EventService service = EventService::avTransport;
    // Long enough for the first event to come, short enough to lapse soon.
    static constexpr std::chrono::seconds requestedGrant{30};

    // `listener` must listen already and outlive this object.
    explicit PathProof(EventListener *listener, QObject *parent = nullptr);
    ~PathProof() override;

    // The player proved; empty: none, and a proof under way is dropped.
    void setPlayerHost(const QString &playerHost);
    QString playerHost() const { return m_playerHost; }
    // Between the end of one proof and the start of the next. A shorter
    // interval than the time left takes effect at once.
    void setInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds interval() const { return m_interval; }

Q_SIGNALS:
    // The first event came: the way is open; `event` is the full state.
    void proven(const QString &playerHost, const SonosKit::ServiceEvent &event);
    // The player took the subscription, yet its first event did not come
    // within EventSubscription::firstEventLimit: the way is shut.
    void shut(const QString &playerHost);
    // The player refused the subscription or did not answer: it is gone.
    void unanswered(const QString &playerHost, const SonosKit::SonosError &error);

private:
    QCoro::Task<void> prove();
    void finish();

    QPointer<EventListener> m_listener;
    QString m_playerHost;
    std::chrono::milliseconds m_interval{std::chrono::minutes(5)};
    QTimer m_next;
    QPointer<EventSubscription> m_current;
};

} // namespace SonosKit
