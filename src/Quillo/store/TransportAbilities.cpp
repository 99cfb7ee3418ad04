// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/TransportAbilities.h"

#include "Quillo/store/Household.h"
#include "Quillo/store/NowPlaying.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/GroupController.h"

using SonosKit::GroupController;
using SonosKit::TransportActions;
using SonosKit::ZoneGroup;

TransportAbilities::TransportAbilities(StoreContext &context, Household &household, NowPlaying &nowPlaying, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
    , m_nowPlaying(nowPlaying)
{
    connect(&m_household, &Household::selectedGroupChanged, this, &TransportAbilities::followGroup);
    connect(&m_nowPlaying, &NowPlaying::playbackChanged, this, &TransportAbilities::playbackChanged);
}

void TransportAbilities::followGroup()
{
    // A member joining or a room renamed changes the group, not its source:
    // only another coordinator's source is unknown, and no event repeats
    // the actions for the same one.
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    const QString host = group ? group->coordinator.host : QString();
    if (host == m_coordinatorHost)
        return;
    m_coordinatorHost = host;
    ++m_reads;
    m_askedFor.reset();
    setActions(everything);
    if (group)
        StoreContext::start(refresh());
}

void TransportAbilities::apply(const QString &host, const SonosKit::TransportEvent &event)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (!group || host != group->coordinator.host || !event.transportActions)
        return;
    ++m_reads;
    setActions(*event.transportActions);
}

void TransportAbilities::playbackChanged()
{
    const std::optional<SonosKit::PlaybackState> &playback = m_nowPlaying.playback();
    if (!playback || m_eventsFlowing)
        return;
    const std::pair<QString, SonosKit::TransportState> now{playback->sourceURI.value_or(QString()), playback->transportState};
    if (m_askedFor == now)
        return;
    m_askedFor = now;
    StoreContext::start(refresh());
}

QCoro::Task<void> TransportAbilities::refresh()
{
    return refreshTask();
}

StoreTask<void> TransportAbilities::refreshTask()
{
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return;
    const quint64 serial = ++m_reads;
    const Attempt<TransportActions> actions = co_await m_context.attempt(
        GroupController(*group).transportActions(m_context.token()));
    // A failed read keeps what was known: the next command says the rest.
    if (actions && serial == m_reads)
        setActions(*actions);
}

void TransportAbilities::setActions(TransportActions actions)
{
    if (actions == m_actions)
        return;
    m_actions = actions;
    Q_EMIT changed();
}
