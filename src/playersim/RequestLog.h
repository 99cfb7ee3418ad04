// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SimTypes.h"

#include <functional>
#include <mutex>
#include <vector>

namespace playersim {

// Every request any player of a household received, in order of arrival.
// Shared by the players' server threads and read by tests.
class RequestLog
{
public:
    quint64 append(LoggedRequest request);
    // Told of every request as it arrives, on the thread that received it
    // and never under the log's lock; set before the players start.
    void setObserver(std::function<void(const LoggedRequest &)> observer);
    void markAnswered(quint64 sequence);
    std::vector<LoggedRequest> all() const;
    std::vector<LoggedRequest> forPlayer(const QString &address) const;
    // SOAP calls only, optionally only those of one action.
    std::vector<SoapCall> calls(const QString &action = {}) const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<LoggedRequest> m_requests;
    quint64 m_next = 1;
    std::function<void(const LoggedRequest &)> m_observer;
};

} // namespace playersim
