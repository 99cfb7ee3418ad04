// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/HouseholdChoice.h"

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
        // Members that do not say their generation leave it as it was.
        if (!household.generation)
            household.generation = known->generation;
        *known = std::move(household);
        reselect();
        return;
    }
    QList<SonosHousehold> households = m_households;
    households.append(std::move(household));
    setFound(std::move(households));
}

void HouseholdChoice::merge(QList<SonosHousehold> households)
{
    if (const SonosHousehold *current = shown()) {
        const auto found = std::find_if(households.begin(), households.end(),
            [current](const SonosHousehold &candidate) { return candidate.id == current->id; });
        if (found != households.end())
            *found = *current;
        else
            households.append(*current);
    }
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
    if (withID(id) == m_households.cend() || id == m_shownID)
        return;
    m_preferences.setSelectedHousehold(id);
    reselect();
    Q_EMIT chosen();
}

QList<SonosHousehold>::const_iterator HouseholdChoice::withID(const QString &id) const
{
    return std::find_if(
        m_households.cbegin(), m_households.cend(), [&id](const SonosHousehold &candidate) { return candidate.id == id; });
}

void HouseholdChoice::reselect()
{
    // The remembered household; else the one shown, so that a household
    // found later takes nothing over; else the first of the most rooms (the
    // search lists them that way already, an update may have changed the
    // counts since).
    const std::optional<QString> &remembered = m_preferences.selectedHousehold();
    auto shown = remembered ? withID(*remembered) : m_households.cend();
    if (shown == m_households.cend() && !m_shownID.isEmpty())
        shown = withID(m_shownID);
    if (shown == m_households.cend())
        shown = std::max_element(m_households.cbegin(), m_households.cend(),
            [](const SonosHousehold &a, const SonosHousehold &b) { return a.roomCount() < b.roomCount(); });
    const bool found = shown != m_households.cend();
    const int index = found ? int(shown - m_households.cbegin()) : -1;
    m_shownID = found ? shown->id : QString();
    const bool moved = index != m_shownIndex;
    m_shownIndex = index;

    // The entries last: whoever hears of them finds the choice made.
    QList<HouseholdEntry> entries;
    entries.reserve(m_households.size());
    for (const SonosHousehold &household : std::as_const(m_households))
        entries.append({household.id, HouseholdEntry::labelFor(household)});
    m_list.setItems(std::move(entries));
    if (moved)
        Q_EMIT shownIndexChanged();
}
