// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The panel's open/close cycle, the playback polls, commands and the volume.
#include "Quillo/store/Failure.h"
#include "Quillo/store/PlayerStore.h"

#include "SonosKit/GroupController.h"

#include <QCoroSignal>
#include <QTimer>

using SonosKit::CancellationToken;
using SonosKit::GroupController;
using SonosKit::ZoneGroup;

void PlayerStore::menuOpened()
{
    if (m_pollToken)
        m_pollToken->cancel();
    m_pollToken = CancellationToken();
    updateClosedPoll();
    TaskGuard::start(pollTask(*m_pollToken));
}

void PlayerStore::menuClosed()
{
    if (m_pollToken) {
        m_pollToken->cancel();
        m_pollToken.reset();
    }
    m_nowPlaying.setPendingVolume(std::nullopt);
    m_rooms.clearPending();
    updateClosedPoll();
}

void PlayerStore::updateClosedPoll()
{
    // Nothing playing, the panel's own poll running, or the players' events
    // telling every change: no reads from here.
    const bool wanted = m_settings.closedPollInterval.count() > 0 && !m_pollToken && m_nowPlaying.isPlaying()
        && !m_liveUpdates.isFlowing();
    m_pollingWhileClosed = wanted;
    if (!wanted) {
        m_closedPoll.stop();
        m_closedPollInterval = m_settings.closedPollInterval;
        return;
    }
    if (m_closedPollInterval.count() <= 0)
        m_closedPollInterval = m_settings.closedPollInterval;
    if (!m_closedPoll.isActive() && !m_closedPollReading)
        m_closedPoll.start(m_closedPollInterval);
}

QCoro::Task<void> PlayerStore::closedPollTask()
{
    m_closedPollReading = true;
    const bool read = co_await guarded(refreshPlayback());
    m_closedPollReading = false;
    // Away from home the players stop answering: every failed read waits
    // twice as long as the one before, so a laptop on another network does
    // not search for them every few seconds forever.
    m_closedPollInterval = read ? m_settings.closedPollInterval
                                : std::min(m_closedPollInterval * 2, m_settings.closedPollLongestInterval);
    updateClosedPoll();
}

QCoro::Task<void> PlayerStore::pollTask(CancellationToken token)
{
    // Whatever is in flight when the panel closes finishes as usual, but a
    // closed panel starts nothing new: a user flicking it open and shut
    // must not leave a queue of start-ups behind.
    co_await guarded(refreshTopology());
    if (token.isCancelled())
        co_return;
    co_await guarded(refreshPlayback());
    if (token.isCancelled())
        co_return;
    co_await guarded(loadFavorites());
    while (!token.isCancelled()) {
        co_await guarded(refreshPlayback());
        if (token.isCancelled())
            co_return;
        co_await guarded(pollPause(token));
    }
}

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

QCoro::Task<void> PlayerStore::pollPause(CancellationToken token)
{
    if (token.isCancelled())
        co_return;
    PollPause pause(m_settings.pollPause, token);
    co_await qCoro(&pause, &PollPause::over);
}

QCoro::Task<bool> PlayerStore::refreshPlayback()
{
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return false;
    const PlaybackEvents::Marks marksAtStart = m_eventMarks;
    std::optional<SonosKit::PlaybackState> state;
    try {
        state = co_await guarded(GroupController(*group).state(m_tasks.token()));
    } catch (const std::exception &) {
    }
    if (!state) {
        co_await guarded(refreshTopology());
        // Nobody answers for the household: what it played is no longer
        // known, and must not go on showing as playing.
        if (m_household.status().kind != StoreStatus::Kind::Ready)
            m_nowPlaying.setPlayback(std::nullopt);
        co_return false;
    }
    // A snapshot of a group the user has since left would show the old
    // group's track under the new one's name.
    const std::optional<ZoneGroup> now = m_household.selectedGroup();
    if (!now || now->id != group->id)
        co_return true;
    // An event that came while the answer was on its way is newer than it.
    if (m_nowPlaying.playback() && m_eventMarks != marksAtStart)
        state = PlaybackEvents::keptFromEvents(std::move(*state), *m_nowPlaying.playback(), marksAtStart, m_eventMarks);
    m_nowPlaying.setPlayback(std::move(state));
    m_household.setStatus(StoreStatus::ready());
    m_nowPlaying.noteRead();
    // Flowing events tell each member's changes; a read would only repeat them.
    if (wantsRoomLevels() && !m_liveUpdates.isFlowing())
        co_await guarded(refreshRoomLevels());
    co_return true;
}

void PlayerStore::perform(Operation operation, Applied applied)
{
    if (const std::optional<ZoneGroup> group = m_household.selectedGroup())
        TaskGuard::start(performTask(*group, std::move(operation), std::move(applied)));
}

QCoro::Task<void> PlayerStore::performTask(ZoneGroup group, Operation operation, Applied applied)
{
    std::optional<Failure> failure;
    try {
        co_await guarded(operation(GroupController(std::move(group))));
    } catch (const std::exception &error) {
        failure.emplace(error);
    }
    if (!failure) {
        if (applied)
            applied();
        co_await guarded(refreshPlayback());
        co_return;
    }
    // A group volume the players refused leaves every room as it was.
    m_rooms.endGroupPreview(false);
    report(*failure);
    co_await guarded(refreshTopology());
}

void PlayerStore::togglePlayPause()
{
    perform([](GroupController controller) { return controller.togglePlayPause(); });
}

void PlayerStore::next()
{
    perform([](GroupController controller) { return controller.next(); });
}

void PlayerStore::previous()
{
    perform([](GroupController controller) { return controller.previous(); });
}

void PlayerStore::play()
{
    perform([](GroupController controller) { return controller.play(); });
}

void PlayerStore::pause()
{
    perform([](GroupController controller) { return controller.pause(); });
}

void PlayerStore::stop()
{
    perform([](GroupController controller) { return controller.stop(); });
}

void PlayerStore::seek(int seconds)
{
    perform([seconds](GroupController controller) { return controller.seek(seconds); });
}

void PlayerStore::setGroupVolume(int volume)
{
    perform([volume](GroupController controller) { return controller.setBalancedVolume(volume); });
}

void PlayerStore::previewVolume(int volume)
{
    m_rooms.previewGroupVolume(volume, m_nowPlaying.volume());
    m_nowPlaying.setPendingVolume(volume);
}

void PlayerStore::commitVolume(int volume)
{
    previewVolume(volume);
    perform([volume](GroupController controller) { return controller.setBalancedVolume(volume); },
        [this] { m_rooms.endGroupPreview(true); });
}

QCoro::Task<void> PlayerStore::refreshAll()
{
    co_await guarded(refreshTopology());
    co_await guarded(refreshPlayback());
}

#include "PlayerStorePolling.moc"
