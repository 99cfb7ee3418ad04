// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/ZoneGroup.h"

#include <algorithm>

namespace SonosKit {

// Case and accents are both dropped: decompose, throw away the combining
// marks, then fold case. QCollator cannot ignore accents for equality.
QString foldedRoomName(const QString &name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_KD);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            stripped += c;
    }
    return stripped.toCaseFolded();
}

bool sameRoomName(const QString &a, const QString &b)
{
    return a == b || foldedRoomName(a) == foldedRoomName(b);
}

QString ZoneGroup::displayName() const
{
    if (members.size() <= 1)
        return coordinator.roomName;
    return coordinator.roomName + QStringLiteral(" + ") + QString::number(members.size() - 1);
}

QStringList ZoneGroup::roomNames() const
{
    QStringList names{coordinator.roomName};
    for (const SonosDevice &member : members) {
        if (member.uuid != coordinator.uuid)
            names += member.roomName;
    }
    return names;
}

bool ZoneGroup::hasMemberAt(const QString &host) const
{
    return std::any_of(members.cbegin(), members.cend(), [&host](const SonosDevice &member) { return member.host == host; });
}

size_t qHash(const ZoneGroup &group, size_t seed)
{
    seed = qHashMulti(seed, group.id, group.coordinator);
    return qHashRange(group.members.cbegin(), group.members.cend(), seed);
}

std::optional<ZoneGroup> groupForRoom(const QList<ZoneGroup> &groups, const QString &name)
{
    const QString wanted = foldedRoomName(name);
    for (const ZoneGroup &group : groups) {
        const QStringList rooms = group.roomNames();
        for (const QString &room : rooms) {
            if (foldedRoomName(room) == wanted)
                return group;
        }
    }
    return std::nullopt;
}

std::optional<SonosDevice> memberForRoom(const ZoneGroup &group, const QString &room)
{
    const QString wanted = foldedRoomName(room);
    if (foldedRoomName(group.coordinator.roomName) == wanted)
        return group.coordinator;
    for (const SonosDevice &member : group.members) {
        if (member.uuid != group.coordinator.uuid && foldedRoomName(member.roomName) == wanted)
            return member;
    }
    return std::nullopt;
}

} // namespace SonosKit
