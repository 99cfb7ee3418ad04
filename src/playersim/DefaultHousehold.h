// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "HouseholdData.h"

namespace playersim {

// The household every test and the demo start from unless told otherwise:
// six rooms in three groups (a home theatre with its sub and surrounds), a
// bridge, eight music services, two dozen favorites of every kind, three
// Sonos Playlists, a small library and a loaded queue.
HouseholdData defaultHouseholdData();

} // namespace playersim
