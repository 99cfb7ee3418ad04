// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <functional>

namespace bench {

// Serves the event loop until `condition` holds or `limit` passes. It sleeps
// between looks, so waiting costs no wakeups of its own beyond one per look.
inline void serveEventsUntil(const std::function<bool()> &condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    if (condition())
        return;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (condition() || std::chrono::steady_clock::now() >= deadline)
            loop.quit();
    });
    look.start(5);
    loop.exec();
}

} // namespace bench
