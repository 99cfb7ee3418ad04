// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "ResidentMemory.h"

#include <QFile>

namespace playersim {

namespace {

// A size field of /proc/self/status ("VmRSS:" and so on) in KiB; -1 when unreadable.
qint64 statusField(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qsizetype(qstrlen(name))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

} // namespace

ResidentGrowth::ResidentGrowth()
{
    // "5" resets the peak resident size to the current one.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
    m_before = statusField("VmRSS:");
}

qint64 ResidentGrowth::kib() const
{
    return statusField("VmHWM:") - m_before;
}

} // namespace playersim
