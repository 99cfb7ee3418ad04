// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "FuzzInput.h"

#include <SonosKit/XMLText.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    (void)SonosKit::XMLText::seconds(fuzzText(data, size));
    return 0;
}
