// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Household.h"

using SonosKit::ZoneGroup;

void Household::setGroups(QList<ZoneGroup> groups)
{
    if (!m_groups.setItems(std::move(groups)))
        return;
    Q_EMIT groupsChanged();
    updateSelection();
}

void Household::setSelectedRoomName(const std::optional<QString> &room)
{
    if (room == m_selectedRoomName)
        return;
    m_selectedRoomName = room;
    updateSelection();
}

void Household::setStatus(StoreStatus status)
{
    if (status == m_status)
        return;
    m_status = std::move(status);
    Q_EMIT statusChanged();
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
    if (group != m_selectedGroup) {
        m_selectedGroup = std::move(group);
        Q_EMIT selectedGroupChanged();
    }
    if (index != m_selectedGroupIndex) {
        m_selectedGroupIndex = index;
        Q_EMIT selectedGroupIndexChanged();
    }
}
