// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/HouseholdChoice.h"

#include "Quillo/models/Notify.h"
#include "Quillo/store/Preferences.h"

#include <algorithm>

using SonosKit::SonosHousehold;

HouseholdChoice::HouseholdChoice(Preferences &preferences, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
{ }

const SonosHousehold *HouseholdChoice::shown() const
{
    return m_shownIndex < 0 ? nullptr : &m_households.at(m_shownIndex);
}

bool HouseholdChoice::standsIn() const
{
    const std::optional<QString> &remembered = m_preferences.selectedHousehold();
    return remembered && !m_shownID.isEmpty() && *remembered != m_shownID;
}

void HouseholdChoice::setFound(QList<SonosHousehold> households)
{
    const bool several = hasSeveral();
    m_households = std::move(households);
    reselect();
    if (several != hasSeveral())
        Q_EMIT hasSeveralChanged();
}

void HouseholdChoice::update(SonosHousehold household)
{
    const auto known = std::find_if(m_households.begin(), m_households.end(),
        [&household](const SonosHousehold &candidate) { return candidate.id == household.id; });
    if (known != m_households.end()) {
        *known = std::move(household);
        reselect();
        return;
    }
    QList<SonosHousehold> households = m_households;
    households.append(std::move(household));
    setFound(std::move(households));
}

void HouseholdChoice::setShownGroups(const QList<SonosKit::ZoneGroup> &groups)
{
    if (m_shownIndex < 0)
        return;
    m_households[m_shownIndex].groups = groups;
    reselect();
}

void HouseholdChoice::select(const QString &id)
{
    const bool found = std::any_of(
        m_households.cbegin(), m_households.cend(), [&id](const SonosHousehold &candidate) { return candidate.id == id; });
    if (!found || id == m_shownID)
        return;
    m_preferences.setSelectedHousehold(id);
    reselect();
    Q_EMIT chosen();
}

void HouseholdChoice::reselect()
{
    const std::optional<QString> &remembered = m_preferences.selectedHousehold();
    auto shown = m_households.cend();
    if (remembered)
        shown = std::find_if(m_households.cbegin(), m_households.cend(),
            [&remembered](const SonosHousehold &candidate) { return candidate.id == *remembered; });
    // The first of the most rooms: the search lists them that way already,
    // an update may have changed the counts since.
    if (shown == m_households.cend())
        shown = std::max_element(m_households.cbegin(), m_households.cend(),
            [](const SonosHousehold &a, const SonosHousehold &b) { return a.roomCount() < b.roomCount(); });
    if (shown != m_households.cend() && !remembered)
        m_preferences.setSelectedHousehold(shown->id);

    QList<HouseholdEntry> entries;
    entries.reserve(m_households.size());
    for (const SonosHousehold &household : std::as_const(m_households))
        entries.append({household.id, HouseholdEntry::labelFor(household)});
    m_list.setItems(std::move(entries));
    m_shownID = shown == m_households.cend() ? QString() : shown->id;
    assignNotifying(this, m_shownIndex, shown == m_households.cend() ? -1 : int(shown - m_households.cbegin()),
        &HouseholdChoice::shownIndexChanged);
}
