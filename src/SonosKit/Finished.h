// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QCoroFuture>
#include <QFuture>
#include <QPromise>

#include <mutex>
#include <utility>

namespace SonosKit::SonosDiscovery::detail {

// Makes the completion of a wait happen exactly once when several events (a
// deadline, a browser or connection reporting from its own thread) race to
// complete it. Only the test-and-set happens under the lock; whatever the
// winner does next happens outside it.
struct Finished {
    std::mutex lock;
    bool done = false;

    // True for the one caller that gets to complete the wait.
    bool claim()
    {
        std::lock_guard guard(lock);
        if (done)
            return false;
        done = true;
        return true;
    }

    bool isDone()
    {
        std::lock_guard guard(lock);
        return done;
    }
};

// A wait completed once from any thread. Awaiting future() with QCoro resumes
// the awaiting coroutine on its own thread (through a QFutureWatcher), so the
// main-thread caller never runs on a poll or pool thread.
template<typename T>
class OneShot
{
public:
    OneShot() { m_promise.start(); }
    OneShot(const OneShot &) = delete;
    OneShot &operator=(const OneShot &) = delete;

    QFuture<T> future() { return m_promise.future(); }

    // False when another event got there first; the value is then dropped.
    bool finish(T value)
    {
        if (!m_finished.claim())
            return false;
        m_promise.addResult(std::move(value));
        m_promise.finish();
        return true;
    }

    bool isDone() { return m_finished.isDone(); }

private:
    Finished m_finished;
    QPromise<T> m_promise;
};

} // namespace SonosKit::SonosDiscovery::detail
