// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "HouseholdData.h"

#include <QByteArray>

#include <optional>

namespace playersim {

// Reading and writing the JSON description of a household (the schema is in
// README.md next to this file).
namespace HouseholdJson {

// The household described by `json`; nothing, with a reason naming the
// offending entry, when the text is not a valid description.
std::optional<HouseholdData> parse(const QByteArray &json, QString *error = nullptr);
QByteArray serialize(const HouseholdData &household);

// A UUID in the form players use, derived from a number.
QString uuidFor(quint64 number);

} // namespace HouseholdJson

} // namespace playersim
