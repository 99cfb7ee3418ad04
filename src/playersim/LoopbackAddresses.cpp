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
    if ((value >> 24) != 127)
        return std::nullopt;
    return QStringLiteral("%1.%2.%3.%4").arg(value >> 24).arg((value >> 16) & 255).arg((value >> 8) & 255).arg(value & 255);
}

} // namespace playersim
