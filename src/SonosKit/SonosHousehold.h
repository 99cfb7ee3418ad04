// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/ZoneGroup.h"

#include <QList>
#include <QString>

#include <optional>

namespace SonosKit {

// One Sonos system on the network: its players share a household id, and
// only they appear in its groups. Two systems (an older S1 one beside a
// current S2 one, or two homes in one building) are two households.
struct SonosHousehold {
    QString id; // "Sonos_…" as the players say it; never empty in a discovery result
    std::optional<int> generation; // 1 (S1) or 2 (S2), when the members say
    QList<ZoneGroup> groups; // sorted as ZoneTopology sorts them
    QString host; // the player the groups were read from

    // The rooms a listener can pick: every visible member of every group.
    int roomCount() const;

    friend bool operator==(const SonosHousehold &, const SonosHousehold &) = default;
};

// The generation the members of `groups` report: the first one that says.
std::optional<int> generationOf(const QList<ZoneGroup> &groups);

} // namespace SonosKit
