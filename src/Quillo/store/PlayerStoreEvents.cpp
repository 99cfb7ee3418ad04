// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The selected group followed through its players' own events. They feed the
// same setters as the polls, so every observer follows them unchanged; the
// polls stand in whenever the events cannot get through.
#include "Quillo/store/Failure.h"
#include "Quillo/store/PlayerStore.h"

#include "SonosKit/EventListener.h"
#include "SonosKit/EventSubscription.h"
#include "SonosKit/GroupEvents.h"

#include <QEventLoop>
#include <QNetworkInformation>

using SonosKit::EventService;
using SonosKit::GroupEvents;
using SonosKit::PlaybackState;
using SonosKit::ZoneGroup;

namespace {

// Beyond GroupEvents' own bound: the last answers are read and the
// subscriptions retired before the store lets go of them.
constexpr std::chrono::milliseconds stopMargin{500};

QCoro::Task<void> unsubscribeAll(QPointer<GroupEvents> events, QPointer<QEventLoop> loop, std::shared_ptr<bool> finished)
{
    if (events)
        co_await events->stop();
    *finished = true;
    if (loop)
        loop->quit();
}

bool anyIn(const QList<GroupEvents::Subscribed> &subscriptions, std::initializer_list<GroupEvents::State> states)
{
    return std::any_of(subscriptions.cbegin(), subscriptions.cend(),
        [states](const GroupEvents::Subscribed &s) { return std::find(states.begin(), states.end(), s.state) != states.end(); });
}

} // namespace

void PlayerStore::startEvents()
{
    // Coarse: a retry ten minutes from now may as well come a little later.
    m_eventRetry.setTimerType(Qt::VeryCoarseTimer);
    m_eventRetry.setInterval(m_settings.eventRetryInterval);
    connect(&m_eventRetry, &QTimer::timeout, this, [this] { TaskGuard::start(retryEventsTask()); });
    m_eventRetry.start();

    if (m_settings.followNetworkChanges && QNetworkInformation::loadDefaultBackend()) {
        const auto reaches = [](QNetworkInformation::Reachability reachability) {
            return reachability == QNetworkInformation::Reachability::Online
                || reachability == QNetworkInformation::Reachability::Site;
        };
        // Only a way back counts: a network that merely stays up is no
        // reason to start over.
        connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
            [this, reaches, before = QNetworkInformation::instance()->reachability()](
                QNetworkInformation::Reachability reachability) mutable {
                if (reaches(reachability) && !reaches(before))
                    TaskGuard::start(resubscribeTask());
                before = reachability;
            });
    }
}

bool PlayerStore::ensureEventListener(const ZoneGroup &group)
{
    if (m_groupEvents)
        return true;
    // The listener takes the address the players reach this machine at, not
    // every address it has: nothing else on the way can reach it.
    const QHostAddress address = m_settings.eventAddress
        ? *m_settings.eventAddress
        : SonosKit::EventSubscription::localAddressToward(group.coordinator.host);
    if (address.isNull())
        return false;
    auto listener = std::make_unique<SonosKit::EventListener>();
    try {
        listener->listen(address);
    } catch (const std::exception &) {
        // No free port in the range: the polls carry on alone.
        return false;
    }
    m_eventListener = std::move(listener);
    m_groupEvents = std::make_unique<GroupEvents>(m_eventListener.get());
    connect(m_groupEvents.get(), &GroupEvents::eventReceived, this, &PlayerStore::applyEvent);
    connect(m_groupEvents.get(), &GroupEvents::blocked, this, &PlayerStore::eventsStateChanged);
    connect(
        m_groupEvents.get(), &GroupEvents::lost, this, [this](const QString &, EventService service) { eventsLost(service); });
    connect(m_groupEvents.get(), &GroupEvents::failed, this, [this] {
        // As after a failed read: the players may have moved or gone.
        TaskGuard::start(refreshTopology());
        eventsStateChanged();
    });
    return true;
}

void PlayerStore::followSelectedGroup()
{
    if (!m_settings.events)
        return;
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (!group)
        return;
    if (m_groupVolumeReporter != group->coordinator.host)
        m_groupVolumeReporter.reset();
    // A player left or joined: the average changes though no volume did.
    // Players that report the group's own volume say so themselves.
    if (const std::optional<int> volume = PlaybackEvents::groupVolume(*group, m_rooms.knownVolumes());
        volume && m_nowPlaying.playback() && !m_groupVolumeReporter) {
        PlaybackState next = *m_nowPlaying.playback();
        next.volume = *volume;
        ++m_eventMarks.volume;
        m_nowPlaying.setPlayback(std::move(next));
    }
    // Runs until its first wait, by which the new subscriptions are made.
    TaskGuard::start(followTask(*group));
    eventsStateChanged();
}

QCoro::Task<void> PlayerStore::followTask(ZoneGroup group)
{
    if (!ensureEventListener(group)) {
        eventsStateChanged();
        co_return;
    }
    // A change of group is also the moment to try again what was blocked
    // or failed before it; what fails now is tried at the next one.
    const bool hadTrouble = anyIn(m_groupEvents->subscriptions(), {GroupEvents::State::blocked, GroupEvents::State::failed});
    co_await guarded(m_groupEvents->follow(std::move(group)));
    // Started over meanwhile (the network changed): that follow governs.
    if (hadTrouble && m_groupEvents)
        co_await guarded(m_groupEvents->retry());
    eventsStateChanged();
}

QCoro::Task<void> PlayerStore::retryEventsTask()
{
    if (!m_groupEvents || !anyIn(m_groupEvents->subscriptions(), {GroupEvents::State::blocked, GroupEvents::State::failed}))
        co_return;
    co_await guarded(m_groupEvents->retry());
    eventsStateChanged();
}

QCoro::Task<void> PlayerStore::resubscribeTask()
{
    if (!m_groupEvents)
        co_return;
    // Back from a suspend or on another network the players have dropped
    // the subscriptions, or this machine has another address: start over.
    co_await guarded(m_groupEvents->stop());
    if (m_groupEvents && !m_settings.eventAddress) {
        m_groupEvents.reset();
        m_eventListener.reset();
    }
    followSelectedGroup();
}

void PlayerStore::applyEvent(EventService, const QString &playerHost, const SonosKit::ServiceEvent &event)
{
    if (const auto *topology = std::get_if<SonosKit::TopologyEvent>(&event)) {
        if (topology->groups)
            m_household.setGroups(*topology->groups);
        eventsStateChanged();
        return;
    }
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!group || !group->hasMemberAt(playerHost)) {
        eventsStateChanged();
        return;
    }
    const bool fromCoordinator = playerHost == group->coordinator.host;
    if (const auto *rendering = std::get_if<SonosKit::RenderingEvent>(&event)) {
        if (rendering->volume)
            m_rooms.setVolume(playerHost, *rendering->volume);
        if (rendering->muted)
            m_rooms.setMuted(playerHost, *rendering->muted);
    }

    // Nothing stored yet: a read is on its way and will hold this too.
    if (const std::optional<PlaybackState> &stored = m_nowPlaying.playback()) {
        PlaybackState next = *stored;
        if (const auto *transport = std::get_if<SonosKit::TransportEvent>(&event); transport && fromCoordinator) {
            bool trackChanged = false;
            next = PlaybackEvents::withTransport(std::move(next), *transport, trackChanged);
            ++m_eventMarks.transport;
            if (trackChanged)
                ++m_eventMarks.track;
        } else if (const auto *rendering = std::get_if<SonosKit::RenderingEvent>(&event)) {
            // Without the players' own figure the group's volume is its
            // members' average; its mute is the coordinator's, as the state
            // query reads them.
            if (rendering->volume && !m_groupVolumeReporter) {
                if (const std::optional<int> volume = PlaybackEvents::groupVolume(*group, m_rooms.knownVolumes())) {
                    next.volume = *volume;
                    ++m_eventMarks.volume;
                }
            }
            if (rendering->muted && fromCoordinator) {
                next.isMuted = *rendering->muted;
                ++m_eventMarks.mute;
            }
        } else if (const auto *groupRendering = std::get_if<SonosKit::GroupRenderingEvent>(&event)) {
            // The players' own figure governs from now on, as in the state
            // query: an average of the members may round differently, and
            // the two must not take turns.
            if (groupRendering->volume && fromCoordinator) {
                m_groupVolumeReporter = playerHost;
                next.volume = *groupRendering->volume;
                ++m_eventMarks.volume;
            }
        }
        m_nowPlaying.setPlayback(std::move(next));
    }
    eventsStateChanged();
}

void PlayerStore::eventsLost(EventService service)
{
    if (service == EventService::zoneGroupTopology)
        TaskGuard::start(refreshTopology());
    else
        TaskGuard::start(refreshPlayback());
}

void PlayerStore::eventsStateChanged()
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
    m_liveUpdates.setEventsBlocked((blocked || m_liveUpdates.eventsBlocked()) && !receiving);
    m_liveUpdates.setFlowing(allReceiving);
    updateClosedPoll();
}

QCoro::Task<void> PlayerStore::examineFirewall()
{
    FirewallCheck &check = m_liveUpdates.firewallCheck();
    if (!m_settings.examineConnection || check.isExamining())
        co_return;
    // The players answered and took the subscriptions, so the network is
    // not in question: only this computer's checks run, nothing is searched.
    SonosKit::ConnectionDoctor::Options options;
    options.search = false;
    check.setExamining(true);
    std::optional<SonosKit::Diagnosis> found;
    std::optional<Failure> failure;
    try {
        found = co_await guarded(m_settings.examineConnection(std::move(options)));
    } catch (const std::exception &error) {
        failure.emplace(error);
    }
    check.setExamining(false);
    if (failure) {
        report(*failure);
        co_return;
    }
    // Events heard meanwhile: nothing left to explain.
    if (!m_liveUpdates.eventsBlocked())
        co_return;
    const QString listener = m_eventListener
        ? QStringLiteral("%1:%2").arg(m_eventListener->address().toString()).arg(m_eventListener->port())
        : QString();
    check.setDiagnosis(std::move(found), listener);
}

void PlayerStore::stopEvents()
{
    m_eventRetry.stop();
    m_closedPoll.stop();
    if (!m_groupEvents)
        return;
    m_groupEvents->disconnect(this);
    // A quitting program leaves the players tidy, but never waits on them
    // longer than this. The store's tasks have ended already, so nothing
    // run meanwhile reaches it.
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto finished = std::make_shared<bool>(false);
    TaskGuard::start(unsubscribeAll(m_groupEvents.get(), &loop, finished));
    if (!*finished) {
        bound.start(GroupEvents::stopLimit + stopMargin);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    m_groupEvents.reset();
    m_eventListener.reset();
}
