// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SimTypes.h"

#include <httplib.h>

#include <atomic>
#include <functional>

namespace playersim {

// httplib's server, which refuses every method it does not know with 400,
// taught the two that players answer on their event URLs: a SUBSCRIBE or
// UNSUBSCRIBE is read here with http_parser and answered by `events`; any
// other request goes to httplib's own processing, unchanged.
class EventAwareServer : public httplib::Server
{
public:
    using EventAnswerer = std::function<Answer(EventRequest)>;
    // Bounds of a subscription request: players' requests are a few hundred
    // bytes and come at once.
    static constexpr qsizetype maximumRequestBytes = 16 * 1024;
    static constexpr int timeoutMilliseconds = 5000;

    explicit EventAwareServer(EventAnswerer events);

    // Ends the wait for a silent connection's first bytes; call before
    // stop(), which waits for every connection being served.
    void beginStop() { m_stopping = true; }
    // A player switched off: every connection is held without a byte of
    // answer until the client gives up, the silence ends or the server stops.
    void setSilent(bool silent) { m_silent = silent; }

private:
    bool process_and_close_socket(socket_t sock) override;
    void answerEventRequest(int sock);
    void holdSilently(int sock);

    EventAnswerer m_events;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_silent{false};
};

} // namespace playersim
