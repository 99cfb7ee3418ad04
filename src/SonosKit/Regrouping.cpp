// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/Regrouping.h"

#include <algorithm>

namespace SonosKit::Regrouping {

namespace {

// `groups` without `room`; a group it led goes on under its next member, a
// group of it alone goes away. Returns where the group it was in stood.
qsizetype takeOut(QList<ZoneGroup> &groups, const SonosDevice &room)
{
    for (qsizetype i = 0; i < groups.size(); ++i) {
        ZoneGroup &group = groups[i];
        if (!group.members.removeOne(room))
            continue;
        if (group.members.isEmpty()) {
            groups.removeAt(i);
        } else if (group.coordinator == room) {
            group.coordinator = group.members.front();
        }
        return i;
    }
    return -1;
}

} // namespace

QList<ZoneGroup> joined(QList<ZoneGroup> groups, const SonosDevice &room, const QString &groupID)
{
    const auto target = std::find_if(groups.cbegin(), groups.cend(), [&](const ZoneGroup &g) { return g.id == groupID; });
    if (target == groups.cend() || target->members.contains(room))
        return groups;
    takeOut(groups, room);
    for (ZoneGroup &group : groups)
        if (group.id == groupID)
            group.members.append(room);
    return groups;
}

QList<ZoneGroup> left(QList<ZoneGroup> groups, const SonosDevice &room)
{
    const auto holder = std::find_if(
        groups.cbegin(), groups.cend(), [&](const ZoneGroup &g) { return g.members.contains(room); });
    if (holder == groups.cend() || holder->members.size() < 2)
        return groups;
    const qsizetype at = takeOut(groups, room);
    groups.insert(at + 1, ZoneGroup{room.id(), room, {room}});
    return groups;
}

} // namespace SonosKit::Regrouping
