// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// The records the whole system passes around.
#include "SonosKit/ContentItem.h"
#include "SonosKit/PlaybackState.h"
#include "SonosKit/SonosDevice.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/ZoneGroup.h"
