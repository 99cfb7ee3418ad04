// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Must not compile: a store task that waits past the store's guard.
#include "Quillo/store/StoreTask.h"

QCoro::Task<int> request();

StoreTask<void> unguardedRead()
{
    co_await request();
}
