// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/StoreTask.h"

#include "SonosKit/CancellationToken.h"

#include <QCoroTask>

#include <memory>
#include <utility>

// Keeps the store's coroutines from touching their owner once it is gone.
//
// A task starts with start(), the only way the store runs work in the
// background, and waits only through guarded() (StoreTask lets a model's
// coroutine wait no other way): when the owner has ended by
// the time the wait is over, guarded() throws Ended instead of resuming the
// task's next step, so no line after a wait can run against freed memory.
// start() swallows Ended and anything else a task lets escape, so nothing
// thrown ever reaches the event loop. Ending cancels the token every request
// is made with, so pending requests stop at once.
class TaskGuard
{
public:
    // Thrown into a task whose owner ended while it waited. Not a
    // std::exception, so a task's own `catch (const std::exception &)`
    // never mistakes it for a failure to report.
    struct Ended {
    };

    TaskGuard() = default;
    TaskGuard(const TaskGuard &) = delete;
    TaskGuard &operator=(const TaskGuard &) = delete;
    ~TaskGuard() { end(); }

    // Every request the owner makes carries this token.
    const SonosKit::CancellationToken &token() const { return m_token; }
    bool ended() const { return !*m_alive; }

    void end()
    {
        if (!*m_alive)
            return;
        // The flag drops first, so a request aborted by the cancellation
        // already finds its owner gone.
        *m_alive = false;
        m_token.cancel();
    }

    template<typename T>
    Guarded<T> guarded(QCoro::Task<T> task) const
    {
        return Guarded<T>(guardedWait(m_alive, std::move(task)));
    }
    template<typename T>
    Guarded<T> guarded(StoreTask<T> task) const
    {
        return guarded(QCoro::Task<T>(std::move(task)));
    }

    template<typename T>
    static void start(QCoro::Task<T> task)
    {
        detached(std::move(task));
    }
    template<typename T>
    static void start(StoreTask<T> task)
    {
        detached(QCoro::Task<T>(std::move(task)));
    }

private:
    template<typename T>
    static QCoro::Task<T> guardedWait(std::shared_ptr<const bool> alive, QCoro::Task<T> task)
    {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await task;
                if (!*alive)
                    throw Ended{};
            } else {
                T value = co_await task;
                if (!*alive)
                    throw Ended{};
                co_return value;
            }
        } catch (const Ended &) {
            throw;
        } catch (...) {
            if (!*alive)
                throw Ended{};
            throw;
        }
    }

    template<typename T>
    static QCoro::Task<void> detached(QCoro::Task<T> task)
    {
        try {
            co_await task;
        } catch (...) {
            // Ended, or a failure a task chose not to report: either way
            // nobody is left to tell.
        }
    }

    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    SonosKit::CancellationToken m_token;
};
