// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/events/PropertySet.h"

#include <QString>

#include <optional>

namespace SonosKit {

// Which lists of the content directory changed: update ids to compare with
// the ones last seen, as the player wrote them.
struct ContentDirectoryEvent {
    std::optional<QString> containerUpdateIDs; // "Q:0,12" pairs of container and id
    std::optional<QString> favoritesUpdateID;
    std::optional<QString> savedQueuesUpdateID;

    static ContentDirectoryEvent fromProperties(const PropertySet &properties);

    friend bool operator==(const ContentDirectoryEvent &, const ContentDirectoryEvent &) = default;
};

} // namespace SonosKit
