// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <utility>

// The setter every model writes: store `value` and emit `changed` only when
// it differs, so that observers hear of real changes only. True when it did.
template<typename Object, typename Member, typename Value>
bool assignNotifying(Object *object, Member &member, Value &&value, void (Object::*changed)())
{
    if (member == value)
        return false;
    member = std::forward<Value>(value);
    Q_EMIT(object->*changed)();
    return true;
}
