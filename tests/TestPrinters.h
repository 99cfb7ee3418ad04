// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// Readable gtest output for Qt values.

#include <SonosKit/SonosError.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *out)
{
    *out << '"' << bytes.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace SonosKit {
inline void PrintTo(const SonosError &error, std::ostream *out)
{
    *out << "SonosError(" << int(error.kind()) << "): " << error.errorDescription().left(300).toStdString();
}
} // namespace SonosKit
