// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/AlarmEvent.h"

#include "SonosKit/AlarmClock.h"

namespace SonosKit {

AlarmEvent AlarmEvent::fromProperties(const PropertySet &properties)
{
    return AlarmEvent{AlarmClock::listVersion(properties.value(u"AlarmListVersion"))};
}

} // namespace SonosKit
