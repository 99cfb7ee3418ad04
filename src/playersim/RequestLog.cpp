// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "RequestLog.h"

namespace playersim {

quint64 RequestLog::append(LoggedRequest request)
{
    quint64 sequence = 0;
    {
        std::lock_guard lock(m_mutex);
        request.sequence = sequence = m_next++;
        // The observer reads the request after the lock; only then is a copy kept.
        m_requests.push_back(m_observer ? request : std::move(request));
    }
    if (m_observer)
        m_observer(request);
    return sequence;
}

void RequestLog::setObserver(std::function<void(const LoggedRequest &)> observer)
{
    m_observer = std::move(observer);
}

void RequestLog::markAnswered(quint64 sequence)
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_requests.rbegin(); it != m_requests.rend(); ++it) {
        if (it->sequence == sequence) {
            it->answered = std::chrono::steady_clock::now();
            return;
        }
    }
}

std::vector<LoggedRequest> RequestLog::all() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::vector<LoggedRequest> RequestLog::forPlayer(const QString &address) const
{
    std::lock_guard lock(m_mutex);
    std::vector<LoggedRequest> found;
    for (const auto &request : m_requests)
        if (request.player == address)
            found.push_back(request);
    return found;
}

std::vector<SoapCall> RequestLog::calls(const QString &action) const
{
    std::lock_guard lock(m_mutex);
    std::vector<SoapCall> found;
    for (const auto &request : m_requests)
        if (!request.call.action.isEmpty() && (action.isEmpty() || request.call.action == action))
            found.push_back(request.call);
    return found;
}

void RequestLog::clear()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

} // namespace playersim
