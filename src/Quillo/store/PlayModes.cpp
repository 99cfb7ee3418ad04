// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/PlayModes.h"

#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/GroupController.h"

#include <utility>

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
    // played): what it allows is read again, one request.
    connect(&m_context, &StoreContext::playbackStale, this, [this] {
        if (!m_followingEvents)
            StoreContext::start(refreshTask(What::allowed));
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
    // What the last group's reads and commands bring is no longer wanted.
    ++m_groupSerial;
    m_modeSetting = {};
    m_crossfadeSetting = {};
    ++m_allowedChanges;
    showMode({});
    showCrossfade(false);
    showAllowed({});
    if (group)
        StoreContext::start(refresh());
}

void PlayModes::apply(const QString &coordinatorHost, const SonosKit::TransportEvent &event)
{
    if (coordinatorHost != m_coordinatorHost)
        return;
    if (event.playMode) {
        ++m_modeSetting.changes;
        heardMode(*event.playMode);
    }
    if (event.crossfade) {
        ++m_crossfadeSetting.changes;
        heardCrossfade(*event.crossfade);
    }
    // A player that lists no valid modes is judged by its source.
    if (event.validPlayModes || event.transportURI) {
        ++m_allowedChanges;
        showAllowed(event.validPlayModes ? *event.validPlayModes : ValidPlayModes::forTransportURI(*event.transportURI));
    }
}

QCoro::Task<void> PlayModes::refresh()
{
    return refreshTask(What::all);
}

StoreTask<void> PlayModes::refreshTask(What what)
{
    const std::optional<SonosKit::ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return;
    const quint64 modeAtStart = m_modeSetting.changes;
    const quint64 crossfadeAtStart = m_crossfadeSetting.changes;
    const quint64 allowedAtStart = m_allowedChanges;
    const quint64 groupAtStart = m_groupSerial;
    const GroupController controller(*group);
    const auto allowed = co_await m_context.attempt(controller.validPlayModes(m_context.token()));
    if (allowed && groupAtStart == m_groupSerial && allowedAtStart == m_allowedChanges)
        showAllowed(*allowed);
    if (what == What::allowed)
        co_return;
    // A failed read leaves what is shown: NowPlaying's reads report the
    // player's failures. A read that may have begun before a command in
    // flight reached the player is no word on it.
    const auto mode = co_await m_context.attempt(controller.playMode(m_context.token()));
    if (mode && groupAtStart == m_groupSerial && modeAtStart == m_modeSetting.changes && !m_modeSetting.sending)
        heardMode(*mode);
    const auto crossfade = co_await m_context.attempt(controller.crossfade(m_context.token()));
    if (crossfade && groupAtStart == m_groupSerial && crossfadeAtStart == m_crossfadeSetting.changes
        && !m_crossfadeSetting.sending)
        heardCrossfade(*crossfade);
}

void PlayModes::heardMode(PlayMode mode)
{
    if (m_modeSetting.hear(mode))
        showMode(mode);
}

void PlayModes::heardCrossfade(bool on)
{
    if (m_crossfadeSetting.hear(on))
        showCrossfade(on);
}

void PlayModes::cycleRepeat()
{
    switch (repeat()) {
    case Repeat::Off:
        setRepeat(Repeat::All);
        break;
    case Repeat::All:
        // A source that repeats a whole list but not one track skips it.
        setRepeat(m_allowed.canRepeat && !m_allowed.canRepeatOne ? Repeat::Off : Repeat::One);
        break;
    case Repeat::One:
        setRepeat(Repeat::Off);
        break;
    }
}

void PlayModes::setShuffle(bool on)
{
    command(m_modeSetting, m_mode, PlayMode{on, m_mode.repeat}, &GroupController::setPlayMode, &PlayModes::showMode);
}

void PlayModes::setRepeat(Repeat repeat)
{
    command(
        m_modeSetting, m_mode, PlayMode{m_mode.shuffle, fromModel(repeat)}, &GroupController::setPlayMode, &PlayModes::showMode);
}

void PlayModes::setCrossfade(bool on)
{
    command(m_crossfadeSetting, m_crossfade, on, &GroupController::setCrossfade, &PlayModes::showCrossfade);
}

template<typename T, typename Request, typename Show>
void PlayModes::command(Setting<T> &setting, const T &current, T value, Request request, Show show)
{
    if (value == current || !m_household.selectedGroup())
        return;
    ++setting.changes;
    (this->*show)(value);
    if (setting.sending)
        setting.queued = value;
    else
        send(setting, value, request, show);
}

template<typename T, typename Request, typename Show>
void PlayModes::send(Setting<T> &setting, T value, Request request, Show show)
{
    setting.sending = true;
    setting.before = setting.confirmed;
    setting.sent = value;
    const quint64 group = m_groupSerial;
    auto answered = [this, &setting, group, value, request, show](bool done) {
        if (group != m_groupSerial)
            return;
        setting.sending = false;
        if (done && !setting.heardWhileSending)
            setting.confirmed = value;
        setting.heardWhileSending = false;
        const std::optional<T> queued = std::exchange(setting.queued, std::nullopt);
        if (queued && *queued != setting.confirmed)
            send(setting, *queued, request, show);
        else
            (this->*show)(setting.confirmed);
    };
    m_context.perform([request, value](GroupController controller) { return (controller.*request)(value); },
        [answered] { answered(true); }, [answered] { answered(false); });
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
