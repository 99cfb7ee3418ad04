// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/SonosDevice.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace SonosKit {

// Players that play in sync. The coordinator carries the group's transport.
struct ZoneGroup {
    QString id;
    SonosDevice coordinator;
    QList<SonosDevice> members; // visible members in document order, coordinator included

    // "Kitchen" alone, or "Kitchen + 2" for a group of three.
    QString displayName() const;
    // The coordinator's room first, then the other members' rooms in order.
    QStringList roomNames() const;
    // A member's player is at `host`.
    bool hasMemberAt(const QString &host) const;

    friend bool operator==(const ZoneGroup &, const ZoneGroup &) = default;
};

size_t qHash(const ZoneGroup &group, size_t seed = 0);

// Room names are matched without regard to case or accents, so that a
// remembered "cafe" still finds "Café"; whole names only. `foldedRoomName` is
// the form two names are compared in: two names are the same room exactly
// when their folded forms are equal.
QString foldedRoomName(const QString &name);
bool sameRoomName(const QString &a, const QString &b);

// The first group with a room called `name`.
std::optional<ZoneGroup> groupForRoom(const QList<ZoneGroup> &groups, const QString &name);

// The member of `group` whose room is `room`, looked at in roomNames() order
// (the coordinator first); nothing when no member has that room.
std::optional<SonosDevice> memberForRoom(const ZoneGroup &group, const QString &room);

} // namespace SonosKit

template<>
struct std::hash<SonosKit::ZoneGroup> {
    size_t operator()(const SonosKit::ZoneGroup &group) const noexcept { return SonosKit::qHash(group); }
};
