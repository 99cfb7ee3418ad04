// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/GroupRenderingEvent.h"

#include "SonosKit/events/RenderingEvent.h"

namespace SonosKit {

GroupRenderingEvent GroupRenderingEvent::fromProperties(const PropertySet &properties)
{
    GroupRenderingEvent event;
    if (const std::optional<QString> volume = properties.value(u"GroupVolume"))
        event.volume = eventVolume(*volume);
    if (const std::optional<QString> mute = properties.value(u"GroupMute"))
        event.muted = eventBoolean(*mute);
    return event;
}

} // namespace SonosKit
