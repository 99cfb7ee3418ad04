#pragma once

// The records the whole system passes around.
#include "ContentItem.h"
#include "PlaybackState.h"
#include "SonosDevice.h"
#include "SonosError.h"
#include "ZoneGroup.h"
