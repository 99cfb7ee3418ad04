// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "EventAwareServer.h"

#include <http_parser.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace playersim {

namespace {

constexpr int stopCheckMilliseconds = 50;

bool waitFor(int sock, short events, int milliseconds)
{
    pollfd entry{sock, events, 0};
    return ::poll(&entry, 1, milliseconds) > 0 && (entry.revents & (events | POLLHUP | POLLERR));
}

void endpoint(int sock, bool peer, std::string &ip, int &port)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int result = peer ? getpeername(sock, reinterpret_cast<sockaddr *>(&address), &length)
                            : getsockname(sock, reinterpret_cast<sockaddr *>(&address), &length);
    if (result != 0 || address.ss_family != AF_INET)
        return;
    const auto *in = reinterpret_cast<const sockaddr_in *>(&address);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
    ip = text;
    port = ntohs(in->sin_port);
}

// httplib's own socket stream is internal to it; this one does what its
// request processing needs of a plain socket, with the same timeouts.
class PlainSocketStream : public httplib::Stream
{
public:
    explicit PlainSocketStream(int sock)
        : m_sock(sock)
    { }
    bool is_readable() const override { return waitFor(m_sock, POLLIN, EventAwareServer::timeoutMilliseconds); }
    bool is_writable() const override { return waitFor(m_sock, POLLOUT, EventAwareServer::timeoutMilliseconds); }
    ssize_t read(char *ptr, size_t size) override
    {
        if (!is_readable())
            return -1;
        return ::recv(m_sock, ptr, size, 0);
    }
    ssize_t write(const char *ptr, size_t size) override
    {
        if (!is_writable())
            return -1;
        return ::send(m_sock, ptr, size, MSG_NOSIGNAL);
    }
    void get_remote_ip_and_port(std::string &ip, int &port) const override { endpoint(m_sock, true, ip, port); }
    void get_local_ip_and_port(std::string &ip, int &port) const override { endpoint(m_sock, false, ip, port); }
    socket_t socket() const override { return m_sock; }

private:
    int m_sock;
};

struct ParsedRequest {
    QByteArray url;
    Headers headers;
    QByteArray field;
    QByteArray value;
    bool inValue = false;
    bool complete = false;

    void storeHeader()
    {
        if (!field.isEmpty())
            headers.append({field, value.trimmed()});
        field.clear();
        value.clear();
        inValue = false;
    }
};

const http_parser_settings &requestSettings()
{
    static const http_parser_settings settings = [] {
        http_parser_settings s;
        http_parser_settings_init(&s);
        s.on_url = [](http_parser *p, const char *at, size_t length) {
            static_cast<ParsedRequest *>(p->data)->url.append(at, qsizetype(length));
            return 0;
        };
        s.on_header_field = [](http_parser *p, const char *at, size_t length) {
            auto *r = static_cast<ParsedRequest *>(p->data);
            if (r->inValue)
                r->storeHeader();
            r->field.append(at, qsizetype(length));
            return 0;
        };
        s.on_header_value = [](http_parser *p, const char *at, size_t length) {
            auto *r = static_cast<ParsedRequest *>(p->data);
            r->inValue = true;
            r->value.append(at, qsizetype(length));
            return 0;
        };
        s.on_headers_complete = [](http_parser *p) {
            auto *r = static_cast<ParsedRequest *>(p->data);
            if (r->inValue)
                r->storeHeader();
            return 0;
        };
        s.on_message_complete = [](http_parser *p) {
            static_cast<ParsedRequest *>(p->data)->complete = true;
            return 0;
        };
        return s;
    }();
    return settings;
}

void sendAll(int sock, const QByteArray &bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size() && waitFor(sock, POLLOUT, EventAwareServer::timeoutMilliseconds)) {
        const ssize_t n = ::send(sock, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += n;
    }
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 412:
        return "Precondition Failed";
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

} // namespace

EventAwareServer::EventAwareServer(EventAnswerer events)
    : m_events(std::move(events))
{ }

bool EventAwareServer::process_and_close_socket(socket_t sock)
{
    static constexpr char subscribe[] = "SUBSCRIBE ";
    static constexpr char unsubscribe[] = "UNSUBSCRIBE ";
    if (m_silent) {
        holdSilently(sock);
        ::close(sock);
        return true;
    }
    char head[sizeof unsubscribe] = {};
    ssize_t peeked = 0;
    // A client may connect and never send (a controller that gave up on a
    // request before it left); stop() must not wait out its silence.
    for (int waited = 0; waited < timeoutMilliseconds && !m_stopping; waited += stopCheckMilliseconds) {
        if (waitFor(sock, POLLIN, stopCheckMilliseconds)) {
            peeked = ::recv(sock, head, sizeof head - 1, MSG_PEEK);
            break;
        }
    }
    bool result = true;
    if (peeked > 0
        && (std::strncmp(head, subscribe, std::min<size_t>(peeked, sizeof subscribe - 1)) == 0
            || std::strncmp(head, unsubscribe, std::min<size_t>(peeked, sizeof unsubscribe - 1)) == 0)) {
        answerEventRequest(sock);
    } else if (peeked > 0) {
        // Players answer one request per connection.
        PlainSocketStream stream(sock);
        bool closed = false;
        result = process_request(stream, true, closed, nullptr);
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return result;
}

void EventAwareServer::holdSilently(int sock)
{
    // What a client with a total deadline sees of a switched-off player on
    // a LAN: no answer at all. What it sends is read and thrown away, so
    // that it never blocks on a full window.
    char sink[4096];
    while (m_silent && !m_stopping) {
        if (!waitFor(sock, POLLIN, stopCheckMilliseconds))
            continue;
        if (::recv(sock, sink, sizeof sink, 0) <= 0)
            return;
    }
}

void EventAwareServer::answerEventRequest(int sock)
{
    ParsedRequest request;
    http_parser parser;
    http_parser_init(&parser, HTTP_REQUEST);
    parser.data = &request;
    qsizetype total = 0;
    char buffer[4096];
    while (!request.complete && total < maximumRequestBytes && waitFor(sock, POLLIN, timeoutMilliseconds)) {
        const ssize_t n = ::recv(sock, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        total += n;
        const size_t parsed = http_parser_execute(&parser, &requestSettings(), buffer, size_t(n));
        if (HTTP_PARSER_ERRNO(&parser) != HPE_OK || parsed != size_t(n))
            break;
    }
    Answer answer{400, {}, {}, {}};
    if (request.complete && (parser.method == HTTP_SUBSCRIBE || parser.method == HTTP_UNSUBSCRIBE)) {
        EventRequest event;
        event.method = parser.method == HTTP_SUBSCRIBE ? "SUBSCRIBE" : "UNSUBSCRIBE";
        http_parser_url url;
        http_parser_url_init(&url);
        if (http_parser_parse_url(request.url.constData(), size_t(request.url.size()), 0, &url) == 0
            && (url.field_set & (1 << UF_PATH)))
            event.path = request.url.mid(url.field_data[UF_PATH].off, url.field_data[UF_PATH].len);
        event.headers = request.headers;
        std::string ip;
        int port = 0;
        endpoint(sock, true, ip, port);
        event.remoteAddress = QString::fromStdString(ip);
        answer = m_events(std::move(event));
    }
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonPhrase(answer.status) + "\r\n";
    for (const auto &[name, value] : answer.headers)
        bytes += name + ": " + value + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\nConnection: close\r\n\r\n" + answer.body;
    sendAll(sock, bytes);
}

} // namespace playersim
