// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/ContentDirectoryEvent.h"

namespace SonosKit {

ContentDirectoryEvent ContentDirectoryEvent::fromProperties(const PropertySet &properties)
{
    return ContentDirectoryEvent{properties.value(u"ContainerUpdateIDs"), properties.value(u"FavoritesUpdateID"),
        properties.value(u"SavedQueuesUpdateID")};
}

} // namespace SonosKit
