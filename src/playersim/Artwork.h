// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

namespace playersim {

// A small PNG cover for a /getaa request: a square whose colour follows the
// query, so different tracks get visibly different art and the same track
// always the same.
QByteArray artworkPng(const QByteArray &query);

} // namespace playersim
