// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/ZoneGroup.h"
#include "SonosKit/events/EventService.h"
#include "SonosKit/events/ServiceEvent.h"

#include <QCoroTask>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <utility>

namespace SonosKit {

class EventListener;
class EventSubscription;
class PathProof;

// The events a controller needs to show one group without polling:
// AVTransport, GroupRenderingControl, Queue and AlarmClock at the coordinator,
// RenderingControl at each member, ZoneGroupTopology at one player. follow() again after a
// topology change moves the subscriptions to the new arrangement, leaving
// alone those that are still needed. Trouble is reported per subscription and
// never thrown. While following, a PathProof proves at setProofInterval()
// that the events still get through: at the coordinator (its AVTransport)
// every interval, and at each other player subscriptions are held at (its
// RenderingControl) in turn, one every setOtherProofEvery() intervals. A
// shut way turns the receiving subscriptions blocked, a proof that gets
// through again retries them, a player that stops answering fails its
// subscriptions, and a proof whose full state disagrees with what the held
// subscription told renews that player's subscriptions at once (a restarted
// player answers 412, and they are made afresh). Main-thread only.
class GroupEvents : public QObject
{
    Q_OBJECT
public:
    // stop() returns within this, whatever the players do.
    static constexpr std::chrono::milliseconds stopLimit{1500};

    enum class State {
        starting, // SUBSCRIBE sent, not answered yet
        waiting, // granted, its first event not there yet
        receiving, // events arrive
        blocked, // granted, yet no first event came in time: see blocked()
        failed, // see failed()
    };
    struct Subscribed {
        QString playerHost;
        EventService service;
        State state;
        // Not one of the group's own, so no measure of how the group is kept
        // current: the extra RenderingControl of setAlsoRenderingOf() (its
        // trouble is not reported), and the Queue, an add-on whose versions
        // AVTransport tells too (its trouble says only: read the queue again),
        // and the AlarmClock, likewise (read the alarms again).
        bool besideGroup = false;
        friend bool operator==(const Subscribed &, const Subscribed &) = default;
    };

    // `listener` must listen already and outlive this object.
    explicit GroupEvents(EventListener *listener, QObject *parent = nullptr);
    // Unsubscribes nothing: call stop() first to leave the players tidy (they
    // drop forgotten subscriptions when these expire).
    ~GroupEvents() override;

    // Subscribes what `group` needs and unsubscribes what it no longer does.
    // Returns once every new SUBSCRIBE was answered or failed; never throws.
    QCoro::Task<void> follow(ZoneGroup group);
    // Subscribes afresh whatever is blocked or failed, for instance after the
    // user opened the firewall. Never throws.
    QCoro::Task<void> retry();
    // Unsubscribes everything within stopLimit. follow() may start over
    // afterwards. Never throws.
    QCoro::Task<void> stop();

    // Also ContentDirectory at the player that carries the topology: the
    // household's favorites and playlists, for a controller that shows them.
    // Takes effect at the next follow().
    void setFollowsLibrary(bool follows) { m_followsLibrary = follows; }
    // Also RenderingControl at one more player outside the group (a room
    // whose sound is shown); empty: none. Takes effect at the next follow().
    // Only its events count: it is not proven, and its trouble is neither
    // reported nor the group's (see Subscribed::besideGroup).
    void setAlsoRenderingOf(const QString &playerHost) { m_alsoRendering = playerHost; }
    // How often the way of the events is proven; the owner sets it from
    // what the group does (shorter while it plays).
    void setProofInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds proofInterval() const;
    // Every so many proof intervals, halfway between two proofs of the
    // coordinator, one more proves the next of the group's other players;
    // 0: only the coordinator is proven.
    void setOtherProofEvery(int intervals);

    ZoneGroup group() const { return m_group; }
    // Every subscription held, ordered by host and service.
    QList<Subscribed> subscriptions() const;
    // The address each player with a subscription was told to send its
    // events to; null while not known.
    QMap<QString, QHostAddress> callbackAddresses() const;

Q_SIGNALS:
    // An event of `service`, from the player at `playerHost` (the member a
    // RenderingControl event is about; the coordinator for the group's).
    void eventReceived(SonosKit::EventService service, const QString &playerHost, const SonosKit::ServiceEvent &event);
    // A subscription was granted yet its first event never came: something
    // (a firewall, a VPN, a container's bridge) keeps the players' events
    // from reaching this machine. retry() once that may have changed.
    void blocked(const QString &playerHost, SonosKit::EventService service);
    // Events of this subscription were missed: read that state in full once.
    void lost(const QString &playerHost, SonosKit::EventService service);
    // The player granted a renewal: it still knows the subscription.
    void renewed(const QString &playerHost, SonosKit::EventService service);
    // The player did not answer SUBSCRIBE (or refused it), or stopped
    // answering renewals: poll that state, or retry().
    void failed(const QString &playerHost, SonosKit::EventService service, const SonosKit::SonosError &error);
    // A proof of the way ended: the player's first event came (`open`), or
    // not (a shut way, or a player that did not answer).
    void proofMade(const QString &playerHost, bool open);

private:
    using Key = std::pair<QString, EventService>;
    struct Entry {
        QPointer<EventSubscription> subscription;
        State state = State::starting;
    };

    QList<Key> wantedFor(const ZoneGroup &group, const QString &topologyHost) const;
    bool isBesideGroup(const Key &key) const;
    // Beside the group, or the Queue: see Subscribed::besideGroup.
    bool isAddOn(const Key &key) const
    {
        return isBesideGroup(key) || key.second == EventService::queue || key.second == EventService::alarmClock;
    }
    EventSubscription *create(const Key &key);
    // Starts `subscription` and records how that went, unless it stopped
    // being wanted meanwhile: then it is unsubscribed and deleted.
    QCoro::Task<void> startEntry(Key key, QPointer<EventSubscription> subscription);
    QCoro::Task<void> retire(QPointer<EventSubscription> subscription);
    bool isCurrent(const Key &key, const EventSubscription *subscription) const;
    void proofCame(const QString &playerHost, EventService service, const ServiceEvent &event);
    // Whether `full`, a proof's full state, shows a change the held
    // subscriptions of `playerHost` did not tell; it is kept as heard then.
    bool missed(const QString &playerHost, const ServiceEvent &full);
    void hear(const QString &playerHost, const ServiceEvent &event);
    void proofShut(const QString &playerHost);
    void proofUnanswered(const QString &playerHost, const SonosError &error);
    void setState(const Key &key, const EventSubscription *subscription, State state);

    QPointer<EventListener> m_listener;
    ZoneGroup m_group;
    QMap<Key, Entry> m_entries;
    bool m_followsLibrary = false;
    QString m_alsoRendering;
    PathProof *m_proof;
    // Each coordinator's transport as its held subscription told it, to
    // check the proofs' full state against.
    QHash<QString, TransportEvent> m_transportHeard;
    // Each player's volume and mute as its held subscription told them.
    QHash<QString, RenderingEvent> m_renderingHeard;
    // Cancels the SUBSCRIBEs still in flight when stop() comes.
    CancellationToken m_cancel;
};

} // namespace SonosKit
