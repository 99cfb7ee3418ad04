// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/NowPlaying.h"

#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/Inputs.h"
#include "Quillo/store/Rooms.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/GroupController.h"

#include <QCoroSignal>

using SonosKit::CancellationToken;
using SonosKit::GroupController;
using SonosKit::PlaybackState;
using SonosKit::ZoneGroup;

namespace {

// Wakes once: when the pause is over or when the poll is cancelled.
class PollPause : public QObject
{
    Q_OBJECT
public:
    PollPause(std::chrono::milliseconds length, const CancellationToken &token)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &PollPause::over);
        token.onCancel(this, [this] {
            m_timer.stop();
            Q_EMIT over();
        });
        m_timer.start(length);
    }

Q_SIGNALS:
    void over();

private:
    QTimer m_timer;
};

} // namespace

NowPlaying::NowPlaying(StoreContext &context, Household &household, Rooms &rooms, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
    , m_rooms(rooms)
{
    // Coarse: the system may fold the wakeup into others nearby.
    m_closedPoll.setTimerType(Qt::CoarseTimer);
    m_closedPoll.setSingleShot(true);
    connect(&m_closedPoll, &QTimer::timeout, this, [this] { StoreContext::start(closedPollTask()); });
    connect(this, &NowPlaying::isPlayingChanged, this, &NowPlaying::updateClosedPoll);
    connect(&m_context, &StoreContext::playbackStale, this, [this] { StoreContext::start(refresh()); });
    connect(&m_household, &Household::selectedGroupChanged, this, &NowPlaying::followGroup);
    // An input shows under its room's name, which a rename changes.
    connect(&m_household, &Household::groupsChanged, this, &NowPlaying::updateShown);
    connect(&m_household, &Household::groupChosen, this, [this] {
        setPlayback(std::nullopt);
        setPendingVolume(std::nullopt);
        StoreContext::start(refresh());
    });
    // A room's own level chosen: the group's follows its rooms now, not the
    // group slider's last position.
    connect(&m_rooms, &Rooms::volumeCommitted, this, [this] { setPendingVolume(std::nullopt); });
}

QCoro::Task<bool> NowPlaying::refresh()
{
    return refreshTask();
}

StoreTask<bool> NowPlaying::refreshTask()
{
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return false;
    const PlaybackEvents::Marks marksAtStart = m_eventMarks;
    Attempt<PlaybackState> state = co_await m_context.attempt(GroupController(*group).state(m_context.token()));
    if (!state) {
        co_await m_context.guarded(m_household.refresh());
        // Nobody answers for the household: what it played is no longer
        // known, and must not go on showing as playing.
        if (m_household.status().kind != StoreStatus::Kind::Ready)
            setPlayback(std::nullopt);
        co_return false;
    }
    // A snapshot of a group the user has since left would show the old
    // group's track under the new one's name.
    const std::optional<ZoneGroup> now = m_household.selectedGroup();
    if (!now || now->id != group->id)
        co_return true;
    // An event that came while the answer was on its way is newer than it.
    PlaybackState read = std::move(*state);
    if (m_playback && m_eventMarks != marksAtStart)
        read = PlaybackEvents::keptFromEvents(std::move(read), *m_playback, marksAtStart, m_eventMarks);
    setPlayback(std::move(read));
    m_household.setStatus(StoreStatus::ready());
    Q_EMIT playbackRead();
    // Flowing events tell each member's changes; a read would only repeat them.
    if (m_rooms.wantsLevels() && !m_eventsFlowing)
        co_await m_context.guarded(m_rooms.refreshLevels());
    co_return true;
}

CancellationToken NowPlaying::startPolling()
{
    if (m_pollToken)
        m_pollToken->cancel();
    m_pollToken = CancellationToken();
    updateClosedPoll();
    return *m_pollToken;
}

QCoro::Task<void> NowPlaying::poll(CancellationToken token)
{
    return pollTask(token);
}

StoreTask<void> NowPlaying::pollTask(CancellationToken token)
{
    while (!token.isCancelled()) {
        co_await m_context.guarded(refresh());
        if (token.isCancelled())
            co_return;
        co_await m_context.guarded(pollPause(token));
    }
}

QCoro::Task<void> NowPlaying::pollPause(CancellationToken token)
{
    if (token.isCancelled())
        co_return;
    PollPause pause(m_context.settings().pollPause, token);
    co_await qCoro(&pause, &PollPause::over);
}

void NowPlaying::stopPolling()
{
    if (m_pollToken) {
        m_pollToken->cancel();
        m_pollToken.reset();
    }
    setPendingVolume(std::nullopt);
    updateClosedPoll();
}

void NowPlaying::followEvents(bool flowing)
{
    m_eventsFlowing = flowing;
    updateClosedPoll();
}

void NowPlaying::updateClosedPoll()
{
    // Nothing playing, the panel's own poll running, or the players' events
    // telling every change: no reads from here.
    const std::chrono::milliseconds interval = m_context.settings().closedPollInterval;
    const bool wanted = interval.count() > 0 && !m_pollToken && isPlaying() && !m_eventsFlowing;
    m_pollingWhileClosed = wanted;
    if (!wanted) {
        m_closedPoll.stop();
        m_closedPollInterval = interval;
        return;
    }
    if (m_closedPollInterval.count() <= 0)
        m_closedPollInterval = interval;
    if (!m_closedPoll.isActive() && !m_closedPollReading)
        m_closedPoll.start(m_closedPollInterval);
}

StoreTask<void> NowPlaying::closedPollTask()
{
    m_closedPollReading = true;
    const bool read = co_await m_context.guarded(refresh());
    m_closedPollReading = false;
    // Away from home the players stop answering: every failed read waits
    // twice as long as the one before, so a laptop on another network does
    // not search for them every few seconds forever.
    const StoreSettings &settings = m_context.settings();
    m_closedPollInterval = read ? settings.closedPollInterval
                                : std::min(m_closedPollInterval * 2, settings.closedPollLongestInterval);
    updateClosedPoll();
}

void NowPlaying::followGroup()
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (!group || !m_context.settings().events)
        return;
    if (m_groupVolumeReporter != group->coordinator.host) {
        m_groupVolumeReporter.reset();
        m_reportedGroupVolume = 0;
    }
    // A player left or joined: the average changes though no volume did.
    // Players that report the group's own volume say so themselves.
    applyGroupVolume();
}

void NowPlaying::applyGroupVolume()
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (!group || !m_playback || m_groupVolumeReporter)
        return;
    if (const std::optional<int> volume = PlaybackEvents::groupVolume(*group, m_rooms.knownVolumes())) {
        PlaybackState next = *m_playback;
        next.volume = *volume;
        ++m_eventMarks.volume;
        setPlayback(std::move(next));
    }
}

void NowPlaying::apply(const QString &host, const SonosKit::ServiceEvent &event)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (!group)
        return;
    const bool fromCoordinator = host == group->coordinator.host;
    const auto *transport = std::get_if<SonosKit::TransportEvent>(&event);
    const auto *groupRendering = std::get_if<SonosKit::GroupRenderingEvent>(&event);
    // The players' own figure governs from now on, as in the state query:
    // an average of the members may round differently, and the two must
    // not take turns.
    if (groupRendering && groupRendering->volume && fromCoordinator) {
        m_groupVolumeReporter = host;
        m_reportedGroupVolume = *groupRendering->volume;
    }
    if (!m_playback) {
        if (transport && fromCoordinator)
            build(*group, *transport);
        return;
    }
    PlaybackState next = *m_playback;
    bool trackChanged = false;
    if (transport && fromCoordinator) {
        next = PlaybackEvents::withTransport(std::move(next), *transport, trackChanged);
        ++m_eventMarks.transport;
        if (trackChanged)
            ++m_eventMarks.track;
    } else if (const auto *rendering = std::get_if<SonosKit::RenderingEvent>(&event)) {
        // Without the players' own figure the group's volume is its members'
        // average; its mute is the coordinator's, as the state query reads them.
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
    } else if (groupRendering && groupRendering->volume && fromCoordinator) {
        next.volume = *groupRendering->volume;
        ++m_eventMarks.volume;
    }
    setPlayback(std::move(next));
    if (transport && fromCoordinator)
        Q_EMIT transportEvented(trackChanged);
}

void NowPlaying::build(const ZoneGroup &group, const SonosKit::TransportEvent &event)
{
    // Nothing stored (a read failed after start-up or a group switch), and
    // with the events flowing nothing reads again: a subscription's first
    // event carries the whole transport and builds what shows. The volume
    // and mute are what the members' own events told so far.
    if (!event.transportState || !event.track)
        return;
    bool trackChanged = false;
    PlaybackState built = PlaybackEvents::withTransport({}, event, trackChanged);
    built.volume = m_groupVolumeReporter ? m_reportedGroupVolume
                                         : PlaybackEvents::groupVolume(group, m_rooms.knownVolumes()).value_or(0);
    built.isMuted = m_rooms.isMuted(group.coordinator.host);
    // A read on its way keeps its volume, mute and position, not its transport.
    ++m_eventMarks.transport;
    setPlayback(std::move(built));
}

void NowPlaying::togglePlayPause()
{
    m_context.perform([](GroupController controller) { return controller.togglePlayPause(); });
}

void NowPlaying::next()
{
    m_context.perform([](GroupController controller) { return controller.next(); });
}

void NowPlaying::previous()
{
    m_context.perform([](GroupController controller) { return controller.previous(); });
}

void NowPlaying::play()
{
    m_context.perform([](GroupController controller) { return controller.play(); });
}

void NowPlaying::pause()
{
    m_context.perform([](GroupController controller) { return controller.pause(); });
}

void NowPlaying::stop()
{
    m_context.perform([](GroupController controller) { return controller.stop(); });
}

void NowPlaying::seek(int seconds)
{
    m_context.perform([seconds](GroupController controller) { return controller.seek(seconds); });
}

void NowPlaying::setGroupVolume(int level)
{
    m_context.perform([level](GroupController controller) { return controller.setBalancedVolume(level); });
}

void NowPlaying::previewVolume(int level)
{
    m_rooms.previewGroupVolume(level, volume());
    setPendingVolume(level);
}

void NowPlaying::commitVolume(int level)
{
    previewVolume(level);
    // The rooms show what the players make of it now; a refusal puts back
    // what they showed before.
    m_context.perform([level](GroupController controller) { return controller.setBalancedVolume(level); }, {},
        [this, commit = m_rooms.commitGroupPreview()] { m_rooms.refuseGroupCommit(commit); });
}

void NowPlaying::setPlayback(std::optional<PlaybackState> playback)
{
    if (playback == m_playback)
        return;
    m_playback = std::move(playback);
    updateShown();
    update();
}

void NowPlaying::updateShown()
{
    std::optional<PlaybackState> shown = m_playback;
    const std::optional<SonosKit::InputSource> input = shown && shown->sourceURI
        ? SonosKit::InputSource::fromURI(*shown->sourceURI)
        : std::nullopt;
    if (input) {
        shown->title = Inputs::titleFor(input->kind);
        shown->artist.reset();
        shown->album.reset();
        shown->albumArtURI.reset();
        for (const ZoneGroup &group : m_household.groups())
            for (const SonosKit::SonosDevice &member : group.members)
                if (member.uuid == input->uuid)
                    shown->artist = member.roomName;
    }
    assignNotifying(this, m_shown, std::move(shown), &NowPlaying::playbackChanged);
}

void NowPlaying::setPendingVolume(std::optional<int> volume)
{
    if (volume == m_pendingVolume)
        return;
    m_pendingVolume = volume;
    update();
}

void NowPlaying::update()
{
    assignNotifying(this, m_volume,
        m_pendingVolume  ? *m_pendingVolume
            : m_playback ? m_playback->volume
                         : 0,
        &NowPlaying::volumeChanged);
    assignNotifying(
        this, m_isPlaying, m_playback && SonosKit::isPlaying(m_playback->transportState), &NowPlaying::isPlayingChanged);
}

#include "NowPlaying.moc"
