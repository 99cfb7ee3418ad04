// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/ConnectionCheck.h"
#include "Quillo/store/StoreTask.h"

#include "SonosKit/ZoneGroup.h"
#include "SonosKit/events/EventService.h"
#include "SonosKit/events/GroupEvents.h"
#include "SonosKit/events/ServiceEvent.h"

#include <QCoroTask>
#include <QObject>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <memory>

class Household;
class NowPlaying;
class ResumeWatch;
class Rooms;
class StoreContext;
namespace SonosKit {
class EventListener;
class NetworkChanges;
} // namespace SonosKit

// The selected group followed through its players' own events, handed each
// to the part it changes; the polls stand in whenever the events cannot get
// through. Tells whether they keep the panel current, and while they are
// blocked, which firewall on this computer keeps them out.
class LiveUpdates : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its live updates.")
    // Every subscription of the selected group hears its player: no
    // playback reads are needed while the panel is closed.
    Q_PROPERTY(bool flowing READ isFlowing NOTIFY flowingChanged)
    // The players accepted the subscriptions, yet their events never
    // arrived: something on the way (a firewall, a VPN) keeps them out, and
    // polls stand in until a retry gets through.
    Q_PROPERTY(bool eventsBlocked READ eventsBlocked NOTIFY eventsBlockedChanged)
    // While they are blocked: the firewall on this computer and its rule.
    Q_PROPERTY(ConnectionCheck *firewallCheck READ firewallCheckObject CONSTANT)

public:
    LiveUpdates(StoreContext &context, Household &household, NowPlaying &nowPlaying, Rooms &rooms, QObject *parent = nullptr);
    ~LiveUpdates() override;

    // Unsubscribes within a bound, so a quitting program leaves the players
    // tidy; nothing is followed afterwards.
    QCoro::Task<void> shutdown();

    bool isFlowing() const { return m_flowing; }
    bool eventsBlocked() const { return m_blocked; }
    ConnectionCheck &firewallCheck() { return m_firewallCheck; }
    // Also follows the RenderingControl of the player at `playerHost` while
    // it plays outside the selected group (a room whose sound is shown);
    // empty ends that.
    void alsoFollowRenderingOf(const QString &playerHost);
    const ConnectionCheck &firewallCheck() const { return m_firewallCheck; }

Q_SIGNALS:
    void flowingChanged();
    void eventsBlockedChanged();
    // The household's content directory told its update ids.
    void libraryEvent(const SonosKit::ContentDirectoryEvent &event);
    // Some of those events were missed: the lists may have changed.
    void libraryEventsMissed();
    // An AVTransport event of the selected group's coordinator, after what
    // plays took it in: for the models that keep more of the transport.
    void transportEvent(const QString &coordinatorHost, const SonosKit::TransportEvent &event);
    // The coordinator's transport events were missed, or came through no
    // subscription for a while: what they keep is read once.
    void transportStale();
    // A RenderingControl event of any player followed.
    void renderingEvent(const QString &playerHost, const SonosKit::RenderingEvent &event);
    // The selected group's queue is now at version `updateID`, as its
    // coordinator's Queue or AVTransport events tell (both may tell the
    // same version): a list read at another version is read again.
    void queueEvent(const QString &coordinatorHost, quint32 updateID);
    // The queue's events were missed or cannot come: read it once.
    void queueStale();
    // The household's alarms are now at `version`, as the coordinator's
    // AlarmClock events tell: a list read at another version is read again.
    void alarmListVersion(const QString &version);
    // The alarms' events were missed or cannot come: read the list once.
    void alarmsStale();

private:
    StoreTask<void> shutdownTask();
    void start();
    void follow();
    StoreTask<void> followTask(SonosKit::ZoneGroup group);
    StoreTask<void> retryTask();
    StoreTask<void> resubscribeTask();
    bool ensureListener(const SonosKit::ZoneGroup &group);
    // Listens on the address toward each player of `group`.
    void listenToward(const SonosKit::ZoneGroup &group);
    // Whether each player still reaches this computer at the address its
    // subscriptions named; if not, subscribes afresh.
    void checkPath();
    void dispatch(SonosKit::EventService service, const QString &playerHost, const SonosKit::ServiceEvent &event);
    void lost(SonosKit::EventService service);
    void updateState();
    void updateProofInterval();
    void readOnce();
    StoreTask<void> readOnceTask();
    // alarmsStale, for trouble only once per spell of it: see m_alarmsStaleSaid.
    void alarmsTroubled();
    StoreTask<void> examineFirewall();
    ConnectionCheck *firewallCheckObject() { return &m_firewallCheck; }

    StoreContext &m_context;
    Household &m_household;
    NowPlaying &m_nowPlaying;
    Rooms &m_rooms;
    ConnectionCheck m_firewallCheck;
    bool m_flowing = false;
    bool m_blocked = false;
    bool m_shutDown = false;
    std::unique_ptr<SonosKit::EventListener> m_listener;
    std::unique_ptr<SonosKit::GroupEvents> m_groupEvents;
    QTimer m_retry;
    std::unique_ptr<SonosKit::NetworkChanges> m_networkChanges;
    std::unique_ptr<ResumeWatch> m_resumeWatch;
    // One resubscription at a time; a reason for another that comes
    // meanwhile runs it once more afterwards.
    bool m_resubscribing = false;
    bool m_resubscribeAgain = false;
    // Several subscriptions in trouble at once share one read.
    QTimer m_readOnce;
    bool m_coordinatorFailed = false;
    bool m_householdStale = false;
    // A read of the alarms was asked for since their events last came: the
    // retries of a blocked or refused AlarmClock subscription, every ten
    // minutes while a firewall stays shut, ask for none (never on a timer).
    bool m_alarmsStaleSaid = false;
    QString m_alsoRendering;
};
