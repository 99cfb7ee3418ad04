// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SonosDevice.h"

namespace SonosKit {

QString SonosDevice::id() const
{
    return uuid.isEmpty() ? host : uuid;
}

size_t qHash(const SonosDevice &device, size_t seed)
{
    // An absent model name must hash apart from an empty one.
    return qHashMulti(seed, device.host, device.uuid, device.roomName, device.modelName.has_value(),
        device.modelName.value_or(QString()), device.softwareGeneration.value_or(0));
}

} // namespace SonosKit
