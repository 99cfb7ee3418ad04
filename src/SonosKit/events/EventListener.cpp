// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/EventListener.h"

#include "SonosKit/SonosError.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <http_parser.h>

#include <algorithm>
#include <limits>

namespace SonosKit {

namespace {

// One read takes at most this much, so that a flood on one connection never
// holds the event loop for long.
constexpr qint64 readChunkBytes = 64 * 1024;
constexpr QLatin1StringView routePrefix("/events/");

quint32 nextSequence(quint32 sequence)
{
    // The count wraps to 1, not 0: 0 is the first event of a subscription.
    return sequence == std::numeric_limits<quint32>::max() ? 1 : sequence + 1;
}

// Whether `sequence` was delivered already, `expected` being what comes
// next: counted modulo 2^32, half the range behind. The first event (0)
// starts a count and is never behind.
bool isBehind(quint32 sequence, quint32 expected)
{
    if (expected == 0)
        return false;
    const quint32 distance = expected - sequence;
    return distance != 0 && distance < (quint32(1) << 31);
}

QByteArray statusLine(int status)
{
    switch (status) {
    case 200:
        return "200 OK";
    case 400:
        return "400 Bad Request";
    case 403:
        return "403 Forbidden";
    case 404:
        return "404 Not Found";
    case 405:
        return "405 Method Not Allowed";
    case 412:
        return "412 Precondition Failed";
    case 413:
        return "413 Payload Too Large";
    default:
        return QByteArray::number(status);
    }
}

// SEQ is a decimal count of 32 bits.
std::optional<quint32> parseSequence(const QByteArray &text)
{
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok);
    if (!ok || value > std::numeric_limits<quint32>::max() || text.trimmed().startsWith('+'))
        return std::nullopt;
    return quint32(value);
}

} // namespace

// One connection of a player delivering a notification: read with
// http_parser as it arrives, answered and closed once judged.
class EventConnection : public QObject
{
public:
    EventConnection(EventListener *listener, QTcpSocket *socket)
        : QObject(listener)
        , m_listener(listener)
        , m_socket(socket)
        , m_peer(socket->peerAddress())
    {
        socket->setParent(this);
        // Qt stops reading from the kernel when its buffer is full: a body
        // refused at its headers is never read whole.
        socket->setReadBufferSize(readChunkBytes);
        http_parser_init(&m_parser, HTTP_REQUEST);
        m_parser.data = this;
        ++m_listener->m_openConnections;
        ++m_listener->m_connectionsByPeer[m_peer];
        connect(socket, &QTcpSocket::readyRead, this, &EventConnection::readAvailable);
        connect(socket, &QTcpSocket::disconnected, this, &EventConnection::finish);
        connect(socket, &QTcpSocket::errorOccurred, this, &EventConnection::finish);
        QTimer::singleShot(EventListener::connectionLimit, this, &EventConnection::finish);
        readAvailable();
    }

    ~EventConnection() override
    {
        --m_listener->m_openConnections;
        if (--m_listener->m_connectionsByPeer[m_peer] <= 0)
            m_listener->m_connectionsByPeer.remove(m_peer);
    }

private:
    static const http_parser_settings &settings()
    {
        static const http_parser_settings parserSettings = [] {
            http_parser_settings s;
            http_parser_settings_init(&s);
            s.on_url = [](http_parser *p, const char *at, size_t length) {
                return self(p)->appendBounded(self(p)->m_url, at, length);
            };
            s.on_header_field = [](http_parser *p, const char *at, size_t length) {
                EventConnection *c = self(p);
                if (c->m_inValue) {
                    c->storeHeader();
                    c->m_inValue = false;
                }
                return c->appendBounded(c->m_field, at, length);
            };
            s.on_header_value = [](http_parser *p, const char *at, size_t length) {
                EventConnection *c = self(p);
                c->m_inValue = true;
                return c->appendBounded(c->m_value, at, length);
            };
            s.on_headers_complete = [](http_parser *p) { return self(p)->headersComplete(); };
            s.on_body = [](http_parser *p, const char *at, size_t length) { return self(p)->appendBody(at, length); };
            s.on_message_complete = [](http_parser *p) { return self(p)->messageComplete(); };
            return s;
        }();
        return parserSettings;
    }

    static EventConnection *self(http_parser *parser) { return static_cast<EventConnection *>(parser->data); }

    // URL and header pieces are small in any real notification; http_parser
    // bounds the whole head as well.
    int appendBounded(QByteArray &into, const char *at, size_t length)
    {
        static constexpr qsizetype headerPieceLimit = 8 * 1024;
        if (into.size() + qsizetype(length) > headerPieceLimit) {
            answer(400);
            return 1;
        }
        into.append(at, qsizetype(length));
        return 0;
    }

    void storeHeader()
    {
        const QByteArray name = m_field.trimmed().toUpper();
        if (name == "NT")
            m_nt = m_value.trimmed();
        else if (name == "NTS")
            m_nts = m_value.trimmed();
        else if (name == "SID")
            m_sid = m_value.trimmed();
        else if (name == "SEQ")
            m_seq = m_value.trimmed();
        m_field.clear();
        m_value.clear();
    }

    int headersComplete()
    {
        if (m_inValue)
            storeHeader();
        if (m_parser.method != HTTP_NOTIFY)
            return answer(405);
        http_parser_url url;
        http_parser_url_init(&url);
        if (http_parser_parse_url(m_url.constData(), size_t(m_url.size()), 0, &url) != 0 || !(url.field_set & (1 << UF_PATH)))
            return answer(400);
        m_path = QString::fromLatin1(m_url.mid(url.field_data[UF_PATH].off, url.field_data[UF_PATH].len));
        const auto route = m_listener->m_routes.constFind(m_path);
        if (route == m_listener->m_routes.cend())
            return answer(404);
        // Before anything of the body: another player has no say here.
        if (!m_peer.isEqual(route->player, QHostAddress::TolerantConversion))
            return answer(403);
        if (m_parser.content_length != std::numeric_limits<uint64_t>::max()
            && m_parser.content_length > uint64_t(EventListener::maximumBodyBytes))
            return answer(413);
        if (m_nt != "upnp:event" || m_nts != "upnp:propchange")
            return answer(400);
        const std::optional<quint32> sequence = parseSequence(m_seq);
        if (!sequence)
            return answer(400);
        m_sequence = *sequence;
        const int status = m_listener->admit(m_path, QString::fromLatin1(m_sid), m_sequence);
        if (status != 200)
            return answer(status);
        return 0;
    }

    int appendBody(const char *at, size_t length)
    {
        if (m_body.size() + qsizetype(length) > EventListener::maximumBodyBytes)
            return answer(413);
        m_body.append(at, qsizetype(length));
        return 0;
    }

    int messageComplete()
    {
        // A refused request still reaches its end when http_parser skips its
        // body; it is delivered nowhere.
        if (m_answered)
            return 1;
        answer(200);
        // Delivered after the answer went out, so that the player never waits
        // on the parsing.
        QPointer<EventListener> listener = m_listener;
        EventListener::Notification notification{m_path, QString::fromLatin1(m_sid), m_sequence, std::move(m_body)};
        QMetaObject::invokeMethod(
            m_listener,
            [listener, notification = std::move(notification)] {
                if (listener)
                    listener->deliver(notification);
            },
            Qt::QueuedConnection);
        return 1;
    }

    // Writes the answer and closes; returns non-zero so that http_parser
    // stops at once.
    int answer(int status)
    {
        if (m_answered)
            return 1;
        m_answered = true;
        m_socket->write("HTTP/1.1 " + statusLine(status) + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        m_socket->disconnectFromHost();
        return 1;
    }

    void readAvailable()
    {
        while (!m_answered && m_socket->bytesAvailable() > 0) {
            const QByteArray chunk = m_socket->read(readChunkBytes);
            if (chunk.isEmpty())
                break;
            const size_t parsed = http_parser_execute(&m_parser, &settings(), chunk.constData(), size_t(chunk.size()));
            // Anything http_parser could not read is garbage: closed without
            // a word.
            if (!m_answered && (HTTP_PARSER_ERRNO(&m_parser) != HPE_OK || parsed != size_t(chunk.size()))) {
                finish();
                return;
            }
        }
    }

    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        m_socket->disconnect(this);
        m_socket->abort();
        deleteLater();
    }

    EventListener *const m_listener;
    QTcpSocket *const m_socket;
    const QHostAddress m_peer;
    http_parser m_parser;
    QByteArray m_url;
    QByteArray m_field;
    QByteArray m_value;
    bool m_inValue = false;
    QByteArray m_nt;
    QByteArray m_nts;
    QByteArray m_sid;
    QByteArray m_seq;
    QString m_path;
    quint32 m_sequence = 0;
    QByteArray m_body;
    bool m_answered = false;
    bool m_finished = false;
};

EventListener::EventListener(QObject *parent)
    : QObject(parent)
{ }

EventListener::~EventListener()
{
    // Each connection counts itself out of this listener as it goes, so it
    // must go while the listener is still one, not from QObject's destructor.
    const QObjectList children = this->children();
    for (QObject *child : children)
        delete dynamic_cast<EventConnection *>(child);
}

void EventListener::listen(const QHostAddress &address)
{
    if (isListeningOn(address))
        return;
    // One port for every address where it can be, so that a firewall rule
    // for one covers them all.
    QList<quint16> ports;
    if (!m_servers.isEmpty())
        ports.append(m_servers.first()->serverPort());
    for (quint32 port = firstPort; port <= lastPort; ++port) {
        if (!ports.contains(quint16(port)))
            ports.append(quint16(port));
    }
    auto *server = new QTcpServer(this);
    for (const quint16 port : std::as_const(ports)) {
        if (server->listen(address, port)) {
            m_servers.append(server);
            connect(server, &QTcpServer::newConnection, this, [this, server] { acceptConnections(server); });
            return;
        }
    }
    const QString reason = server->errorString();
    delete server;
    throw SonosError::network({NetworkFailure::Source::posix, 0,
        QStringLiteral("Could not receive updates from the speakers: no port from %1 to %2 is free on %3 (%4).")
            .arg(firstPort)
            .arg(lastPort)
            .arg(address.toString(), reason)});
}

bool EventListener::isListening() const
{
    return std::any_of(m_servers.cbegin(), m_servers.cend(), [](const QTcpServer *server) { return server->isListening(); });
}

bool EventListener::isListeningOn(const QHostAddress &address) const
{
    return std::any_of(m_servers.cbegin(), m_servers.cend(),
        [&address](const QTcpServer *server) { return server->serverAddress() == address; });
}

QHostAddress EventListener::address() const
{
    return m_servers.isEmpty() ? QHostAddress() : m_servers.first()->serverAddress();
}

quint16 EventListener::port() const
{
    return m_servers.isEmpty() ? 0 : m_servers.first()->serverPort();
}

QList<QHostAddress> EventListener::addresses() const
{
    QList<QHostAddress> list;
    for (const QTcpServer *server : m_servers)
        list.append(server->serverAddress());
    return list;
}

QString EventListener::addRoute(EventService service, const QString &playerHost)
{
    QString path;
    do {
        path = routePrefix + QString::number(QRandomGenerator::system()->generate64(), 16);
    } while (m_routes.contains(path));
    m_routes.insert(path, Route{service, playerHost, QHostAddress(playerHost), {}, 0});
    return path;
}

void EventListener::setSubscriptionID(const QString &path, const QString &sid)
{
    const auto route = m_routes.find(path);
    if (route == m_routes.end() || route->subscriptionID == sid)
        return;
    route->subscriptionID = sid;
    route->expectedSequence = 0;
}

void EventListener::removeRoute(const QString &path)
{
    m_routes.remove(path);
}

const QTcpServer *EventListener::serverFor(const QHostAddress &localAddress) const
{
    const QTcpServer *anyAddress = nullptr;
    for (const QTcpServer *server : m_servers) {
        const QHostAddress listened = server->serverAddress();
        if (!localAddress.isNull() && listened == localAddress)
            return server;
        if (!anyAddress && (listened == QHostAddress(QHostAddress::AnyIPv4) || listened == QHostAddress(QHostAddress::Any)))
            anyAddress = server;
    }
    if (anyAddress)
        return anyAddress;
    return m_servers.isEmpty() ? nullptr : m_servers.first();
}

QHostAddress EventListener::callbackAddress(const QHostAddress &localAddress) const
{
    const QTcpServer *server = serverFor(localAddress);
    if (!server)
        return {};
    const QHostAddress listened = server->serverAddress();
    if (listened == QHostAddress(QHostAddress::AnyIPv4) || listened == QHostAddress(QHostAddress::Any))
        return localAddress;
    return listened;
}

QString EventListener::callbackURL(const QString &path, const QHostAddress &localAddress) const
{
    const QTcpServer *server = serverFor(localAddress);
    return QStringLiteral("http://%1:%2%3")
        .arg(callbackAddress(localAddress).toString())
        .arg(server ? server->serverPort() : 0)
        .arg(path);
}

void EventListener::acceptConnections(QTcpServer *server)
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        // A stranger is closed before it holds a slot or is read at all, and
        // no one player may take every slot.
        const QHostAddress peer = socket->peerAddress();
        if (!isSubscribedPlayer(peer) || m_openConnections >= maximumConnections
            || m_connectionsByPeer.value(peer) >= maximumConnectionsPerPeer) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new EventConnection(this, socket);
    }
}

bool EventListener::isSubscribedPlayer(const QHostAddress &peer) const
{
    // Mapped IPv4 addresses compare equal to plain ones.
    return std::any_of(m_routes.cbegin(), m_routes.cend(),
        [&peer](const Route &route) { return peer.isEqual(route.player, QHostAddress::TolerantConversion); });
}

int EventListener::admit(const QString &path, const QString &sid, quint32 sequence)
{
    const auto route = m_routes.find(path);
    if (route == m_routes.end())
        return 404;
    if (sid.isEmpty())
        return 412;
    if (route->subscriptionID.isEmpty()) {
        // The answer to SUBSCRIBE has not arrived yet: only the first event
        // of a subscription may name it.
        if (sequence != 0)
            return 412;
        route->subscriptionID = sid;
        route->expectedSequence = 0;
        return 200;
    }
    return route->subscriptionID == sid ? 200 : 412;
}

void EventListener::deliver(const Notification &notification)
{
    const auto route = m_routes.find(notification.path);
    if (route == m_routes.end() || route->subscriptionID != notification.subscriptionID)
        return;
    // A late notification, older than one already delivered (a player may
    // open several connections at once), would put older state back.
    if (isBehind(notification.sequence, route->expectedSequence))
        return;
    const bool inOrder = notification.sequence == route->expectedSequence;
    route->expectedSequence = nextSequence(notification.sequence);
    const EventService service = route->service;
    const QString playerHost = route->playerHost;
    if (!inOrder)
        Q_EMIT eventsLost(notification.path, notification.subscriptionID);
    try {
        ReceivedEvent received{notification.path, notification.subscriptionID, notification.sequence, service, playerHost,
            parseServiceEvent(service, notification.body, playerHost)};
        Q_EMIT eventReceived(received);
    } catch (const SonosError &) {
        if (inOrder)
            Q_EMIT eventsLost(notification.path, notification.subscriptionID);
    }
}

} // namespace SonosKit
