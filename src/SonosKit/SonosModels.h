// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// The records the whole system passes around.
#include "ContentItem.h"
#include "PlaybackState.h"
#include "SonosDevice.h"
#include "SonosError.h"
#include "ZoneGroup.h"
