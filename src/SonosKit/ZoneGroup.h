#pragma once

#include "SonosDevice.h"

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

    friend bool operator==(const ZoneGroup &, const ZoneGroup &) = default;
};

size_t qHash(const ZoneGroup &group, size_t seed = 0);

// The first group with a room called `name`, ignoring case and accents, so
// that a remembered "cafe" still finds "Café". Whole names only.
std::optional<ZoneGroup> groupForRoom(const QList<ZoneGroup> &groups, const QString &name);

} // namespace SonosKit

template<>
struct std::hash<SonosKit::ZoneGroup> {
    size_t operator()(const SonosKit::ZoneGroup &group) const noexcept { return SonosKit::qHash(group); }
};
