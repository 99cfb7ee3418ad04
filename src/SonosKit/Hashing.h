// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QHashFunctions>

#include <optional>

namespace SonosKit {

// Presence first, then the value: an absent text must not hash like an empty one.
template<typename T>
size_t hashOptional(const std::optional<T> &value, size_t seed)
{
    seed = qHashMulti(seed, value.has_value());
    return value ? qHashMulti(seed, *value) : seed;
}

} // namespace SonosKit
