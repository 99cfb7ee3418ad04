// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/QueueEvent.h"

#include "SonosKit/events/LastChange.h"

namespace SonosKit {

QueueEvent QueueEvent::fromProperties(const PropertySet &properties)
{
    const std::optional<QString> lastChange = properties.value(u"LastChange");
    if (!lastChange || lastChange->trimmed().isEmpty())
        return {};
    return QueueEvent{LastChange::parse(*lastChange, u"QueueID").counter(u"UpdateID")};
}

} // namespace SonosKit
