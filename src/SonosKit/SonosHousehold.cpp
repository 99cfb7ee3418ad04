// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SonosHousehold.h"

namespace SonosKit {

int SonosHousehold::roomCount() const
{
    int rooms = 0;
    for (const ZoneGroup &group : groups)
        rooms += int(group.members.size());
    return rooms;
}

std::optional<int> generationOf(const QList<ZoneGroup> &groups)
{
    // A household never mixes generations; a member without SWGen runs
    // firmware from before there were two.
    for (const ZoneGroup &group : groups) {
        for (const SonosDevice &member : group.members) {
            if (member.softwareGeneration)
                return member.softwareGeneration;
        }
    }
    return std::nullopt;
}

} // namespace SonosKit
