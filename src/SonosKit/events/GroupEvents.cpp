// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

#include "SonosKit/events/GroupEvents.h"

#include "SonosKit/events/EventListener.h"
#include "SonosKit/events/EventSubscription.h"
#include "SonosKit/events/PathProof.h"

#include <vector>

namespace SonosKit {

namespace {

void merge(TransportEvent &held, const TransportEvent &event)
{
    const auto take = [](auto &into, const auto &from) {
        if (from)
            into = from;
    };
    take(held.transportState, event.transportState);
    take(held.track, event.track);
    take(held.durationSeconds, event.durationSeconds);
    take(held.trackNumber, event.trackNumber);
    take(held.trackURI, event.trackURI);
    take(held.transportURI, event.transportURI);
    take(held.sleepTimerGeneration, event.sleepTimerGeneration);
    take(held.queueUpdateID, event.queueUpdateID);
}

// Whether a full state agrees with what was heard: what plays and where, and
// the sleep timer's generation and the queue's version once both tell one (a
// timer set or a queue edited elsewhere while events were lost shows then).
// Metadata may change with the stream and duration with the track; those come
// with a change of the others.
bool agrees(const TransportEvent &heard, const TransportEvent &full)
{
    const auto same = [](const std::optional<quint32> &a, const std::optional<quint32> &b) { return !a || !b || a == b; };
    return heard.transportState == full.transportState && heard.trackNumber == full.trackNumber && heard.trackURI == full.trackURI
        && heard.transportURI == full.transportURI && same(heard.sleepTimerGeneration, full.sleepTimerGeneration)
        && same(heard.queueUpdateID, full.queueUpdateID);
}

void merge(RenderingEvent &held, const RenderingEvent &event)
{
    if (event.volume)
        held.volume = event.volume;
    if (event.muted)
        held.muted = event.muted;
}

// A member's volume and mute: what a RenderingControl subscription is held
// for, and all a restart could make it miss.
bool agrees(const RenderingEvent &heard, const RenderingEvent &full)
{
    return (!full.volume || heard.volume == full.volume) && (!full.muted || heard.muted == full.muted);
}

template<typename Event>
bool missedIn(QHash<QString, Event> &heardByHost, const QString &playerHost, const ServiceEvent &full)
{
    const auto *event = std::get_if<Event>(&full);
    const auto heard = heardByHost.find(playerHost);
    if (!event || heard == heardByHost.end() || agrees(*heard, *event))
        return false;
    merge(*heard, *event);
    return true;
}

} // namespace

GroupEvents::GroupEvents(EventListener *listener, QObject *parent)
    : QObject(parent)
    , m_listener(listener)
    , m_proof(new PathProof(listener, this))
{
    connect(m_proof, &PathProof::proven, this, &GroupEvents::proofCame);
    connect(m_proof, &PathProof::shut, this, &GroupEvents::proofShut);
    connect(m_proof, &PathProof::unanswered, this, &GroupEvents::proofUnanswered);
}

void GroupEvents::setProofInterval(std::chrono::milliseconds interval)
{
    m_proof->setInterval(interval);
}

std::chrono::milliseconds GroupEvents::proofInterval() const
{
    return m_proof->interval();
}

void GroupEvents::setOtherProofEvery(int intervals)
{
    m_proof->setOthersEvery(intervals);
}

bool GroupEvents::missed(const QString &playerHost, const ServiceEvent &full)
{
    return missedIn(m_transportHeard, playerHost, full) || missedIn(m_renderingHeard, playerHost, full);
}

void GroupEvents::hear(const QString &playerHost, const ServiceEvent &event)
{
    if (const auto *transport = std::get_if<TransportEvent>(&event))
        merge(m_transportHeard[playerHost], *transport);
    else if (const auto *rendering = std::get_if<RenderingEvent>(&event))
        merge(m_renderingHeard[playerHost], *rendering);
}

void GroupEvents::proofCame(const QString &playerHost, EventService service, const ServiceEvent &event)
{
    Q_EMIT proofMade(playerHost, true);
    bool troubled = false;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        troubled = troubled || (!isAddOn(it.key()) && (it->state == State::blocked || it->state == State::failed));
    if (troubled) {
        // The way is open again: the events can take over from the polls.
        retry();
        return;
    }
    if (!missed(playerHost, event))
        return;
    // The held subscriptions missed a change: the player restarted and
    // forgot them (all of them, the topology's and the library's too), or
    // lost their events. What the proof saw is shown now, and each is
    // renewed: 412 makes it afresh, with a full read.
    Q_EMIT eventReceived(service, playerHost, event);
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it.key().first == playerHost && it->subscription && it->state == State::receiving)
            it->subscription->renewNow();
    }
}

void GroupEvents::proofShut(const QString &playerHost)
{
    Q_EMIT proofMade(playerHost, false);
    // Events that flowed have stopped: whatever was receiving hears nothing
    // now, anywhere in the group (the way back is this machine's).
    std::optional<Key> anyBlocked;
    QList<Key> nowBlocked;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->state == State::receiving) {
            it->state = State::blocked;
            // An add-on's events are read again with the group's.
            if (!isAddOn(it.key()))
                nowBlocked.append(it.key());
        }
        if (it->state == State::blocked && !anyBlocked && !isAddOn(it.key()))
            anyBlocked = it.key();
    }
    // Still shut: said again, so that the owner reads once more.
    if (nowBlocked.isEmpty() && anyBlocked)
        nowBlocked.append(*anyBlocked);
    for (const Key &key : nowBlocked)
        Q_EMIT blocked(key.first, key.second);
}

void GroupEvents::proofUnanswered(const QString &playerHost, const SonosError &error)
{
    Q_EMIT proofMade(playerHost, false);
    QList<Key> nowFailed;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it.key().first == playerHost && it->state != State::failed && it->state != State::starting) {
            it->state = State::failed;
            nowFailed.append(it.key());
        }
    }
    for (const Key &key : nowFailed)
        Q_EMIT failed(key.first, key.second, error);
}

// The subscriptions are children and go with this object; a SUBSCRIBE still
// in flight finds its subscription gone and ends quietly.
GroupEvents::~GroupEvents() = default;

QList<GroupEvents::Key> GroupEvents::wantedFor(const ZoneGroup &group, const QString &topologyHost) const
{
    if (group.coordinator.host.isEmpty())
        return {};
    QList<Key> keys{{group.coordinator.host, EventService::avTransport},
        {group.coordinator.host, EventService::groupRenderingControl}, {group.coordinator.host, EventService::queue},
        {group.coordinator.host, EventService::alarmClock}, {topologyHost, EventService::zoneGroupTopology}};
    if (m_followsLibrary)
        keys.append({topologyHost, EventService::contentDirectory});
    for (const SonosDevice &member : group.members) {
        if (!member.host.isEmpty())
            keys.append({member.host, EventService::renderingControl});
    }
    if (!m_alsoRendering.isEmpty() && !group.hasMemberAt(m_alsoRendering))
        keys.append({m_alsoRendering, EventService::renderingControl});
    return keys;
}

bool GroupEvents::isBesideGroup(const Key &key) const
{
    return key.second == EventService::renderingControl && key.first == m_alsoRendering && !m_group.hasMemberAt(key.first);
}

bool GroupEvents::isCurrent(const Key &key, const EventSubscription *subscription) const
{
    const auto found = m_entries.constFind(key);
    return found != m_entries.cend() && found->subscription == subscription;
}

void GroupEvents::setState(const Key &key, const EventSubscription *subscription, State state)
{
    const auto found = m_entries.find(key);
    if (found != m_entries.end() && found->subscription == subscription)
        found->state = state;
}

EventSubscription *GroupEvents::create(const Key &key)
{
    auto *subscription = new EventSubscription(m_listener, key.first, key.second, EventSubscription::defaultDuration, this);
    // Each handler checks that the subscription is still the one held for
    // its key: a replaced one may yet deliver while it is being unsubscribed.
    connect(subscription, &EventSubscription::eventReceived, this, [this, key, subscription](const ServiceEvent &event, quint32) {
        if (!isCurrent(key, subscription))
            return;
        setState(key, subscription, State::receiving);
        hear(key.first, event);
        Q_EMIT eventReceived(key.second, key.first, event);
    });
    connect(subscription, &EventSubscription::eventsBlocked, this, [this, key, subscription] {
        if (!isCurrent(key, subscription))
            return;
        setState(key, subscription, State::blocked);
        if (!isBesideGroup(key))
            Q_EMIT blocked(key.first, key.second);
    });
    connect(subscription, &EventSubscription::eventsLost, this, [this, key, subscription] {
        if (isCurrent(key, subscription) && !isBesideGroup(key))
            Q_EMIT lost(key.first, key.second);
    });
    connect(subscription, &EventSubscription::renewed, this, [this, key, subscription] {
        if (isCurrent(key, subscription))
            Q_EMIT renewed(key.first, key.second);
    });
    connect(subscription, &EventSubscription::failed, this, [this, key, subscription](const SonosError &error) {
        if (!isCurrent(key, subscription))
            return;
        setState(key, subscription, State::failed);
        if (!isBesideGroup(key))
            Q_EMIT failed(key.first, key.second, error);
    });
    return subscription;
}

QCoro::Task<void> GroupEvents::startEntry(Key key, QPointer<EventSubscription> subscription)
{
    QPointer<GroupEvents> self(this);
    std::optional<SonosError> error;
    try {
        co_await subscription->start(m_cancel);
    } catch (const SonosError &e) {
        error = e;
    } catch (...) {
        // start() throws nothing else; should it ever, the caller of follow()
        // still must not see it.
        error = SonosError::malformedResponse(QStringLiteral("the subscription could not be made"));
    }
    if (!self || !subscription)
        co_return;
    if (!isCurrent(key, subscription)) {
        // Given up by follow() or stop() while the answer was on its way.
        co_await retire(subscription);
        co_return;
    }
    if (error) {
        setState(key, subscription, State::failed);
        if (!isBesideGroup(key))
            Q_EMIT failed(key.first, key.second, *error);
        co_return;
    }
    // The first event may have come before the answer.
    if (m_entries.value(key).state == State::starting)
        setState(key, subscription, State::waiting);
}

QCoro::Task<void> GroupEvents::retire(QPointer<EventSubscription> subscription)
{
    if (!subscription)
        co_return;
    // Nothing more of it reaches the owner.
    subscription->disconnect(this);
    co_await subscription->stop();
    if (subscription)
        subscription->deleteLater();
}

QCoro::Task<void> GroupEvents::follow(ZoneGroup group)
{
    // Nothing can be subscribed without the listener (it went first).
    if (!m_listener)
        co_return;
    m_group = std::move(group);
    for (auto it = m_transportHeard.begin(); it != m_transportHeard.end();)
        it = it.key() == m_group.coordinator.host ? std::next(it) : m_transportHeard.erase(it);
    for (auto it = m_renderingHeard.begin(); it != m_renderingHeard.end();)
        it = m_group.hasMemberAt(it.key()) ? std::next(it) : m_renderingHeard.erase(it);
    // The topology stays where it is while that player is in the group and
    // healthy, so that a change of coordinator does not move it too.
    QString topologyHost = m_group.coordinator.host;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it.key().second != EventService::zoneGroupTopology || it->state == State::failed || it->state == State::blocked)
            continue;
        if (m_group.hasMemberAt(it.key().first))
            topologyHost = it.key().first;
    }
    const QList<Key> wanted = wantedFor(m_group, topologyHost);
    // Every player of the group a subscription is held at is proven: the
    // coordinator most often, the members (the topology's player among them)
    // in turn.
    QList<PathProof::Target> proven;
    if (!m_group.coordinator.host.isEmpty())
        proven.append({m_group.coordinator.host, EventService::avTransport});
    for (const Key &key : wanted) {
        if (key.second == EventService::renderingControl && key.first != m_group.coordinator.host && !isBesideGroup(key))
            proven.append({key.first, EventService::renderingControl});
    }
    m_proof->setTargets(proven);

    std::vector<QCoro::Task<void>> work;
    const QList<Key> held = m_entries.keys();
    for (const Key &key : held) {
        if (wanted.contains(key))
            continue;
        const Entry entry = m_entries.take(key);
        // One still starting is retired by its startEntry once answered.
        if (entry.state != State::starting)
            work.push_back(retire(entry.subscription));
    }
    for (const Key &key : wanted) {
        if (m_entries.contains(key))
            continue;
        EventSubscription *subscription = create(key);
        m_entries.insert(key, Entry{subscription, State::starting});
        work.push_back(startEntry(key, subscription));
    }
    // All of them run at once; waiting on each in turn costs the slowest.
    for (QCoro::Task<void> &task : work)
        co_await std::move(task);
}

QCoro::Task<void> GroupEvents::retry()
{
    std::vector<QCoro::Task<void>> work;
    const QList<Key> held = m_entries.keys();
    for (const Key &key : held) {
        const auto found = m_entries.find(key);
        if (found == m_entries.end() || (found->state != State::blocked && found->state != State::failed))
            continue;
        const QPointer<EventSubscription> old = found->subscription;
        EventSubscription *fresh = create(key);
        *found = Entry{fresh, State::starting};
        work.push_back(retire(old));
        work.push_back(startEntry(key, fresh));
    }
    for (QCoro::Task<void> &task : work)
        co_await std::move(task);
}

QCoro::Task<void> GroupEvents::stop()
{
    // Taken out first, so that the SUBSCRIBEs cancelled next find themselves
    // unwanted and end without a word.
    const QMap<Key, Entry> entries = std::exchange(m_entries, {});
    m_group = {};
    m_proof->setTargets({});
    m_transportHeard.clear();
    m_renderingHeard.clear();
    const CancellationToken inFlight = std::exchange(m_cancel, CancellationToken());
    inFlight.cancel();
    std::vector<QCoro::Task<void>> work;
    for (const Entry &entry : entries) {
        if (entry.state != State::starting)
            work.push_back(retire(entry.subscription));
    }
    // Each UNSUBSCRIBE gives up after EventSubscription::unsubscribeLimit,
    // and they run side by side.
    for (QCoro::Task<void> &task : work)
        co_await std::move(task);
}

QList<GroupEvents::Subscribed> GroupEvents::subscriptions() const
{
    QList<Subscribed> list;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        list.append({it.key().first, it.key().second, it->state, isAddOn(it.key())});
    return list;
}

QMap<QString, QHostAddress> GroupEvents::callbackAddresses() const
{
    QMap<QString, QHostAddress> addresses;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (it->subscription && !it->subscription->callbackAddress().isNull())
            addresses.insert(it.key().first, it->subscription->callbackAddress());
    }
    return addresses;
}

} // namespace SonosKit
