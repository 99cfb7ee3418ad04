// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QCoroTask>

#include <coroutine>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

class StoreContext;
class TaskGuard;

// A wait through the store's lifetime guard: it ends the task instead of
// resuming it once the store has gone. Only the guard makes one.
template<typename T>
class [[nodiscard]] Guarded
{
public:
    // A free operator taking an rvalue, as QCoro looks for one: a wait is
    // awaited once, where it is made.
    friend auto operator co_await(Guarded &&wait) noexcept { return wait.m_task.operator co_await(); }

private:
    friend class TaskGuard;
    friend class StoreContext;
    explicit Guarded(QCoro::Task<T> task)
        : m_task(std::move(task))
    { }

    QCoro::Task<T> m_task;
};

template<typename T>
class StoreTask;

namespace StoreTaskDetail {
template<typename>
inline constexpr bool unguarded = false;

class PromiseBase
{
public:
    // Lazy: the awaiting side, or start(), runs the first step.
    std::suspend_always initial_suspend() const noexcept { return {}; }

    struct FinalSuspend {
        bool await_ready() const noexcept { return false; }
        template<typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> finished) const noexcept
        {
            const std::coroutine_handle<> next = finished.promise().m_continuation;
            return next ? next : std::noop_coroutine();
        }
        void await_resume() const noexcept { }
    };
    FinalSuspend final_suspend() const noexcept { return {}; }

    void unhandled_exception() noexcept { m_exception = std::current_exception(); }

    // The waits a store task may make: through the guard, or on another
    // store task, which itself resumes only through the guard.
    template<typename U>
    Guarded<U> &&await_transform(Guarded<U> &&wait) const noexcept
    {
        return std::move(wait);
    }
    template<typename U>
    StoreTask<U> &&await_transform(StoreTask<U> &&task) const noexcept
    {
        return std::move(task);
    }
    // Returns an awaitable only so that the assertion is the one error.
    template<typename Awaitable>
    std::suspend_never await_transform(Awaitable &&) const
    {
        static_assert(unguarded<Awaitable>,
            "a store task waits only through StoreContext::guarded() or StoreContext::attempt(): "
            "an unguarded wait could resume after the store has gone");
        return {};
    }

    std::coroutine_handle<> m_continuation;

protected:
    void rethrow() const
    {
        if (m_exception)
            std::rethrow_exception(m_exception);
    }

private:
    std::exception_ptr m_exception;
};

template<typename T>
class Promise : public PromiseBase
{
public:
    StoreTask<T> get_return_object() noexcept;
    template<typename U>
    void return_value(U &&value)
    {
        m_value.emplace(std::forward<U>(value));
    }
    T result()
    {
        rethrow();
        return std::move(*m_value);
    }

private:
    std::optional<T> m_value;
};

template<>
class Promise<void> : public PromiseBase
{
public:
    StoreTask<void> get_return_object() noexcept;
    void return_void() const noexcept { }
    void result() const { rethrow(); }
};
} // namespace StoreTaskDetail

// The coroutine type of the store's models. Inside one, co_await accepts only
// a guarded wait (StoreContext::guarded(), StoreContext::attempt()) or
// another store task, so a line after a wait never runs once the store has
// gone; anything else fails to compile. Awaitable from QCoro::Task
// coroutines and convertible to QCoro::Task for the models' public verbs.
template<typename T>
class [[nodiscard]] StoreTask
{
public:
    using promise_type = StoreTaskDetail::Promise<T>;

    StoreTask(StoreTask &&other) noexcept
        : m_handle(std::exchange(other.m_handle, {}))
    { }
    StoreTask &operator=(StoreTask &&) = delete;
    ~StoreTask()
    {
        if (m_handle)
            m_handle.destroy();
    }

    friend auto operator co_await(StoreTask &&task) noexcept
    {
        struct Awaiter {
            std::coroutine_handle<promise_type> task;
            bool await_ready() const noexcept { return false; }
            std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) const noexcept
            {
                task.promise().m_continuation = awaiting;
                return task;
            }
            T await_resume() const { return task.promise().result(); }
        };
        return Awaiter{task.m_handle};
    }

    // Starts the task, as QCoro::Task runs its coroutine, at once.
    operator QCoro::Task<T>() && { return run(std::move(*this)); }

private:
    friend promise_type;
    explicit StoreTask(std::coroutine_handle<promise_type> handle) noexcept
        : m_handle(handle)
    { }

    static QCoro::Task<T> run(StoreTask task)
    {
        if constexpr (std::is_void_v<T>)
            co_await std::move(task);
        else
            co_return co_await std::move(task);
    }

    std::coroutine_handle<promise_type> m_handle;
};

template<typename T>
StoreTask<T> StoreTaskDetail::Promise<T>::get_return_object() noexcept
{
    return StoreTask<T>(std::coroutine_handle<Promise>::from_promise(*this));
}

inline StoreTask<void> StoreTaskDetail::Promise<void>::get_return_object() noexcept
{
    return StoreTask<void>(std::coroutine_handle<Promise>::from_promise(*this));
}
