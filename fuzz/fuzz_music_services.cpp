// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "FuzzInput.h"

#include <SonosKit/MusicServices.h>
#include <SonosKit/SonosError.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SonosKit;
    try {
        (void)MusicServices::parseServices(fuzzText(data, size));
    } catch (const SonosError &) {
    }
    return 0;
}
