// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "EventSubscription.h"

#include "EventListener.h"
#include "Text.h"

#include <QCoreApplication>
#include <QCoroNetworkReply>
#include <QCoroSignal>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace SonosKit {

namespace {

constexpr quint16 playerPort = 1400;
constexpr std::chrono::seconds shortestRenewal{1};

QNetworkAccessManager *session()
{
    // Kept for the life of the process, like the SOAP client's session.
    static QNetworkAccessManager *const manager = [] {
        auto *m = new QNetworkAccessManager;
        m->setProxy(QNetworkProxy::NoProxy);
        m->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        return m;
    }();
    return manager;
}

// "Second-1800"; "infinite" and anything unreadable count as the request.
std::chrono::seconds durationFromTimeout(const QByteArray &timeout, std::chrono::seconds requested)
{
    const QByteArray text = timeout.trimmed();
    if (text.startsWith("Second-")) {
        if (const std::optional<qint64> seconds = Text::parseInteger(QString::fromLatin1(text.mid(7))); seconds && *seconds > 0)
            return std::chrono::seconds(*seconds);
    }
    return requested;
}

SonosError cancelled()
{
    return SonosError::network({NetworkFailure::Source::http, QNetworkReply::OperationCanceledError,
        QStringLiteral("The request was cancelled."), true});
}

} // namespace

EventSubscription::EventSubscription(
    EventListener *listener, QString playerHost, EventService service, std::chrono::seconds duration, QObject *parent)
    : QObject(parent)
    , m_listener(listener)
    , m_playerHost(std::move(playerHost))
    , m_service(service)
    , m_requested(duration)
{
    m_renewal.setSingleShot(true);
    m_firstEvent.setSingleShot(true);
    m_firstEvent.setInterval(firstEventLimit);
    connect(&m_renewal, &QTimer::timeout, this, [this] { renew(this); });
    connect(&m_firstEvent, &QTimer::timeout, this, [this] {
        if (!m_sawEvent)
            Q_EMIT eventsBlocked();
    });
    m_path = listener->addRoute(service, m_playerHost);
    connect(listener, &EventListener::eventReceived, this, [this](const ReceivedEvent &event) {
        if (event.path != m_path)
            return;
        m_sawEvent = true;
        m_firstEvent.stop();
        Q_EMIT eventReceived(event.event, event.sequence);
    });
    connect(listener, &EventListener::eventsLost, this, [this](const QString &path) {
        if (path == m_path)
            Q_EMIT eventsLost();
    });
}

EventSubscription::~EventSubscription()
{
    if (m_listener)
        m_listener->removeRoute(m_path);
}

QHostAddress EventSubscription::localAddressToward(const QString &host)
{
    // A datagram socket "connected" to the player sends nothing, yet the
    // kernel picks the route and the source address a connection would use:
    // a VPN or a bridge that does not lead to the player is never chosen.
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(playerPort);
    if (inet_pton(AF_INET, host.toLatin1().constData(), &target.sin_addr) != 1)
        return {};
    const int sock = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return {};
    QHostAddress local;
    sockaddr_in source{};
    socklen_t length = sizeof source;
    if (::connect(sock, reinterpret_cast<sockaddr *>(&target), sizeof target) == 0
        && ::getsockname(sock, reinterpret_cast<sockaddr *>(&source), &length) == 0)
        local = QHostAddress(ntohl(source.sin_addr.s_addr));
    ::close(sock);
    return local;
}

QCoro::Task<EventSubscription::Grant> EventSubscription::request(
    QString url, QList<std::pair<QByteArray, QByteArray>> headers, QByteArray verb, double timeout, CancellationToken cancel)
{
    if (cancel.isCancelled())
        throw cancelled();
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(int(timeout * 1000));
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    struct DeleteLater {
        void operator()(QNetworkReply *reply) const { reply->deleteLater(); }
    };
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(session()->sendCustomRequest(request, verb));
    bool wasCancelled = false;
    const QMetaObject::Connection onCancel = cancel.onCancel(reply.get(), [&wasCancelled, r = reply.get()] {
        wasCancelled = true;
        r->abort();
    });
    if (!reply->isFinished())
        co_await qCoro(reply.get(), &QNetworkReply::finished);
    QObject::disconnect(onCancel);
    if (wasCancelled)
        throw cancelled();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0) {
        const QString description = reply->error() == QNetworkReply::OperationCanceledError
            ? QStringLiteral("The player at %1 did not answer the request for updates within %2 seconds.")
                  .arg(QUrl(url).host())
                  .arg(timeout)
            : reply->errorString();
        throw SonosError::network({NetworkFailure::Source::http, int(reply->error()), description});
    }
    if (status != 200)
        throw SonosError::httpStatus(status, QString::fromUtf8(reply->readAll()));
    co_return Grant{QString::fromLatin1(reply->rawHeader("SID").trimmed()),
        durationFromTimeout(reply->rawHeader("TIMEOUT"), std::chrono::seconds(0))};
}

void EventSubscription::accept(const Grant &grant)
{
    m_sid = grant.sid;
    m_granted = grant.duration.count() > 0 ? grant.duration : m_requested;
    if (m_listener)
        m_listener->setSubscriptionID(m_path, m_sid);
    m_renewal.start(std::max<std::chrono::milliseconds>(shortestRenewal, m_granted / 2));
}

QCoro::Task<void> EventSubscription::start(CancellationToken cancel)
{
    QPointer<EventSubscription> self(this);
    if (!m_listener || !m_listener->isListening())
        throw SonosError::network({NetworkFailure::Source::posix, 0,
            QStringLiteral("Updates from the speakers cannot be received: nothing listens for them.")});
    const QString callback = m_listener->callbackURL(m_path, localAddressToward(m_playerHost));
    const QString url = QStringLiteral("http://%1:%2%3").arg(m_playerHost).arg(playerPort).arg(eventPath(m_service));
    // (Built apart from the call: g++ 12 miscompiles string literals in a
    // braced list inside a coroutine.)
    QList<std::pair<QByteArray, QByteArray>> headers;
    headers.append({QByteArray("CALLBACK"), '<' + callback.toUtf8() + '>'});
    headers.append({QByteArray("NT"), QByteArray("upnp:event")});
    headers.append({QByteArray("TIMEOUT"), "Second-" + QByteArray::number(qint64(m_requested.count()))});
    // Cleared before asking, not after the answer: the first event may come
    // before the answer does, and must then count as seen.
    m_sawEvent = false;
    const Grant grant = co_await request(url, std::move(headers), QByteArray("SUBSCRIBE"), requestTimeout, std::move(cancel));
    if (!self)
        co_return;
    if (grant.sid.isEmpty())
        throw SonosError::malformedResponse(QStringLiteral("the player accepted the subscription without naming it (no SID)"));
    accept(grant);
    if (!m_sawEvent)
        m_firstEvent.start();
}

QCoro::Task<void> EventSubscription::renew(QPointer<EventSubscription> self)
{
    // Fired by a timer: nothing may escape.
    try {
        if (!self || self->m_sid.isEmpty())
            co_return;
        const QString url
            = QStringLiteral("http://%1:%2%3").arg(self->m_playerHost).arg(playerPort).arg(eventPath(self->m_service));
        try {
            QList<std::pair<QByteArray, QByteArray>> headers;
            headers.append({QByteArray("SID"), self->m_sid.toLatin1()});
            headers.append({QByteArray("TIMEOUT"), "Second-" + QByteArray::number(qint64(self->m_requested.count()))});
            const Grant grant = co_await request(url, std::move(headers), QByteArray("SUBSCRIBE"), requestTimeout, {});
            if (!self)
                co_return;
            self->accept(Grant{grant.sid.isEmpty() ? self->m_sid : grant.sid, grant.duration});
            Q_EMIT self->renewed();
            co_return;
        } catch (const SonosError &) {
            // The player forgot the subscription (412) or did not answer:
            // either way a fresh one is the way back.
        }
        if (!self)
            co_return;
        // The fresh subscription's first event may come before its answer:
        // the route must be ready to take it under a new SID.
        self->m_sid.clear();
        if (self->m_listener)
            self->m_listener->setSubscriptionID(self->m_path, QString());
        co_await self->start();
        if (self)
            Q_EMIT self->eventsLost();
    } catch (const SonosError &error) {
        if (self) {
            self->m_sid.clear();
            Q_EMIT self->failed(error);
        }
    } catch (...) {
    }
}

QCoro::Task<void> EventSubscription::stop()
{
    QPointer<EventSubscription> self(this);
    m_renewal.stop();
    m_firstEvent.stop();
    const QString sid = std::exchange(m_sid, QString());
    if (sid.isEmpty())
        co_return;
    const QString url = QStringLiteral("http://%1:%2%3").arg(m_playerHost).arg(playerPort).arg(eventPath(m_service));
    try {
        QList<std::pair<QByteArray, QByteArray>> headers;
        headers.append({QByteArray("SID"), sid.toLatin1()});
        co_await request(
            url, std::move(headers), QByteArray("UNSUBSCRIBE"), std::chrono::duration<double>(unsubscribeLimit).count(), {});
    } catch (const SonosError &) {
        // Best effort: the player drops it when it expires anyway.
    }
    Q_UNUSED(self);
}

} // namespace SonosKit
