// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Household.h"

#include "Quillo/models/Notify.h"
#include "Quillo/store/Preferences.h"
#include "Quillo/store/StoreContext.h"

#include <QCoroSignal>

using SonosKit::SonosHousehold;
using SonosKit::ZoneGroup;

namespace {

QCoro::Task<QList<SonosHousehold>> listOf(QCoro::Task<SonosHousehold> read)
{
    SonosHousehold household = co_await std::move(read);
    QList<SonosHousehold> households;
    households.append(std::move(household));
    co_return households;
}

} // namespace

Household::Household(StoreContext &context, Preferences &preferences, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_preferences(preferences)
    , m_connectionCheck(context, ConnectionCheck::Question::search)
    , m_choice(preferences)
    , m_selectedRoomName(preferences.selectedRoomName())
{
    connect(&m_context, &StoreContext::failed, this, [this](const QString &text) { setStatus(StoreStatus::failed(text)); });
    connect(&m_choice, &HouseholdChoice::chosen, this, [this] {
        showChosen(QString());
        // Read afresh: the groups are as the last search found them.
        StoreContext::start(refresh());
    });
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
    m_refreshAgain = true;
    co_await m_context.guarded(readWhileAsked());
    // Whoever asked goes on with the groups read; the search goes on behind,
    // and a refresh asked for meanwhile follows it, never a second search
    // beside it.
    if (source() == Source::known && m_context.isPanelOpen() && m_nextLookAround.hasExpired()) {
        releaseWaiters();
        StoreContext::start(lookAround());
        co_return;
    }
    m_refreshing = false;
    releaseWaiters();
}

StoreTask<void> Household::readWhileAsked()
{
    while (m_refreshAgain) {
        m_refreshAgain = false;
        co_await m_context.guarded(read());
    }
}

QCoro::Task<void> Household::nextRefresh()
{
    co_await RefreshOver{this};
}

Household::Source Household::source() const
{
    // A typed address wins over everything and is never followed by a
    // search; so is the last player that answered, until it fails once.
    if (m_preferences.hasManualHost())
        return Source::typed;
    if (m_knownHost && m_choice.shown())
        return Source::known;
    return Source::search;
}

QCoro::Task<QList<SonosHousehold>> Household::discover(Source source)
{
    const StoreSettings &settings = m_context.settings();
    switch (source) {
    case Source::typed:
        return listOf(settings.householdAt(*m_preferences.manualHost()));
    case Source::known:
        // Its household too: the player may have gone over to another one.
        return listOf(settings.householdAt(*m_knownHost));
    case Source::search:
        break;
    }
    m_nextLookAround.setRemainingTime(settings.householdLookInterval);
    return settings.findHouseholds(settings.householdSearchTimeout);
}

StoreTask<void> Household::read()
{
    if (groups().isEmpty())
        setStatus(StoreStatus::searching());

    const quint64 toldAtStart = m_groupingsTold;
    const quint64 restartsAtStart = m_searchRestarts;
    const QString shownAtStart = m_choice.shownID();
    Source from = source();
    Attempt<QList<SonosHousehold>> households = co_await m_context.attempt(discover(from));
    if (from == Source::known && households && households->front().id != shownAtStart) {
        // The player that answered last went over to another household:
        // this one is searched for.
        m_knownHost.reset();
        from = Source::search;
        households = co_await m_context.attempt(discover(from));
    }
    // The search started over meanwhile (an address typed or cleared): the
    // refresh that follows reads afresh.
    if (m_searchRestarts != restartsAtStart)
        co_return;
    if (households) {
        const QString before = m_choice.shownID();
        // The typed address's household is the user's choice.
        if (from == Source::typed && !households->isEmpty())
            m_preferences.setSelectedHousehold(households->front().id);
        if (from == Source::known)
            m_choice.update(households->front());
        else
            m_choice.setFound(*households);
        // What the players told since is newer than the answer.
        if (m_groupingsTold != toldAtStart && m_choice.shownID() == before)
            m_choice.setShownGroups(groups());
        const QList<ZoneGroup> found = m_choice.shown() ? m_choice.shown()->groups : QList<ZoneGroup>();
        if (!found.isEmpty())
            m_connectionCheck.setDiagnosis(std::nullopt);
        // A grouping told while the answer was on its way is newer than it,
        // unless it was another household's.
        if (m_choice.shownID() != before && !before.isEmpty())
            showChosen(before);
        else if (m_groupingsTold == toldAtStart)
            showGroups(found);
        m_knownHost = found.isEmpty() ? std::nullopt : std::optional<QString>(found.front().coordinator.host);
        setStatus(found.isEmpty() ? StoreStatus::noPlayersFound() : StoreStatus::ready());
        if (!m_selectedRoomName)
            setSelectedRoomName(found.isEmpty() ? std::nullopt : std::optional<QString>(found.front().coordinator.roomName));
        if (found.isEmpty())
            StoreContext::start(diagnose());
        co_return;
    }

    // The group list stays as it was: a player that briefly stops answering
    // does not empty the panel. The reason is shown only for a typed address.
    m_knownHost.reset();
    const Failure &failure = households.failure();
    if (failure.isSonosError() && !failure.isNoPlayersFound() && m_preferences.manualHost())
        m_context.report(failure);
    else
        setStatus(StoreStatus::noPlayersFound());
    // With speakers on the panel a passing failure needs no explaining.
    if (groups().isEmpty())
        StoreContext::start(diagnose());
}

StoreTask<void> Household::lookAround()
{
    const StoreSettings &settings = m_context.settings();
    m_nextLookAround.setRemainingTime(settings.householdLookInterval);
    const quint64 restartsAtStart = m_searchRestarts;
    const Attempt<QList<SonosHousehold>> households = co_await m_context.attempt(
        settings.findHouseholds(settings.householdSearchTimeout));
    // A search that found nobody changes nothing: the household shown
    // answered.
    if (households && m_searchRestarts == restartsAtStart) {
        const QString before = m_choice.shownID();
        m_choice.merge(*households);
        showChosen(before);
    }
    co_await m_context.guarded(readWhileAsked());
    m_refreshing = false;
    releaseWaiters();
}

void Household::showChosen(const QString &before)
{
    if (!m_choice.shown() || m_choice.shownID() == before)
        return;
    // The last household's room page closes first: its player is not
    // followed again.
    Q_EMIT householdSwitching();
    // Whatever was told of the last household is no newer than this.
    setGroups(m_choice.shown()->groups);
    const QList<ZoneGroup> &shown = m_choice.shown()->groups;
    m_knownHost = shown.isEmpty() ? std::nullopt : std::optional<QString>(shown.front().coordinator.host);
    Q_EMIT groupChosen();
    Q_EMIT householdSwitched();
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
    ++m_searchRestarts;
    m_knownHost.reset();
    m_choice.setFound({});
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
    m_choice.setShownGroups(groups);
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
