// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "EventAwareServer.h"
#include "RequestLog.h"
#include "SimTypes.h"

#include <QHash>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace playersim {

// The HTTP face of one simulated player: a real HTTP server on address:port
// serving the UPnP control paths (and any GET the household adds), logging
// every request and misbehaving on demand. Requests are served on the
// server's own threads; handlers must be thread-safe.
class SimServer
{
public:
    using SoapHandler = std::function<Answer(const SoapCall &)>;
    using GetHandler = std::function<std::optional<Answer>(const QByteArray &path, const QByteArray &query)>;
    using EventHandler = std::function<Answer(const EventRequest &)>;

    SimServer(QString address, quint16 port, std::shared_ptr<RequestLog> log);
    ~SimServer();
    SimServer(const SimServer &) = delete;
    SimServer &operator=(const SimServer &) = delete;

    // Binds and starts serving; false (with a reason) when the address can't be bound.
    bool start(QString *error = nullptr);
    void stop();
    bool isRunning() const { return m_running; }

    QString address() const { return m_address; }
    quint16 port() const { return m_port; }

    void setSoapHandler(SoapHandler handler);
    void setGetHandler(GetHandler handler);
    // SUBSCRIBE and UNSUBSCRIBE, which httplib itself does not serve.
    void setEventHandler(EventHandler handler);
    // The Server header real players send: "Linux UPnP/1.0 Sonos/<version> (<model>)".
    void setServerHeader(QByteArray value);

    // As a player whose owner switched UPnP off in the Sonos app: every
    // request on the port is refused with 403 Forbidden (searches are still
    // answered, by the SSDP responder).
    void setUpnpOff(bool off) { m_upnpOff = off; }
    // As a player switched off: connections are held without a byte of
    // answer (see EventAwareServer::setSilent).
    void setSilent(bool silent);

    // Applies to requests for `action`; an empty action means every request.
    // A fault for the exact action wins over the catch-all one.
    void inject(const QString &action, Fault fault);
    void clearFaults();

private:
    std::optional<Fault> takeFault(const QString &action);
    Answer answerEvent(EventRequest request);

    const QString m_address;
    const quint16 m_port;
    std::shared_ptr<RequestLog> m_log;
    std::unique_ptr<EventAwareServer> m_server;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_upnpOff{false};
    std::atomic<bool> m_silent{false};
    std::shared_ptr<std::atomic<bool>> m_stopping;

    mutable std::mutex m_mutex; // guards the members below
    SoapHandler m_soapHandler;
    GetHandler m_getHandler;
    EventHandler m_eventHandler;
    QByteArray m_serverHeader = "Linux UPnP/1.0 Sonos/79.1-56030 (ZPS12)";
    QHash<QString, Fault> m_faults;
};

} // namespace playersim
