// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/SleepTimer.h"

#include "Quillo/app/Logging.h"
#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/StoreContext.h"

using SonosKit::GroupController;
using namespace std::chrono_literals;

namespace {

// What shows changes this often: the seconds while the panel is open, the
// minutes of the label otherwise.
constexpr std::chrono::seconds shownStep{1};
constexpr std::chrono::seconds hiddenStep{60};

int wholeMinutes(std::chrono::seconds left)
{
    return int(std::chrono::ceil<std::chrono::minutes>(left).count());
}

} // namespace

SleepTimer::SleepTimer(StoreContext &context, Household &household, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
{
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &SleepTimer::tick);
    connect(&m_household, &Household::selectedGroupChanged, this, &SleepTimer::followGroup);
    followGroup();
}

QString SleepTimer::labelFor(std::chrono::seconds left)
{
    const int minutes = wholeMinutes(left);
    if (minutes < 60)
        return tr("%1 min").arg(minutes);
    if (minutes % 60 == 0)
        return tr("%1 h").arg(minutes / 60);
    return tr("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString SleepTimer::descriptionFor(std::chrono::seconds left)
{
    const int minutes = wholeMinutes(left);
    const int hours = minutes / 60;
    const QString minutesText = minutes % 60 == 1 ? tr("1 minute") : tr("%1 minutes").arg(minutes % 60);
    if (hours == 0) {
        //: %1 is a time such as "29 minutes" or "1 hour".
        return tr("%1 left").arg(minutesText);
    }
    const QString hoursText = hours == 1 ? tr("1 hour") : tr("%1 hours").arg(hours);
    if (minutes % 60 == 0) {
        //: %1 is a time such as "29 minutes" or "1 hour".
        return tr("%1 left").arg(hoursText);
    }
    //: %1 is the hours ("1 hour"), %2 the minutes ("15 minutes").
    return tr("%1 %2 left", "hours, then minutes").arg(hoursText, minutesText);
}

void SleepTimer::start(int minutes)
{
    const std::chrono::seconds length = std::chrono::minutes(minutes);
    // Zero would cancel: a timer that runs out now is no timer to start.
    // Refused here, the status line says so without asking the players.
    if (minutes < 1 || length > SonosKit::SleepTimer::longest) {
        m_context.report(Failure(SonosKit::SonosError::sleepTimerOutOfRange(length.count())));
        return;
    }
    configure(length);
}

void SleepTimer::turnOff()
{
    configure(0s);
}

void SleepTimer::configure(std::chrono::seconds length)
{
    if (!m_household.hasSelectedGroup())
        return;
    countCommand(+1);
    m_context.perform([length](GroupController controller) { return controller.configureSleepTimer(length); },
        [this] {
            countCommand(-1);
            // With events, the event of the new generation brings the read.
            if (!m_eventsFlowing)
                read();
        },
        [this] { countCommand(-1); });
}

void SleepTimer::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    tick();
}

void SleepTimer::apply(const QString &coordinatorHost, const SonosKit::TransportEvent &event)
{
    const std::optional<SonosKit::ZoneGroup> &group = m_household.selectedGroup();
    if (!group || group->coordinator.host != coordinatorHost || !event.sleepTimerGeneration
        || event.sleepTimerGeneration == m_generation)
        return;
    // Set, cancelled or run out, here or in another controller: the time
    // left is read once, and counted down here from then on.
    m_generation = event.sleepTimerGeneration;
    read();
}

void SleepTimer::readAgain()
{
    read();
}

void SleepTimer::followGroup()
{
    const std::optional<SonosKit::ZoneGroup> &group = m_household.selectedGroup();
    const QString key = group ? group->id + u'|' + group->coordinator.host : QString();
    if (key == m_groupKey)
        return;
    // Another group's timer: nothing shows until it is read, and a read of
    // the last group's that is still on its way is not heard.
    m_groupKey = key;
    m_generation.reset();
    ++m_reads;
    showTimeLeft(std::nullopt);
    if (group)
        read();
}

void SleepTimer::read()
{
    if (const std::optional<SonosKit::ZoneGroup> &group = m_household.selectedGroup())
        StoreContext::start(readTask(*group, ++m_reads));
}

StoreTask<void> SleepTimer::readTask(SonosKit::ZoneGroup group, quint64 serial)
{
    const Attempt<SonosKit::SleepTimer> timer = co_await m_context.attempt(
        GroupController(std::move(group)).sleepTimer(m_context.token()));
    // A newer read, or another group, decides what shows.
    if (serial != m_reads)
        co_return;
    if (!timer) {
        // What plays reports a coordinator that stopped answering; the
        // timer shows what was last known until the next read.
        qCInfo(lcStore).noquote() << "The sleep timer could not be read:" << timer.failure().text();
        co_return;
    }
    m_generation = timer->generation;
    showTimeLeft(timer->remaining);
}

void SleepTimer::showTimeLeft(std::optional<std::chrono::seconds> left)
{
    const bool wasRunning = isRunning();
    if (left && *left > 0s)
        m_deadline = Clock::now() + *left;
    else
        m_deadline.reset();
    if (wasRunning != isRunning())
        Q_EMIT isRunningChanged();
    tick();
}

void SleepTimer::tick()
{
    const Clock::duration left = m_deadline ? *m_deadline - Clock::now() : Clock::duration::zero();
    if (left <= Clock::duration::zero()) {
        // Run out here; the coordinator's event with the next generation
        // confirms it.
        m_tick.stop();
        if (m_deadline) {
            m_deadline.reset();
            Q_EMIT isRunningChanged();
        }
        assignNotifying(this, m_remainingSeconds, 0, &SleepTimer::remainingSecondsChanged);
        const bool changed = !m_label.isEmpty() || !m_description.isEmpty();
        m_label.clear();
        m_description.clear();
        if (changed)
            Q_EMIT textChanged();
        return;
    }
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(left);
    assignNotifying(this, m_remainingSeconds, int(seconds.count()), &SleepTimer::remainingSecondsChanged);
    const QString label = labelFor(seconds);
    const QString description = descriptionFor(seconds);
    if (label != m_label || description != m_description) {
        m_label = label;
        m_description = description;
        Q_EMIT textChanged();
    }
    // What shows next changes when the time left drops to the step below.
    const std::chrono::milliseconds step = m_shown ? shownStep : hiddenStep;
    const auto steps = (left + step - Clock::duration(1)) / step;
    const auto untilNext = std::chrono::ceil<std::chrono::milliseconds>(left - (steps - 1) * step);
    m_tick.start(std::max(untilNext, std::chrono::milliseconds(1)));
}

void SleepTimer::countCommand(int change)
{
    const bool wasBusy = isBusy();
    m_commands += change;
    if (isBusy() != wasBusy)
        Q_EMIT busyChanged();
}
