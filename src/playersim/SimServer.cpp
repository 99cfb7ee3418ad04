// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SimServer.h"

#include "EventAwareServer.h"
#include "SoapMessages.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace playersim {

namespace {

const char *const controlPaths[] = {
    "/MediaRenderer/AVTransport/Control",
    "/MediaRenderer/RenderingControl/Control",
    "/MediaRenderer/GroupRenderingControl/Control",
    "/MediaServer/ContentDirectory/Control",
    "/ZoneGroupTopology/Control",
    "/MusicServices/Control",
};

// httplib hides the socket of a request. Find it by its two endpoints among
// this process's descriptors and close it with SO_LINGER 0, which makes the
// kernel answer with a TCP reset, as a crashing player would.
void resetConnection(const httplib::Request &request)
{
    DIR *fds = opendir("/proc/self/fd");
    if (!fds)
        return;
    while (dirent *entry = readdir(fds)) {
        const int fd = atoi(entry->d_name);
        if (fd <= 2)
            continue;
        sockaddr_storage peer{};
        socklen_t peerLength = sizeof peer;
        sockaddr_storage local{};
        socklen_t localLength = sizeof local;
        if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &peerLength) != 0
            || getsockname(fd, reinterpret_cast<sockaddr *>(&local), &localLength) != 0 || peer.ss_family != AF_INET)
            continue;
        const auto *p = reinterpret_cast<sockaddr_in *>(&peer);
        const auto *l = reinterpret_cast<sockaddr_in *>(&local);
        char peerText[INET_ADDRSTRLEN] = {};
        char localText[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &p->sin_addr, peerText, sizeof peerText);
        inet_ntop(AF_INET, &l->sin_addr, localText, sizeof localText);
        if (ntohs(p->sin_port) == request.remote_port && request.remote_addr == peerText
            && ntohs(l->sin_port) == request.local_port && request.local_addr == localText) {
            linger hard{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            shutdown(fd, SHUT_RDWR);
            break;
        }
    }
    closedir(fds);
}

// Sleeps in short steps so that stopping the server is never held up.
void sleepUnlessStopping(std::chrono::milliseconds duration, const std::atomic<bool> &stopping)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (!stopping && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(std::chrono::milliseconds(10),
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                + std::chrono::milliseconds(1)));
}

class SmallPool : public httplib::TaskQueue
{
public:
    explicit SmallPool(size_t threads)
        : m_pool(threads)
    { }
    void enqueue(std::function<void()> fn) override { m_pool.enqueue(std::move(fn)); }
    void shutdown() override { m_pool.shutdown(); }

private:
    httplib::ThreadPool m_pool;
};

} // namespace

SimServer::SimServer(QString address, quint16 port, std::shared_ptr<RequestLog> log)
    : m_address(std::move(address))
    , m_port(port)
    , m_log(log ? std::move(log) : std::make_shared<RequestLog>())
    , m_stopping(std::make_shared<std::atomic<bool>>(false))
{ }

SimServer::~SimServer()
{
    stop();
}

void SimServer::setSoapHandler(SoapHandler handler)
{
    std::lock_guard lock(m_mutex);
    m_soapHandler = std::move(handler);
}

void SimServer::setGetHandler(GetHandler handler)
{
    std::lock_guard lock(m_mutex);
    m_getHandler = std::move(handler);
}

void SimServer::setEventHandler(EventHandler handler)
{
    std::lock_guard lock(m_mutex);
    m_eventHandler = std::move(handler);
}

Answer SimServer::answerEvent(EventRequest request)
{
    request.player = m_address;
    LoggedRequest logged;
    logged.player = m_address;
    logged.method = request.method;
    logged.path = request.path;
    logged.headers = request.headers;
    logged.received = std::chrono::steady_clock::now();
    const quint64 sequence = m_log->append(logged);
    EventHandler handler;
    QByteArray serverHeader;
    {
        std::lock_guard lock(m_mutex);
        handler = m_eventHandler;
        serverHeader = m_serverHeader;
    }
    Answer answer = handler ? handler(request) : Answer{404, {}, {}, {}};
    answer.headers.append({"Server", serverHeader});
    m_log->markAnswered(sequence);
    return answer;
}

void SimServer::setServerHeader(QByteArray value)
{
    std::lock_guard lock(m_mutex);
    m_serverHeader = std::move(value);
}

void SimServer::setSilent(bool silent)
{
    m_silent = silent;
    // Called from the thread that starts and stops the server.
    if (m_server)
        m_server->setSilent(silent);
}

void SimServer::inject(const QString &action, Fault fault)
{
    std::lock_guard lock(m_mutex);
    m_faults.insert(action, std::move(fault));
}

void SimServer::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

std::optional<Fault> SimServer::takeFault(const QString &action)
{
    std::lock_guard lock(m_mutex);
    for (const QString &key : {action, QString()}) {
        auto it = m_faults.find(key);
        if (it == m_faults.end())
            continue;
        Fault fault = *it;
        if (it->remaining > 0 && --it->remaining == 0)
            m_faults.erase(it);
        return fault;
    }
    return std::nullopt;
}

bool SimServer::start(QString *error)
{
    if (m_running)
        return true;
    m_stopping->store(false);
    m_server = std::make_unique<EventAwareServer>([this](EventRequest request) { return answerEvent(std::move(request)); });
    m_server->setSilent(m_silent);
    m_server->new_task_queue = [] { return new SmallPool(6); };
    // Players answer one request per connection.
    m_server->set_keep_alive_max_count(1);
    m_server->set_payload_max_length(8 * 1024 * 1024);

    auto handle = [this](const httplib::Request &request, httplib::Response &response) {
        LoggedRequest logged;
        logged.player = m_address;
        logged.method = QByteArray::fromStdString(request.method);
        logged.path = QByteArray::fromStdString(request.path);
        for (const auto &[name, value] : request.headers)
            logged.headers.append({QByteArray::fromStdString(name), QByteArray::fromStdString(value)});
        logged.body = QByteArray::fromStdString(request.body);
        // Players never compress their answers; httplib would gzip any text
        // answer to a client that accepts it (as Qt's does).
        const_cast<httplib::Request &>(request).headers.erase("Accept-Encoding");
        logged.received = std::chrono::steady_clock::now();

        std::optional<Answer> answer;
        QString action;
        if (request.method == "POST") {
            if (auto call = parseSoapRequest(logged.header("SOAPACTION"), logged.body)) {
                call->player = m_address;
                call->controlPath = QString::fromUtf8(logged.path);
                logged.call = *call;
                action = call->action;
            }
        }
        const quint64 sequence = m_log->append(logged);
        const std::optional<Fault> fault = takeFault(action);

        if (fault && fault->delay.count() > 0)
            sleepUnlessStopping(fault->delay, *m_stopping);
        if (fault && fault->reset) {
            resetConnection(request);
            m_log->markAnswered(sequence);
            return;
        }
        if (m_upnpOff) {
            answer = Answer{403, "<html><body><h1>403 Forbidden</h1></body></html>", "text/html", {}};
        } else if (fault && fault->answer) {
            answer = fault->answer;
        } else {
            SoapHandler soapHandler;
            GetHandler getHandler;
            {
                std::lock_guard lock(m_mutex);
                soapHandler = m_soapHandler;
                getHandler = m_getHandler;
            }
            if (request.method == "POST") {
                if (logged.call.action.isEmpty())
                    answer = soapFault(401, QStringLiteral("Invalid Action"));
                else if (soapHandler)
                    answer = soapHandler(logged.call);
                else
                    answer = soapFault(401, QStringLiteral("Invalid Action"));
            } else if (getHandler) {
                QByteArray query;
                if (const auto q = request.target.find('?'); q != std::string::npos)
                    query = QByteArray::fromStdString(request.target.substr(q + 1));
                answer = getHandler(logged.path, query);
            }
        }
        if (!answer)
            answer = Answer{404, "<html><body><h1>404 Not Found</h1></body></html>", "text/html", {}};

        {
            std::lock_guard lock(m_mutex);
            response.set_header("Server", m_serverHeader.toStdString());
        }
        // httplib adds "Connection: close" itself once the one request per
        // connection is used up; setting it here too sent the header twice.
        for (const auto &[name, value] : answer->headers)
            response.set_header(name.toStdString(), value.toStdString());
        response.status = answer->status;

        auto body = std::make_shared<std::string>(answer->body.toStdString());
        const std::string contentType = answer->contentType.toStdString();
        if (fault && (fault->stallAfterBytes || fault->trickleInterval.count() > 0)) {
            const Fault f = *fault;
            auto stopping = m_stopping;
            response.set_content_provider(
                body->size(), contentType.c_str(), [body, f, stopping](size_t offset, size_t, httplib::DataSink &sink) {
                    if (f.stallAfterBytes) {
                        const size_t sent = std::min(body->size(), size_t(*f.stallAfterBytes));
                        if (offset < sent)
                            sink.write(body->data() + offset, sent - offset);
                        // Silence until the client gives up or the server stops.
                        sleepUnlessStopping(std::chrono::minutes(5), *stopping);
                        return false;
                    }
                    const size_t chunk = std::min(body->size() - offset, size_t(std::max<qsizetype>(1, f.trickleChunk)));
                    sleepUnlessStopping(f.trickleInterval, *stopping);
                    if (*stopping)
                        return false;
                    return sink.write(body->data() + offset, chunk);
                });
        } else {
            response.set_content(*body, contentType.c_str());
        }
        m_log->markAnswered(sequence);
    };

    for (const char *path : controlPaths)
        m_server->Post(path, handle);
    m_server->Post(".*", handle);
    m_server->Get(".*", handle);

    if (!m_server->bind_to_port(m_address.toStdString(), m_port)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1:%2").arg(m_address).arg(m_port);
        m_server.reset();
        return false;
    }
    m_running = true;
    m_thread = std::thread([server = m_server.get()] { server->listen_after_bind(); });
    // httplib's stop() does nothing until the accept loop runs; wait for it so
    // that stopping right after starting never leaves the thread serving.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m_server->is_running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    return true;
}

void SimServer::stop()
{
    if (!m_running)
        return;
    m_stopping->store(true);
    m_server->beginStop();
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
    m_server.reset();
    m_running = false;
}

} // namespace playersim
