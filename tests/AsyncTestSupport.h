// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "TestPrinters.h"

#include "SonosKit/BoundedRead.h"

#include <QCoroTask>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>

namespace testsupport {

// For the end of a test program: requests the last test left waiting end
// now, and the network session goes, as in a program that ends.
inline void endPendingRequests()
{
    constexpr std::chrono::seconds limit{1};
    SonosKit::BoundedRead::finish(limit);
}

namespace detail {

struct Nothing {
};

// What a task of T leaves behind: its value, or Nothing for a void task.
template<typename T>
using Value = std::conditional_t<std::is_void_v<T>, Nothing, T>;

template<typename T>
struct Outcome {
    bool finished = false;
    std::exception_ptr failure;
    std::optional<Value<T>> value;
    QEventLoop *loop = nullptr;
};

// The outcome lives on the heap so that a task finishing after the test gave
// up on it writes into memory that still exists.
template<typename T>
QCoro::Task<void> collect(QCoro::Task<T> task, std::shared_ptr<Outcome<T>> outcome)
{
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome->value.emplace();
        } else {
            outcome->value.emplace(co_await std::move(task));
        }
    } catch (...) {
        outcome->failure = std::current_exception();
    }
    outcome->finished = true;
    if (outcome->loop)
        outcome->loop->quit();
}

} // namespace detail

// Runs `task` on this thread's event loop until it finishes; throws if it has
// not finished within `limit`. The task's own exceptions are rethrown here.
template<typename T>
T await(QCoro::Task<T> task, std::chrono::milliseconds limit = std::chrono::seconds(30))
{
    auto outcome = std::make_shared<detail::Outcome<T>>();
    auto collector = detail::collect(std::move(task), outcome);
    if (!outcome->finished) {
        QEventLoop loop;
        outcome->loop = &loop;
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        loop.exec();
        outcome->loop = nullptr;
    }
    if (!outcome->finished)
        throw std::runtime_error("the operation did not finish in time");
    if (outcome->failure)
        std::rethrow_exception(outcome->failure);
    if constexpr (!std::is_void_v<T>)
        return std::move(*outcome->value);
}

// The error a task fails with; a test failure (and nothing) when it succeeds.
template<typename Error, typename T>
std::optional<Error> failureOf(QCoro::Task<T> task, std::chrono::milliseconds limit = std::chrono::seconds(30))
{
    try {
        await(std::move(task), limit);
    } catch (const Error &error) {
        return error;
    }
    ADD_FAILURE() << "expected the operation to fail";
    return std::nullopt;
}

// How late a 10 ms timer on this thread fired at worst while it lived: a
// blocked event loop shows as a late tick.
class MainThreadWatch
{
public:
    MainThreadWatch()
    {
        m_clock.start();
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_worst = std::max(m_worst, m_clock.restart() - 10); });
        m_timer.start(10);
    }
    qint64 worstLatenessMs() const { return m_worst; }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_worst = 0;
};

} // namespace testsupport
