// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/PlayModes.h"

#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/GroupController.h"

using SonosKit::GroupController;
using SonosKit::PlayMode;
using SonosKit::ValidPlayModes;

namespace {

PlayModes::Repeat toModel(SonosKit::Repeat repeat)
{
    switch (repeat) {
    case SonosKit::Repeat::all:
        return PlayModes::Repeat::All;
    case SonosKit::Repeat::one:
        return PlayModes::Repeat::One;
    case SonosKit::Repeat::off:
        break;
    }
    return PlayModes::Repeat::Off;
}

SonosKit::Repeat fromModel(PlayModes::Repeat repeat)
{
    switch (repeat) {
    case PlayModes::Repeat::All:
        return SonosKit::Repeat::all;
    case PlayModes::Repeat::One:
        return SonosKit::Repeat::one;
    case PlayModes::Repeat::Off:
        break;
    }
    return SonosKit::Repeat::off;
}

} // namespace

PlayModes::PlayModes(StoreContext &context, Household &household, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
{
    connect(&m_household, &Household::selectedGroupChanged, this, &PlayModes::followGroup);
    // Without events, a command may have changed the source (a station
    // played): what it allows is read again.
    connect(&m_context, &StoreContext::playbackStale, this, [this] {
        if (!m_followingEvents)
            StoreContext::start(refresh());
    });
}

PlayModes::Repeat PlayModes::repeat() const
{
    return toModel(m_mode.repeat);
}

void PlayModes::followGroup()
{
    const std::optional<SonosKit::ZoneGroup> &group = m_household.selectedGroup();
    const QString host = group ? group->coordinator.host : QString();
    if (host == m_coordinatorHost)
        return;
    m_coordinatorHost = host;
    // What another group's reads and clicks would bring is no longer wanted.
    ++m_modeChanges;
    ++m_crossfadeChanges;
    ++m_allowedChanges;
    if (!group) {
        showMode({});
        showCrossfade(false);
        showAllowed({});
        return;
    }
    StoreContext::start(refresh());
}

void PlayModes::apply(const QString &coordinatorHost, const SonosKit::TransportEvent &event)
{
    if (coordinatorHost != m_coordinatorHost)
        return;
    if (event.playMode) {
        ++m_modeChanges;
        showMode(*event.playMode);
    }
    if (event.crossfade) {
        ++m_crossfadeChanges;
        showCrossfade(*event.crossfade);
    }
    // A player that lists no valid modes is judged by its source.
    if (event.validPlayModes || event.transportURI) {
        ++m_allowedChanges;
        showAllowed(event.validPlayModes ? *event.validPlayModes : ValidPlayModes::forTransportURI(*event.transportURI));
    }
}

QCoro::Task<void> PlayModes::refresh()
{
    return refreshTask();
}

StoreTask<void> PlayModes::refreshTask()
{
    const std::optional<SonosKit::ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return;
    const quint64 modeAtStart = m_modeChanges;
    const quint64 crossfadeAtStart = m_crossfadeChanges;
    const quint64 allowedAtStart = m_allowedChanges;
    const GroupController controller(*group);
    // A failed read leaves what is shown: NowPlaying's reads report the
    // player's failures.
    const auto mode = co_await m_context.attempt(controller.playMode(m_context.token()));
    if (mode && modeAtStart == m_modeChanges)
        showMode(*mode);
    const auto crossfade = co_await m_context.attempt(controller.crossfade(m_context.token()));
    if (crossfade && crossfadeAtStart == m_crossfadeChanges)
        showCrossfade(*crossfade);
    const auto allowed = co_await m_context.attempt(controller.validPlayModes(m_context.token()));
    if (allowed && allowedAtStart == m_allowedChanges)
        showAllowed(*allowed);
}

void PlayModes::cycleRepeat()
{
    switch (repeat()) {
    case Repeat::Off:
        setRepeat(Repeat::All);
        break;
    case Repeat::All:
        setRepeat(Repeat::One);
        break;
    case Repeat::One:
        setRepeat(Repeat::Off);
        break;
    }
}

void PlayModes::setShuffle(bool on)
{
    commandMode(PlayMode{on, m_mode.repeat});
}

void PlayModes::setRepeat(Repeat repeat)
{
    commandMode(PlayMode{m_mode.shuffle, fromModel(repeat)});
}

void PlayModes::commandMode(PlayMode mode)
{
    if (mode == m_mode || !m_household.selectedGroup())
        return;
    const PlayMode before = m_mode;
    const quint64 stamp = ++m_modeChanges;
    showMode(mode);
    m_context.perform([mode](GroupController group) { return group.setPlayMode(mode); }, {},
        [this, before, stamp] {
            if (stamp == m_modeChanges)
                showMode(before);
        });
}

void PlayModes::setCrossfade(bool on)
{
    if (on == m_crossfade || !m_household.selectedGroup())
        return;
    const quint64 stamp = ++m_crossfadeChanges;
    showCrossfade(on);
    m_context.perform([on](GroupController group) { return group.setCrossfade(on); }, {},
        [this, on, stamp] {
            if (stamp == m_crossfadeChanges)
                showCrossfade(!on);
        });
}

void PlayModes::showMode(PlayMode mode)
{
    const PlayMode before = m_mode;
    m_mode = mode;
    if (before.shuffle != mode.shuffle)
        Q_EMIT shuffleChanged();
    if (before.repeat != mode.repeat)
        Q_EMIT repeatChanged();
}

void PlayModes::showCrossfade(bool on)
{
    assignNotifying(this, m_crossfade, on, &PlayModes::crossfadeChanged);
}

void PlayModes::showAllowed(ValidPlayModes allowed)
{
    assignNotifying(this, m_allowed, allowed, &PlayModes::allowedChanged);
}
