// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

namespace playersim {

// The address `offset` places after `first` ("127.0.0.11" + 2 is
// "127.0.0.13", carrying into the higher bytes); nothing when `first` is no
// dotted IPv4 address or the result would leave 127.0.0.0/8 (or, inside the
// network namespace harness, its LANs' 10.77.0.0/16).
std::optional<QString> loopbackAddress(const QString &first, int offset);

} // namespace playersim
