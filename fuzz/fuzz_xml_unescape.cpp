// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "FuzzInput.h"

#include <SonosKit/XMLText.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SonosKit;
    const QString text = fuzzText(data, size);
    const QString unescaped = XMLText::unescape(text);
    // Escaping then unescaping gives back any text.
    if (XMLText::unescape(XMLText::escape(text)) != text)
        std::abort();
    (void)unescaped;
    return 0;
}
