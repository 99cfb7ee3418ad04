// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/SonosError.h"
#include "SonosKit/events/EventService.h"
#include "SonosKit/events/ServiceEvent.h"

#include <QCoroTask>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

namespace SonosKit {

class EventListener;
class EventSubscription;

// Proves, at a bounded interval, that players' events still reach this
// machine: a player answers every new subscription with an event carrying
// its full state, so a fresh, short-lived subscription whose first event
// comes proves the whole way, and one whose first event does not come shows
// it shut, even when nothing changes. Each proof is one SUBSCRIBE: its grant
// is short enough to lapse by itself, with no UNSUBSCRIBE.
//
// The first target (a group's coordinator) is proven every interval(); every
// othersEvery()-th interval one more proof, halfway between two of the
// first's, goes to the next of the other targets in turn (to the first when
// there is none), so that the others are proven too without the first being
// proven less often. Main-thread only.
class PathProof : public QObject
{
    Q_OBJECT
public:
    // A player and the service its proofs subscribe to: a cheap one, whose
    // full state also checks what that player's held subscriptions told.
    struct Target {
        QString playerHost;
        EventService service = EventService::avTransport;
        friend bool operator==(const Target &, const Target &) = default;
    };
    // Long enough for the first event to come, short enough to lapse soon.
    static constexpr std::chrono::seconds requestedGrant{30};

    // `listener` must listen already and outlive this object.
    explicit PathProof(EventListener *listener, QObject *parent = nullptr);
    ~PathProof() override;

    // The players proved, the first most often; empty: none. A new first
    // target starts over; a proof under way of a target no longer listed is
    // dropped.
    void setTargets(const QList<Target> &targets);
    QList<Target> targets() const { return m_targets; }
    // Between the end of one proof of the first target and the start of the
    // next. A shorter interval than the time left takes effect at once.
    void setInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds interval() const { return m_interval; }
    // Every so many intervals one proof of another target; 0: none.
    void setOthersEvery(int intervals);
    int othersEvery() const { return m_othersEvery; }

Q_SIGNALS:
    // The first event came: the way is open; `event` is the full state.
    void proven(const QString &playerHost, SonosKit::EventService service, const SonosKit::ServiceEvent &event);
    // The player took the subscription, yet its first event did not come
    // within EventSubscription::firstEventLimit: the way is shut.
    void shut(const QString &playerHost);
    // The player refused the subscription or did not answer: it is gone.
    void unanswered(const QString &playerHost, const SonosKit::SonosError &error);

private:
    QCoro::Task<void> prove();
    // Ends the proof under way quietly, if any.
    void drop();
    // The proof under way ended: the next is planned.
    void finish();
    // The first target was proven (or the proofs start over): the next
    // proof of it is an interval away, another's perhaps halfway there.
    void planCycle();
    void schedule();

    QPointer<EventListener> m_listener;
    QList<Target> m_targets;
    std::chrono::milliseconds m_interval{std::chrono::minutes(5)};
    int m_othersEvery = 0;
    // Intervals since the last proof of another target.
    int m_cycles = 0;
    // Which of the others comes next (an index past the first target).
    qsizetype m_nextOther = 0;
    QDeadlineTimer m_firstDue{QDeadlineTimer::Forever};
    std::optional<QDeadlineTimer> m_otherDue;
    QTimer m_next;
    QPointer<EventSubscription> m_current;
    // Whether the proof under way is the first target's regular one.
    bool m_currentIsFirst = false;
    QString m_currentHost;
};

} // namespace SonosKit
