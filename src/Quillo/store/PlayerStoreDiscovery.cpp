// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Finding the household's players and keeping the group list current.
#include "Quillo/store/Failure.h"
#include "Quillo/store/PlayerStore.h"

#include "SonosKit/ZoneTopology.h"

using SonosKit::ZoneGroup;

QCoro::Task<QList<ZoneGroup>> PlayerStore::discoverGroups()
{
    // A typed address wins over everything and is never followed by a
    // search; so is the last player that answered, until it fails once.
    if (m_preferences.hasManualHost())
        co_return co_await guarded(SonosKit::ZoneTopology(*m_preferences.manualHost()).groups(m_tasks.token()));
    if (m_knownHost)
        co_return co_await guarded(SonosKit::ZoneTopology(*m_knownHost).groups(m_tasks.token()));
    co_return co_await guarded(m_settings.findHousehold(m_settings.householdSearchTimeout));
}

QCoro::Task<void> PlayerStore::refreshTopology()
{
    if (m_household.groups().isEmpty())
        m_household.setStatus(StoreStatus::searching());

    QList<ZoneGroup> found;
    std::optional<Failure> failure;
    try {
        found = co_await discoverGroups();
    } catch (const std::exception &error) {
        failure.emplace(error);
    }

    if (!failure) {
        if (!found.isEmpty())
            m_connectionCheck.setDiagnosis(std::nullopt);
        m_household.setGroups(found);
        m_knownHost = found.isEmpty() ? std::nullopt : std::optional<QString>(found.front().coordinator.host);
        m_household.setStatus(found.isEmpty() ? StoreStatus::noPlayersFound() : StoreStatus::ready());
        if (!m_preferences.selectedRoomName())
            setSelectedRoomName(found.isEmpty() ? std::nullopt : std::optional<QString>(found.front().coordinator.roomName));
        if (found.isEmpty())
            TaskGuard::start(diagnoseConnection());
        co_return;
    }

    // The group list stays as it was: a player that briefly stops answering
    // does not empty the panel. The reason is shown only for a typed address.
    m_knownHost.reset();
    if (failure->isSonosError() && !failure->isNoPlayersFound() && m_preferences.manualHost())
        report(*failure);
    else
        m_household.setStatus(StoreStatus::noPlayersFound());
    // With speakers on the panel a passing failure needs no explaining.
    if (m_household.groups().isEmpty())
        TaskGuard::start(diagnoseConnection());
}

QCoro::Task<void> PlayerStore::diagnoseConnection()
{
    if (!m_settings.examineConnection || m_connectionCheck.isExamining())
        co_return;
    SonosKit::ConnectionDoctor::Options options;
    if (m_preferences.hasManualHost()) {
        // The user named the speaker: ask it, and search nothing.
        options.manualHost = m_preferences.manualHost();
        options.search = false;
    }
    m_connectionCheck.setExamining(true);
    SonosKit::Diagnosis diagnosis = co_await guarded(m_settings.examineConnection(std::move(options)));
    m_connectionCheck.setExamining(false);
    // Speakers found while the doctor looked: nothing left to explain.
    if (m_household.groups().isEmpty())
        m_connectionCheck.setDiagnosis(std::move(diagnosis));
}

void PlayerStore::retryDiscovery(const QString &host)
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
    m_household.setGroups({});
    m_library.setFavorites({});
    TaskGuard::start(retryTask());
}

QCoro::Task<void> PlayerStore::retryTask()
{
    co_await guarded(refreshTopology());
    co_await guarded(loadFavorites());
}
