// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace SonosKit::Text {

// A decimal integer as players write them: an optional leading '+' or '-', then
// digits only, within the signed 64-bit range. Anything else (spaces included)
// is no number.
std::optional<qint64> parseInteger(QStringView text);

// "H:MM:SS", a time as AVTransport writes it, from whole seconds (none below
// zero); hours do not wrap. `hourDigits` pads the hours ("00:30:00").
QString clock(qint64 seconds, int hourDigits = 1);

// The first `count` characters of `text`, counted in code points so that a
// surrogate pair is never cut in half.
QString leadingCharacters(const QString &text, qsizetype count);

} // namespace SonosKit::Text
