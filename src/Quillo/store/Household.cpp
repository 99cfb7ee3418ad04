// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Household.h"

#include "Quillo/models/Notify.h"
#include "Quillo/store/Preferences.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/ZoneTopology.h"

#include <QCoroSignal>

using SonosKit::ZoneGroup;

Household::Household(StoreContext &context, Preferences &preferences, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_preferences(preferences)
    , m_connectionCheck(context, ConnectionCheck::Question::search)
    , m_selectedRoomName(preferences.selectedRoomName())
{
    connect(&m_context, &StoreContext::failed, this, [this](const QString &text) { setStatus(StoreStatus::failed(text)); });
}

Household::~Household()
{
    // A refresh that waits for the one in flight would otherwise wait for
    // good once the store is gone: it is resumed, and its guarded wait ends
    // it without touching this object.
    releaseWaiters();
}

void Household::releaseWaiters()
{
    const std::vector<std::coroutine_handle<>> waiters = std::exchange(m_refreshWaiters, {});
    for (const std::coroutine_handle<> waiter : waiters)
        waiter.resume();
}

QCoro::Task<void> Household::refresh()
{
    return refreshTask();
}

StoreTask<void> Household::refreshTask()
{
    if (m_refreshing) {
        m_refreshAgain = true;
        co_await m_context.guarded(nextRefresh());
        co_return;
    }
    m_refreshing = true;
    do {
        m_refreshAgain = false;
        co_await m_context.guarded(read());
    } while (m_refreshAgain);
    m_refreshing = false;
    releaseWaiters();
}

QCoro::Task<void> Household::nextRefresh()
{
    co_await RefreshOver{this};
}

QCoro::Task<QList<ZoneGroup>> Household::discover()
{
    // A typed address wins over everything and is never followed by a
    // search; so is the last player that answered, until it fails once.
    if (m_preferences.hasManualHost())
        return SonosKit::ZoneTopology(*m_preferences.manualHost()).groups(m_context.token());
    if (m_knownHost)
        return SonosKit::ZoneTopology(*m_knownHost).groups(m_context.token());
    return m_context.settings().findHousehold(m_context.settings().householdSearchTimeout);
}

StoreTask<void> Household::read()
{
    if (groups().isEmpty())
        setStatus(StoreStatus::searching());

    const quint64 toldAtStart = m_groupingsTold;
    const Attempt<QList<ZoneGroup>> found = co_await m_context.attempt(discover());
    if (found) {
        if (!found->isEmpty())
            m_connectionCheck.setDiagnosis(std::nullopt);
        // A grouping told while the answer was on its way is newer than it.
        if (m_groupingsTold == toldAtStart)
            showGroups(*found);
        m_knownHost = found->isEmpty() ? std::nullopt : std::optional<QString>(found->front().coordinator.host);
        setStatus(found->isEmpty() ? StoreStatus::noPlayersFound() : StoreStatus::ready());
        if (!m_selectedRoomName)
            setSelectedRoomName(found->isEmpty() ? std::nullopt : std::optional<QString>(found->front().coordinator.roomName));
        if (found->isEmpty())
            StoreContext::start(diagnose());
        co_return;
    }

    // The group list stays as it was: a player that briefly stops answering
    // does not empty the panel. The reason is shown only for a typed address.
    m_knownHost.reset();
    const Failure &failure = found.failure();
    if (failure.isSonosError() && !failure.isNoPlayersFound() && m_preferences.manualHost())
        m_context.report(failure);
    else
        setStatus(StoreStatus::noPlayersFound());
    // With speakers on the panel a passing failure needs no explaining.
    if (groups().isEmpty())
        StoreContext::start(diagnose());
}

StoreTask<void> Household::diagnose()
{
    SonosKit::ConnectionDoctor::Options options;
    if (m_preferences.hasManualHost()) {
        // The user named the speaker: ask it, and search nothing.
        options.manualHost = m_preferences.manualHost();
        options.search = false;
    }
    // Speakers found while the doctor looked: nothing left to explain.
    co_await m_context.guarded(m_connectionCheck.examine(std::move(options), [this] { return groups().isEmpty(); }));
}

void Household::retry(const QString &host)
{
    // Spaces and tabs only: a line break is no blank here.
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    QStringView text(host);
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    m_preferences.setManualHost(text.isEmpty() ? std::nullopt : std::optional<QString>(text.toString()));
    m_knownHost.reset();
    showGroups({});
    Q_EMIT searchRestarted();
}

void Household::select(const QString &groupID)
{
    const auto group = std::find_if(
        groups().cbegin(), groups().cend(), [&groupID](const ZoneGroup &candidate) { return candidate.id == groupID; });
    if (group == groups().cend())
        return;
    setSelectedRoomName(group->coordinator.roomName);
    Q_EMIT groupChosen();
}

void Household::apply(const SonosKit::TopologyEvent &event)
{
    if (event.groups)
        setGroups(*event.groups);
}

void Household::setGroups(QList<ZoneGroup> groups)
{
    ++m_groupingsTold;
    showGroups(std::move(groups));
}

void Household::showGroups(QList<ZoneGroup> groups)
{
    if (!m_groups.setItems(std::move(groups)))
        return;
    Q_EMIT groupsChanged();
    updateSelection();
}

void Household::setSelectedRoomName(const std::optional<QString> &room)
{
    m_preferences.setSelectedRoomName(room);
    if (room == m_selectedRoomName)
        return;
    m_selectedRoomName = room;
    updateSelection();
}

void Household::setStatus(StoreStatus status)
{
    assignNotifying(this, m_status, std::move(status), &Household::statusChanged);
}

void Household::updateSelection()
{
    std::optional<ZoneGroup> group;
    if (m_selectedRoomName)
        group = SonosKit::groupForRoom(groups(), *m_selectedRoomName);
    if (!group && !groups().isEmpty())
        group = groups().front();
    int index = -1;
    if (group) {
        const auto found = std::find_if(
            groups().cbegin(), groups().cend(), [&group](const ZoneGroup &candidate) { return candidate.id == group->id; });
        index = found == groups().cend() ? -1 : int(found - groups().cbegin());
    }
    assignNotifying(this, m_selectedGroup, std::move(group), &Household::selectedGroupChanged);
    assignNotifying(this, m_selectedGroupIndex, index, &Household::selectedGroupIndexChanged);
}
