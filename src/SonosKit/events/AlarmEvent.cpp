// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/AlarmEvent.h"

#include "SonosKit/AlarmClock.h"
#include "SonosKit/SonosError.h"

namespace SonosKit {

AlarmEvent AlarmEvent::fromProperties(const PropertySet &properties)
{
    const std::optional<QString> version = properties.value(u"AlarmListVersion");
    if (!version || version->trimmed().isEmpty())
        return {};
    if (version->size() > AlarmClock::maximumVersionLength)
        throw SonosError::malformedResponse(
            QStringLiteral("AlarmListVersion is longer than %1 characters").arg(AlarmClock::maximumVersionLength));
    return AlarmEvent{version->trimmed()};
}

} // namespace SonosKit
