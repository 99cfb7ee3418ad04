// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Must compile: every wait a store task may make, and every way the rest of
// the program may run one.
#include "Quillo/store/StoreContext.h"

QCoro::Task<int> request();

StoreTask<int> guardedRead(const StoreContext &context)
{
    const int value = co_await context.guarded(request());
    const Attempt<int> again = co_await context.attempt(request());
    co_return again ? value + *again : value;
}

StoreTask<int> nestedRead(const StoreContext &context)
{
    co_return co_await guardedRead(context) + co_await context.guarded(guardedRead(context));
}

QCoro::Task<int> publicRead(const StoreContext &context)
{
    return nestedRead(context);
}

QCoro::Task<void> caller(const StoreContext &context)
{
    co_await nestedRead(context);
    StoreContext::start(nestedRead(context));
}
