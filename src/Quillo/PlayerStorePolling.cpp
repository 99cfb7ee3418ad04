// The panel's open/close cycle, the playback poll, commands and the volume.
#include "PlayerStore.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/SonosError.h"

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
    pollTask(*m_pollToken);
}

void PlayerStore::menuClosed()
{
    if (m_pollToken) {
        m_pollToken->cancel();
        m_pollToken.reset();
    }
    setPendingVolume(std::nullopt);
    updateClosedPoll();
}

void PlayerStore::setClosedPollInterval(std::chrono::milliseconds interval)
{
    m_closedPollInterval = interval;
    updateClosedPoll();
}

bool PlayerStore::isPollingWhileClosed() const
{
    return m_closedPoll && m_closedPoll->isActive();
}

void PlayerStore::updateClosedPoll()
{
    // Nothing playing, or the panel's own poll running: no reads from here.
    const bool wanted = m_closedPollInterval.count() > 0 && !m_pollToken && m_isPlaying;
    if (!wanted) {
        if (m_closedPoll)
            m_closedPoll->stop();
        return;
    }
    if (!m_closedPoll) {
        m_closedPoll = std::make_unique<QTimer>();
        // Coarse: the system may fold the wakeup into others nearby.
        m_closedPoll->setTimerType(Qt::CoarseTimer);
        connect(m_closedPoll.get(), &QTimer::timeout, this, [this] { refreshPlaybackTask(); });
    }
    if (!m_closedPoll->isActive() || m_closedPoll->intervalAsDuration() != m_closedPollInterval)
        m_closedPoll->start(m_closedPollInterval);
}

QCoro::Task<void> PlayerStore::pollTask(CancellationToken token)
{
    const Lifetime::Watch watch = m_lifetime.watch();
    // Whatever is in flight when the panel closes finishes as usual, but a
    // closed panel starts nothing new: a user flicking it open and shut
    // must not leave a queue of start-ups behind.
    const auto over = [&] { return watch.ended() || token.isCancelled(); };
    co_await refreshTopology();
    if (over())
        co_return;
    co_await refreshPlayback();
    if (over())
        co_return;
    co_await loadFavorites(true);
    while (!over()) {
        co_await refreshPlayback();
        if (over())
            co_return;
        co_await pollPause(token);
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
    PollPause pause(m_environment.pollPause, token);
    co_await qCoro(&pause, &PollPause::over);
}

QCoro::Task<void> PlayerStore::refreshPlayback()
{
    const Lifetime::Watch watch = m_lifetime.watch();
    const std::optional<ZoneGroup> group = selectedGroup();
    if (!group)
        co_return;
    bool failed = false;
    try {
        SonosKit::PlaybackState state = co_await GroupController(*group).state(m_lifetime.token());
        if (watch.ended())
            co_return;
        // A snapshot of a group the user has since left would show the old
        // group's track under the new one's name.
        const std::optional<ZoneGroup> now = selectedGroup();
        if (!now || now->id != group->id)
            co_return;
        setPlayback(std::move(state));
        setStatus(Status::ready());
        Q_EMIT playbackRead();
    } catch (...) {
        failed = true;
    }
    if (failed && !watch.ended())
        co_await refreshTopology();
}

void PlayerStore::perform(Operation operation)
{
    const std::optional<ZoneGroup> group = selectedGroup();
    if (!group)
        return;
    performTask(*group, std::move(operation));
}

QCoro::Task<void> PlayerStore::performTask(ZoneGroup group, Operation operation)
{
    const Lifetime::Watch watch = m_lifetime.watch();
    std::optional<QString> failure;
    try {
        co_await operation(GroupController(std::move(group)));
    } catch (const SonosKit::SonosError &error) {
        failure = error.errorDescription();
    } catch (const std::exception &error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    if (watch.ended())
        co_return;
    if (!failure) {
        co_await refreshPlayback();
        co_return;
    }
    setStatus(Status::failed(*failure));
    co_await refreshTopology();
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
    perform([volume](GroupController controller) { return controller.setVolume(volume); });
}

QCoro::Task<void> PlayerStore::refreshAll()
{
    const Lifetime::Watch watch = m_lifetime.watch();
    co_await refreshTopology();
    if (watch.ended())
        co_return;
    co_await refreshPlayback();
}

void PlayerStore::commitVolume(int volume)
{
    // Kept unclamped and until the panel closes: the slider shows what the
    // user chose, not the next poll's reading.
    setPendingVolume(volume);
    perform([volume](GroupController controller) { return controller.setVolume(volume); });
}

#include "PlayerStorePolling.moc"
