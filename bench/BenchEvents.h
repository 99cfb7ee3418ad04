// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

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

// The longest the main thread was away while it was watching: a 1 ms timer
// beside the work tells how late it came.
class StallWatch
{
public:
    StallWatch()
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_sinceTick.restart()); });
    }
    void start()
    {
        m_sinceTick.start();
        m_ticker.start(1);
    }
    void stop() { m_ticker.stop(); }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One line per figure: how many of `rounds` completed, their median and the
// worst; the benchmarks' printing is compared between runs, so it is one form.
inline void printFigures(const char *what, std::vector<double> figures, int rounds)
{
    if (figures.empty()) {
        std::printf("%s: no round completed\n", what);
        return;
    }
    const double worst = *std::max_element(figures.cbegin(), figures.cend());
    const size_t completed = figures.size();
    std::printf("%s (%zu of %d): median %.2f ms, worst %.2f ms\n", what, completed, rounds, median(std::move(figures)), worst);
}

} // namespace bench
