// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/EventSubscription.h"

#include "SonosKit/BoundedRead.h"
#include "SonosKit/events/EventListener.h"

#include <QCoreApplication>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace SonosKit {

namespace {

constexpr quint16 playerPort = 1400;

// The answers to SUBSCRIBE and UNSUBSCRIBE are headers only.
constexpr qint64 maximumAnswerBytes = 16 * 1024;

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

std::chrono::seconds EventSubscription::grantFromTimeout(const QByteArray &timeout)
{
    // Clamped before any arithmetic: a player may grant anything up to the
    // largest number it can write, and a renewal timer counts milliseconds.
    const QByteArray text = timeout.trimmed();
    if (!text.startsWith("Second-"))
        return {};
    const QByteArray number = text.mid(7);
    if (number.compare("infinite", Qt::CaseInsensitive) == 0)
        return longestGrant;
    if (number.isEmpty() || !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    bool fits = false;
    const qulonglong seconds = number.toULongLong(&fits);
    if (!fits || seconds >= qulonglong(longestGrant.count()))
        return longestGrant;
    return std::max(shortestGrant, std::chrono::seconds(qint64(seconds)));
}

QCoro::Task<EventSubscription::Grant> EventSubscription::request(
    QString url, QList<std::pair<QByteArray, QByteArray>> headers, QByteArray verb, double timeout, CancellationToken cancel)
{
    QNetworkRequest request = BoundedRead::request(QUrl(url));
    for (const auto &[name, value] : headers)
        request.setRawHeader(name, value);
    const BoundedRead::Result answer = co_await BoundedRead::send(std::move(request), verb, {},
        BoundedRead::Limits{.maximumBytes = maximumAnswerBytes,
            .deadline = std::chrono::milliseconds(qint64(timeout * 1000)),
            .statusOnly = false},
        std::move(cancel));
    switch (answer.outcome) {
    case BoundedRead::Outcome::cancelled:
        throw cancelled();
    case BoundedRead::Outcome::timedOut:
        throw SonosError::network({NetworkFailure::Source::http, int(QNetworkReply::OperationCanceledError),
            QStringLiteral("The player at %1 did not answer the request for updates within %2 seconds.")
                .arg(QUrl(url).host())
                .arg(timeout)});
    case BoundedRead::Outcome::tooLarge:
        throw SonosError::malformedResponse(QStringLiteral("the answer to %1 is larger than %2 KiB")
                                                .arg(QString::fromLatin1(verb))
                                                .arg(maximumAnswerBytes / 1024));
    case BoundedRead::Outcome::failed:
        throw SonosError::network({NetworkFailure::Source::http, int(answer.error), answer.errorString});
    case BoundedRead::Outcome::answered:
        break;
    }
    if (answer.status != 200)
        throw SonosError::httpStatus(answer.status, QString::fromUtf8(answer.body));
    co_return Grant{QString::fromLatin1(answer.header("SID")), grantFromTimeout(answer.header("TIMEOUT"))};
}

void EventSubscription::accept(const Grant &grant)
{
    m_sid = grant.sid;
    // A grant the player did not state (or wrote unreadably) counts as the
    // request, held to the same bounds.
    m_granted = grant.duration.count() > 0 ? grant.duration : std::clamp(m_requested, shortestGrant, longestGrant);
    if (m_listener)
        m_listener->setSubscriptionID(m_path, m_sid);
    m_renewal.start(std::chrono::duration_cast<std::chrono::milliseconds>(m_granted) / 2);
}

QCoro::Task<void> EventSubscription::start(CancellationToken cancel)
{
    QPointer<EventSubscription> self(this);
    if (!m_listener || !m_listener->isListening())
        throw SonosError::network({NetworkFailure::Source::posix, 0,
            QStringLiteral("Updates from the speakers cannot be received: nothing listens for them.")});
    const QHostAddress local = localAddressToward(m_playerHost);
    m_callbackAddress = m_listener->callbackAddress(local);
    const QString callback = m_listener->callbackURL(m_path, local);
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
            Q_EMIT self->resubscribed();
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

void EventSubscription::renewNow()
{
    if (m_sid.isEmpty())
        return;
    m_renewal.stop();
    renew(this);
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
