// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "LoopbackAddresses.h"

#include <QStringList>

namespace playersim {

std::optional<QString> loopbackAddress(const QString &first, int offset)
{
    const QStringList parts = first.split(QLatin1Char('.'));
    if (parts.size() != 4 || offset < 0)
        return std::nullopt;
    quint64 value = 0;
    for (const QString &part : parts) {
        bool ok = false;
        const uint byte = part.toUInt(&ok);
        if (!ok || byte > 255 || part.isEmpty() || part.size() > 3)
            return std::nullopt;
        value = (value << 8) | byte;
    }
    value += quint64(offset);
    // Only loopback: the household must never answer on a real network.
    // Inside the namespace harness (tests/netns/run-in-netns) its LANs'
    // 10.77.0.0/16 exist in that namespace alone, so players may stand there.
    const bool harnessLan = (value >> 16) == ((10u << 8) | 77u) && qEnvironmentVariableIsSet("QUILLO_TEST_NETNS");
    if ((value >> 24) != 127 && !harnessLan)
        return std::nullopt;
    return QStringLiteral("%1.%2.%3.%4").arg(value >> 24).arg((value >> 16) & 255).arg((value >> 8) & 255).arg(value & 255);
}

} // namespace playersim
