// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/LiveUpdates.h"

#include "Quillo/app/Logging.h"
#include "Quillo/app/ResumeWatch.h"
#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/NowPlaying.h"
#include "Quillo/store/Rooms.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/BoundedRead.h"
#include "SonosKit/GroupController.h"
#include "SonosKit/events/EventListener.h"
#include "SonosKit/events/EventSubscription.h"
#include "SonosKit/events/NetworkChanges.h"

#include <QNetworkAccessManager>

using SonosKit::EventService;
using SonosKit::GroupEvents;
using SonosKit::ZoneGroup;

namespace {

// Of the group's own subscriptions: a room's sound page followed beside the
// group, or the Queue, has no say in how the group is kept current.
bool anyIn(const QList<GroupEvents::Subscribed> &subscriptions, std::initializer_list<GroupEvents::State> states)
{
    return std::any_of(subscriptions.cbegin(), subscriptions.cend(), [states](const GroupEvents::Subscribed &s) {
        return !s.besideGroup && std::find(states.begin(), states.end(), s.state) != states.end();
    });
}

bool hasTrouble(const GroupEvents *events)
{
    return events && anyIn(events->subscriptions(), {GroupEvents::State::blocked, GroupEvents::State::failed});
}

} // namespace

LiveUpdates::LiveUpdates(StoreContext &context, Household &household, NowPlaying &nowPlaying, Rooms &rooms, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
    , m_nowPlaying(nowPlaying)
    , m_rooms(rooms)
    , m_firewallCheck(context, ConnectionCheck::Question::firewall)
{
    // Each time the events stop getting through, the firewall is looked at
    // afresh: the user may have changed it since.
    connect(this, &LiveUpdates::eventsBlockedChanged, this, [this] {
        if (m_blocked)
            StoreContext::start(examineFirewall());
        else
            m_firewallCheck.setDiagnosis(std::nullopt);
    });
    m_readOnce.setSingleShot(true);
    m_readOnce.setInterval(0);
    connect(&m_readOnce, &QTimer::timeout, this, [this] { StoreContext::start(readOnceTask()); });
    connect(&m_nowPlaying, &NowPlaying::isPlayingChanged, this, &LiveUpdates::updateProofInterval);
    if (m_context.settings().events)
        start();
}

void LiveUpdates::updateProofInterval()
{
    if (!m_groupEvents)
        return;
    const StoreSettings &settings = m_context.settings();
    const bool playing = m_nowPlaying.isPlaying();
    m_groupEvents->setProofInterval(playing ? settings.proofWhilePlaying : settings.proofWhileIdle);
    m_groupEvents->setOtherProofEvery(playing ? settings.otherProofEveryWhilePlaying : settings.otherProofEveryWhileIdle);
}

void LiveUpdates::readOnce()
{
    m_readOnce.start();
}

StoreTask<void> LiveUpdates::readOnceTask()
{
    if (std::exchange(m_householdStale, false))
        StoreContext::start(m_household.refresh());
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (std::exchange(m_coordinatorFailed, false) && group) {
        // Neither a subscription nor a read answered: the coordinator is
        // gone (switched off), and its group must not go on showing as
        // playing while the household is searched (already under way).
        const auto state = co_await m_context.attempt(SonosKit::GroupController(*group).state(m_context.token()));
        if (!state) {
            m_nowPlaying.forget();
            co_return;
        }
    }
    co_await m_context.guarded(m_nowPlaying.refresh());
    Q_EMIT transportStale();
    Q_EMIT queueStale();
    // Not the alarms: this runs again at each proof that finds the way still
    // shut, and they are never read on a timer; the panel's opening reads
    // them while the events do not flow.
}

void LiveUpdates::alarmsTroubled()
{
    if (std::exchange(m_alarmsStaleSaid, true))
        return;
    Q_EMIT alarmsStale();
}

LiveUpdates::~LiveUpdates()
{
    // Without shutdown() the players are left to let the subscriptions
    // expire; nothing the subscriptions say while they go reaches this
    // object, which is half gone by then.
    if (m_groupEvents)
        m_groupEvents->disconnect(this);
}

void LiveUpdates::start()
{
    connect(&m_household, &Household::selectedGroupChanged, this, &LiveUpdates::follow);
    // Coarse: a retry ten minutes from now may as well come a little later.
    m_retry.setTimerType(Qt::VeryCoarseTimer);
    m_retry.setInterval(m_context.settings().eventRetryInterval);
    connect(&m_retry, &QTimer::timeout, this, [this] { StoreContext::start(retryTask()); });
    m_retry.start();

    if (m_context.settings().followNetworkChanges) {
        // A new address or route may leave the players sending to an
        // address this computer no longer has.
        m_networkChanges = std::make_unique<SonosKit::NetworkChanges>();
        if (!m_networkChanges->hearsKernel())
            qCInfo(lcEvents) << "The kernel's address and route changes are not heard here.";
        connect(m_networkChanges.get(), &SonosKit::NetworkChanges::changed, this, &LiveUpdates::checkPath);
        // The players dropped the subscriptions while this computer slept.
        m_resumeWatch = std::make_unique<ResumeWatch>();
        connect(m_resumeWatch.get(), &ResumeWatch::resumed, this, [this] {
            qCInfo(lcEvents) << "Awake again: subscribing afresh.";
            StoreContext::start(resubscribeTask());
        });
    }
}

bool LiveUpdates::ensureListener(const ZoneGroup &group)
{
    if (!m_listener)
        m_listener = std::make_unique<SonosKit::EventListener>();
    listenToward(group);
    if (!m_listener->isListening())
        return false;
    if (m_groupEvents)
        return true;
    m_groupEvents = std::make_unique<GroupEvents>(m_listener.get());
    m_groupEvents->setFollowsLibrary(true);
    m_groupEvents->setAlsoRenderingOf(m_alsoRendering);
    connect(m_groupEvents.get(), &GroupEvents::eventReceived, this, &LiveUpdates::dispatch);
    updateProofInterval();
    // Events found missing: what changed meanwhile is read once, and again
    // at each proof that finds the way still shut (the polls stand in only
    // while the group plays).
    connect(m_groupEvents.get(), &GroupEvents::blocked, this, [this](const QString &, EventService service) {
        // The Queue's trouble costs a read of the queue, the AlarmClock's one
        // of the alarms, nothing else: the group's own subscriptions say how
        // it is kept current.
        if (service == EventService::queue) {
            Q_EMIT queueStale();
            return;
        }
        if (service == EventService::alarmClock) {
            alarmsTroubled();
            return;
        }
        readOnce();
        updateState();
    });
    connect(m_groupEvents.get(), &GroupEvents::lost, this, [this](const QString &, EventService service) { lost(service); });
    // A renewal is the moment to see whether this computer still has the
    // address the player sends to.
    connect(m_groupEvents.get(), &GroupEvents::renewed, this, &LiveUpdates::checkPath);
    connect(m_groupEvents.get(), &GroupEvents::failed, this, [this](const QString &playerHost, EventService service) {
        if (service == EventService::queue) {
            Q_EMIT queueStale();
            return;
        }
        if (service == EventService::alarmClock) {
            alarmsTroubled();
            return;
        }
        const std::optional<ZoneGroup> &group = m_household.selectedGroup();
        if (group && group->coordinator.host == playerHost)
            m_coordinatorFailed = true;
        // As after a failed read: the players may have moved or gone. Several
        // subscriptions failing at once share one search of the household
        // and one read.
        m_householdStale = true;
        readOnce();
        updateState();
    });
    return true;
}

void LiveUpdates::listenToward(const ZoneGroup &group)
{
    // The listener takes the addresses the players reach this machine at,
    // one for each network they are on, not every address it has: nothing
    // else on the way can reach it.
    QList<QHostAddress> wanted;
    if (m_context.settings().eventAddress) {
        wanted.append(*m_context.settings().eventAddress);
    } else {
        QStringList hosts{group.coordinator.host};
        for (const SonosKit::SonosDevice &member : group.members)
            hosts.append(member.host);
        for (const QString &host : std::as_const(hosts)) {
            const QHostAddress local = SonosKit::EventSubscription::localAddressToward(host);
            if (!wanted.contains(local))
                wanted.append(local);
        }
    }
    for (const QHostAddress &address : std::as_const(wanted)) {
        if (address.isNull() || m_listener->isListeningOn(address))
            continue;
        try {
            m_listener->listen(address);
        } catch (const std::exception &error) {
            // No free port in the range: the polls carry on alone.
            qCWarning(lcEvents) << "No listener for the players' events:" << error.what();
        }
    }
}

void LiveUpdates::checkPath()
{
    if (m_shutDown)
        return;
    // Nothing could listen before (no route to the players): perhaps now.
    if (!m_groupEvents) {
        follow();
        return;
    }
    if (!m_context.settings().eventAddress) {
        const QMap<QString, QHostAddress> named = m_groupEvents->callbackAddresses();
        for (auto it = named.cbegin(); it != named.cend(); ++it) {
            const QHostAddress now = SonosKit::EventSubscription::localAddressToward(it.key());
            // No way to the player at all: the change that brings one back
            // comes with a notification of its own.
            if (!now.isNull() && now != it.value()) {
                qCInfo(lcEvents).noquote() << QStringLiteral("%1 now reaches this computer at %2, not %3: subscribing afresh.")
                                                  .arg(it.key(), now.toString(), it.value().toString());
                StoreContext::start(resubscribeTask());
                return;
            }
        }
    }
    // The same addresses, yet the network changed: what could not get
    // through may now.
    StoreContext::start(retryTask());
}

void LiveUpdates::follow()
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (m_shutDown)
        return;
    if (!group) {
        // Its group is gone from the list: its subscriptions end with it.
        if (m_groupEvents)
            StoreContext::start(followTask(ZoneGroup{}));
        return;
    }
    // Runs until its first wait, by which the new subscriptions are made.
    StoreContext::start(followTask(*group));
    updateState();
}

StoreTask<void> LiveUpdates::followTask(ZoneGroup group)
{
    if (!ensureListener(group)) {
        updateState();
        co_return;
    }
    // A change of group is also the moment to try again what was blocked
    // or failed before it; what fails now is tried at the next one.
    const bool hadTrouble = hasTrouble(m_groupEvents.get());
    co_await m_context.guarded(m_groupEvents->follow(std::move(group)));
    // Started over meanwhile (the network changed): that follow governs.
    if (hadTrouble && m_groupEvents)
        co_await m_context.guarded(m_groupEvents->retry());
    updateState();
}

StoreTask<void> LiveUpdates::retryTask()
{
    if (!hasTrouble(m_groupEvents.get()))
        co_return;
    co_await m_context.guarded(m_groupEvents->retry());
    updateState();
}

StoreTask<void> LiveUpdates::resubscribeTask()
{
    if (!m_groupEvents || m_shutDown)
        co_return;
    if (m_resubscribing) {
        m_resubscribeAgain = true;
        co_return;
    }
    m_resubscribing = true;
    do {
        m_resubscribeAgain = false;
        // Connections kept open to the players may leave from an address
        // this computer no longer has, or have died in its sleep: a request
        // sent on one would wait out its whole deadline.
        SonosKit::BoundedRead::session()->clearConnectionCache();
        // Back from a suspend or on another network the players have dropped
        // the subscriptions, or this machine has another address: start over.
        co_await m_context.guarded(m_groupEvents->stop());
        if (m_shutDown || !m_groupEvents)
            break;
        if (!m_context.settings().eventAddress) {
            m_groupEvents.reset();
            m_listener.reset();
        }
        // Subscribes before its first wait.
        follow();
    } while (m_resubscribeAgain && m_groupEvents);
    m_resubscribing = false;
    if (m_shutDown)
        co_return;
    // What changed while the events could not get through is read once; the
    // fresh subscriptions' first events tell the rest.
    StoreContext::start(m_household.refresh());
    StoreContext::start(m_nowPlaying.refresh());
    Q_EMIT transportStale();
    Q_EMIT queueStale();
    m_alarmsStaleSaid = true;
    Q_EMIT alarmsStale();
}

void LiveUpdates::alsoFollowRenderingOf(const QString &playerHost)
{
    if (playerHost == m_alsoRendering)
        return;
    m_alsoRendering = playerHost;
    if (!m_groupEvents)
        return;
    m_groupEvents->setAlsoRenderingOf(playerHost);
    follow();
}

void LiveUpdates::dispatch(EventService, const QString &playerHost, const SonosKit::ServiceEvent &event)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (const auto *rendering = std::get_if<SonosKit::RenderingEvent>(&event))
        Q_EMIT renderingEvent(playerHost, *rendering);
    if (const auto *topology = std::get_if<SonosKit::TopologyEvent>(&event)) {
        m_household.apply(*topology);
    } else if (const auto *content = std::get_if<SonosKit::ContentDirectoryEvent>(&event)) {
        Q_EMIT libraryEvent(*content);
    } else if (const auto *queue = std::get_if<SonosKit::QueueEvent>(&event)) {
        if (queue->updateID && group && group->coordinator.host == playerHost)
            Q_EMIT queueEvent(playerHost, *queue->updateID);
    } else if (const auto *alarms = std::get_if<SonosKit::AlarmEvent>(&event)) {
        // The list is the household's: whichever player tells it.
        m_alarmsStaleSaid = false;
        if (alarms->alarmListVersion)
            Q_EMIT alarmListVersion(*alarms->alarmListVersion);
    } else if (group && group->hasMemberAt(playerHost)) {
        // The rooms first: the group's volume is their average.
        if (const auto *rendering = std::get_if<SonosKit::RenderingEvent>(&event))
            m_rooms.apply(playerHost, *rendering);
        m_nowPlaying.apply(playerHost, event);
        if (const auto *transport = std::get_if<SonosKit::TransportEvent>(&event);
            transport && group->coordinator.host == playerHost) {
            Q_EMIT transportEvent(playerHost, *transport);
            if (transport->queueUpdateID)
                Q_EMIT queueEvent(playerHost, *transport->queueUpdateID);
        }
    }
    updateState();
}

void LiveUpdates::lost(EventService service)
{
    if (service == EventService::alarmClock) {
        // A gap after the events flowed: read once more, whatever was asked
        // before.
        m_alarmsStaleSaid = true;
        Q_EMIT alarmsStale();
        return;
    }
    if (service == EventService::zoneGroupTopology)
        StoreContext::start(m_household.refresh());
    else if (service == EventService::contentDirectory)
        Q_EMIT libraryEventsMissed();
    else if (service == EventService::queue)
        Q_EMIT queueStale();
    else
        StoreContext::start(m_nowPlaying.refresh());
    if (service == EventService::avTransport)
        Q_EMIT transportStale();
}

void LiveUpdates::updateState()
{
    const QList<GroupEvents::Subscribed> subscriptions = m_groupEvents ? m_groupEvents->subscriptions()
                                                                       : QList<GroupEvents::Subscribed>();
    const bool blocked = anyIn(subscriptions, {GroupEvents::State::blocked});
    const bool receiving = anyIn(subscriptions, {GroupEvents::State::receiving});
    const bool allReceiving = !subscriptions.isEmpty()
        && !anyIn(subscriptions,
            {GroupEvents::State::starting, GroupEvents::State::waiting, GroupEvents::State::blocked, GroupEvents::State::failed});
    // Blocked until events are heard again: a retry in flight proves nothing.
    // Events heard prove the way open: a subscription whose first event was
    // lost while it was still shut is tried again without the footer saying
    // "blocked" once more; the polls stand in for it meanwhile.
    assignNotifying(this, m_blocked, (blocked || m_blocked) && !receiving, &LiveUpdates::eventsBlockedChanged);
    assignNotifying(this, m_flowing, allReceiving, &LiveUpdates::flowingChanged);
}

StoreTask<void> LiveUpdates::examineFirewall()
{
    // The players answered and took the subscriptions, so the network is
    // not in question: only this computer's checks run, nothing is searched.
    SonosKit::ConnectionDoctor::Options options;
    options.search = false;
    const QString listener = m_listener ? QStringLiteral("%1:%2").arg(m_listener->address().toString()).arg(m_listener->port())
                                        : QString();
    // Events heard meanwhile: nothing left to explain.
    co_await m_context.guarded(m_firewallCheck.examine(
        std::move(options), [this] { return m_blocked; }, listener));
}

QCoro::Task<void> LiveUpdates::shutdown()
{
    return shutdownTask();
}

StoreTask<void> LiveUpdates::shutdownTask()
{
    m_shutDown = true;
    m_retry.stop();
    m_networkChanges.reset();
    m_resumeWatch.reset();
    if (!m_groupEvents)
        co_return;
    m_groupEvents->disconnect(this);
    // GroupEvents::stop() returns within its own bound, whatever the players do.
    co_await m_context.guarded(m_groupEvents->stop());
    m_groupEvents.reset();
    m_listener.reset();
}
