// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "FuzzInput.h"

#include <SonosKit/SOAPClient.h>
#include <SonosKit/SonosError.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SonosKit;
    try {
        const SonosError fault = SOAPClient::parseFault(fuzzText(data, size), QStringLiteral("Play"));
        (void)fault.errorDescription();
    } catch (const SonosError &error) {
        (void)error.errorDescription();
    }
    return 0;
}
