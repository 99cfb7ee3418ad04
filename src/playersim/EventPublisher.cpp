// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "EventPublisher.h"

#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <map>

namespace playersim {

namespace {

// "Second-1800" or "infinite"; players grant at most a day.
std::chrono::seconds grantFor(const QByteArray &timeout)
{
    const QByteArray text = timeout.trimmed();
    if (text.startsWith("Second-")) {
        bool ok = false;
        const qint64 seconds = text.mid(7).toLongLong(&ok);
        if (ok && seconds > 0)
            return std::min(std::chrono::seconds(seconds), EventPublisher::longestGrant);
    }
    return EventPublisher::longestGrant;
}

Answer status(int code)
{
    return Answer{code, {}, {}, {}};
}

Answer granted(const QString &sid, std::chrono::seconds grant)
{
    return Answer{200, {}, {}, {{"SID", sid.toUtf8()}, {"TIMEOUT", "Second-" + QByteArray::number(qint64(grant.count()))}}};
}

void setTimeout(int sock, int option, std::chrono::milliseconds limit)
{
    timeval value{time_t(limit.count() / 1000), suseconds_t((limit.count() % 1000) * 1000)};
    setsockopt(sock, SOL_SOCKET, option, &value, sizeof value);
}

} // namespace

EventPublisher::EventPublisher(std::function<void()> tick)
    : m_tick(std::move(tick))
    , m_thread([this] { run(); })
{ }

EventPublisher::~EventPublisher()
{
    stop();
}

void EventPublisher::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void EventPublisher::setRefusedPath(const QString &path)
{
    std::lock_guard lock(m_mutex);
    m_refusedPath = path;
}

EventPublisher::Outcome EventPublisher::handle(
    int player, const QString &address, const QString &uuid, const EventRequest &request)
{
    const QString path = QString::fromUtf8(request.path);
    const QString sid = QString::fromUtf8(request.header("SID").trimmed());
    const bool hasSid = request.hasHeader("SID");
    std::lock_guard lock(m_mutex);
    const auto now = Clock::now();

    if (request.method == "UNSUBSCRIBE") {
        if (request.hasHeader("NT") || request.hasHeader("CALLBACK"))
            return {status(400), {}};
        const auto found = m_subscriptions.find(sid);
        if (!hasSid || found == m_subscriptions.end() || found->player != player || found->path != path)
            return {status(412), {}};
        m_subscriptions.erase(found);
        return {status(200), {}};
    }

    const std::chrono::seconds grant = grantFor(request.header("TIMEOUT"));
    if (hasSid) {
        // A renewal names the subscription and nothing else.
        if (request.hasHeader("NT") || request.hasHeader("CALLBACK"))
            return {status(400), {}};
        const auto found = m_subscriptions.find(sid);
        if (found == m_subscriptions.end() || found->player != player || found->path != path || found->expiry < now) {
            if (found != m_subscriptions.end())
                m_subscriptions.erase(found);
            return {status(412), {}};
        }
        if (m_refuseRenewals) {
            m_subscriptions.erase(found);
            return {status(412), {}};
        }
        found->expiry = now + grant;
        return {granted(sid, grant), {}};
    }

    if (request.header("NT").trimmed() != "upnp:event")
        return {status(412), {}};
    if (path == m_refusedPath)
        return {status(503), {}};
    // "<http://host:port/path>", possibly several; the first is used.
    const QByteArray callback = request.header("CALLBACK").trimmed();
    const qsizetype open = callback.indexOf('<');
    const qsizetype close = callback.indexOf('>', open + 1);
    if (open < 0 || close < 0)
        return {status(412), {}};
    const QUrl url(QString::fromUtf8(callback.mid(open + 1, close - open - 1)), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"http" || url.host().isEmpty())
        return {status(412), {}};

    Subscription subscription;
    subscription.player = player;
    subscription.address = address;
    subscription.path = path;
    subscription.callbackHost = url.host().toUtf8();
    subscription.callbackPort = quint16(url.port(80));
    subscription.callbackPath = url.path(QUrl::FullyEncoded).toUtf8();
    if (subscription.callbackPath.isEmpty())
        subscription.callbackPath = "/";
    if (url.hasQuery())
        subscription.callbackPath += '?' + url.query(QUrl::FullyEncoded).toUtf8();
    subscription.expiry = now + grant;
    const QString newSid = QStringLiteral("uuid:%1_sub%2").arg(uuid).arg(m_nextId++, 10, 10, QLatin1Char('0'));
    m_subscriptions.insert(newSid, subscription);
    return {granted(newSid, grant), newSid};
}

bool EventPublisher::hasSubscribers(int player, const QString &path) const
{
    std::lock_guard lock(m_mutex);
    for (const Subscription &subscription : m_subscriptions)
        if (subscription.player == player && subscription.path == path)
            return true;
    return false;
}

void EventPublisher::enqueueLocked(const QString &sid, Subscription &subscription, const QByteArray &body)
{
    const quint32 sequence = subscription.nextSequence;
    subscription.nextSequence = sequence == std::numeric_limits<quint32>::max() ? 1 : sequence + 1;
    if (m_drop || m_silent.contains(subscription.player) || m_queue.size() >= maximumQueued)
        return;
    m_queue.push_back({sid, subscription.address, subscription.callbackHost, subscription.callbackPort, subscription.callbackPath,
        sequence, body});
    m_wake.notify_all();
}

void EventPublisher::publish(int player, const QString &path, const QByteArray &body)
{
    std::lock_guard lock(m_mutex);
    const auto now = Clock::now();
    for (auto it = m_subscriptions.begin(); it != m_subscriptions.end();) {
        if (it->expiry < now) {
            it = m_subscriptions.erase(it);
            continue;
        }
        if (it->player == player && it->path == path)
            enqueueLocked(it.key(), *it, body);
        ++it;
    }
}

void EventPublisher::publishTo(const QString &sid, const QByteArray &body)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_subscriptions.find(sid);
    if (found != m_subscriptions.end())
        enqueueLocked(sid, *found, body);
}

void EventPublisher::schedule(Clock::time_point when, std::function<void()> task)
{
    {
        std::lock_guard lock(m_mutex);
        m_scheduled.emplace(when, std::move(task));
    }
    m_wake.notify_all();
}

void EventPublisher::forgetPlayer(int player)
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_subscriptions.begin(); it != m_subscriptions.end();)
        it = it->player == player ? m_subscriptions.erase(it) : std::next(it);
    // What was queued for them is lost with the player's memory.
    std::erase_if(m_queue, [this](const Pending &pending) { return !m_subscriptions.contains(pending.sid); });
}

void EventPublisher::setSilent(int player, bool silent)
{
    std::lock_guard lock(m_mutex);
    if (silent)
        m_silent.insert(player);
    else
        m_silent.remove(player);
}

bool EventPublisher::isSilent(int player) const
{
    std::lock_guard lock(m_mutex);
    return m_silent.contains(player);
}

int EventPublisher::subscriptionCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_subscriptions.size());
}

QList<std::pair<QString, int>> EventPublisher::deliveries() const
{
    std::lock_guard lock(m_mutex);
    return m_deliveries;
}

void EventPublisher::run()
{
    auto nextTick = Clock::now() + tickInterval;
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        auto wakeAt = nextTick;
        if (!m_scheduled.empty())
            wakeAt = std::min(wakeAt, m_scheduled.begin()->first);
        m_wake.wait_until(lock, wakeAt, [&] {
            return m_stopping || !m_queue.empty() || (!m_scheduled.empty() && m_scheduled.begin()->first <= Clock::now());
        });
        if (m_stopping)
            break;
        const auto now = Clock::now();
        if (!m_scheduled.empty() && m_scheduled.begin()->first <= now) {
            std::function<void()> task = std::move(m_scheduled.begin()->second);
            m_scheduled.erase(m_scheduled.begin());
            lock.unlock();
            task();
            lock.lock();
            continue;
        }
        if (!m_queue.empty()) {
            const Pending pending = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            const int answer = send(pending);
            lock.lock();
            if (m_deliveries.size() >= qsizetype(maximumQueued))
                m_deliveries.removeFirst();
            m_deliveries.append({pending.sid, answer});
            continue;
        }
        if (now >= nextTick) {
            nextTick = now + tickInterval;
            const bool anyone = !m_subscriptions.isEmpty();
            lock.unlock();
            if (anyone && m_tick)
                m_tick();
            lock.lock();
        }
    }
}

int EventPublisher::send(const Pending &pending) const
{
    const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return 0;
    setTimeout(sock, SO_SNDTIMEO, sendTimeout);
    setTimeout(sock, SO_RCVTIMEO, sendTimeout);
    // From the player's own address, as a player's NOTIFY comes.
    sockaddr_in source{};
    source.sin_family = AF_INET;
    inet_pton(AF_INET, pending.source.toUtf8().constData(), &source.sin_addr);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(pending.port);
    int status = 0;
    if (inet_pton(AF_INET, pending.host.constData(), &target.sin_addr) == 1
        && ::bind(sock, reinterpret_cast<sockaddr *>(&source), sizeof source) == 0
        && ::connect(sock, reinterpret_cast<sockaddr *>(&target), sizeof target) == 0) {
        const QByteArray request = "NOTIFY " + pending.path + " HTTP/1.1\r\nHOST: " + pending.host + ':'
            + QByteArray::number(pending.port)
            + "\r\nCONTENT-TYPE: text/xml; charset=\"utf-8\"\r\nNT: upnp:event\r\nNTS: upnp:propchange\r\nSID: "
            + pending.sid.toUtf8() + "\r\nSEQ: " + QByteArray::number(pending.sequence)
            + "\r\nCONTENT-LENGTH: " + QByteArray::number(pending.body.size()) + "\r\nConnection: close\r\n\r\n" + pending.body;
        qsizetype sent = 0;
        while (sent < request.size()) {
            const ssize_t n = ::send(sock, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        char answer[64] = {};
        const ssize_t n = ::recv(sock, answer, sizeof answer - 1, 0);
        // "HTTP/1.1 200 OK"
        if (n >= 12)
            status = QByteArray(answer + 9, 3).toInt();
    }
    ::close(sock);
    return status;
}

} // namespace playersim
