// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "FuzzInput.h"

#include <SonosKit/SonosError.h>
#include <SonosKit/ZoneTopology.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SonosKit;
    try {
        const QList<ZoneGroup> groups = ZoneTopology::parseGroups(fuzzText(data, size));
        for (const ZoneGroup &group : groups) {
            (void)group.displayName();
            (void)groupForRoom(groups, group.coordinator.roomName);
            (void)qHash(group);
        }
    } catch (const SonosError &) {
    }
    return 0;
}
