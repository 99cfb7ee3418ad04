// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "FuzzInput.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/SonosError.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SonosKit;
    try {
        for (const ContentItem &item : ContentDirectory::parseDIDL(fuzzText(data, size))) {
            (void)item.browseID();
            (void)item.providerName({});
            (void)qHash(item);
        }
    } catch (const SonosError &) {
    }
    return 0;
}
