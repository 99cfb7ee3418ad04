// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include <SonosKit/ServiceEvent.h>
#include <SonosKit/SonosError.h>

#include <QByteArray>

// The first byte picks the service, the rest is a NOTIFY body as the
// listener hands it to the parser.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace SonosKit;
    if (size == 0)
        return 0;
    static constexpr EventService services[] = {EventService::avTransport, EventService::renderingControl,
        EventService::groupRenderingControl, EventService::zoneGroupTopology, EventService::contentDirectory};
    const EventService service = services[data[0] % std::size(services)];
    try {
        (void)parseServiceEvent(
            service, QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)), QStringLiteral("10.0.0.5"));
    } catch (const SonosError &) {
    }
    return 0;
}
