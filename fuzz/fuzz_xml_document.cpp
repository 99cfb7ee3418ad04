// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "FuzzInput.h"

#include <SonosKit/SonosError.h>
#include <SonosKit/XMLText.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SonosKit;
    try {
        const XMLNode root = XMLText::document(fuzzText(data, size)).root();
        if (root.isNull())
            return 0;
        // Walk what was parsed the way the readers do.
        (void)root.serialized();
        (void)XMLText::text(root, u"s:Body");
        for (const XMLNode &node : XMLText::descendants(root, u"item"))
            (void)node.attribute(u"id");
    } catch (const SonosError &) {
    }
    return 0;
}
