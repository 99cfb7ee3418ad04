// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "HouseholdData.h"

namespace playersim {

// The software version older players report once they stay on the previous
// generation (S1): build 57, what their SERVER header and device
// description carry.
QString s1SoftwareVersion();

// A second, older household sharing the network with the default one: an S1
// system of two rooms, "Garage" alone and "Workshop" as a stereo pair (two
// players, one of them invisible), with favorites, a Sonos Playlist and a
// queue of its own, and its own household id.
HouseholdData secondHouseholdData();

} // namespace playersim
