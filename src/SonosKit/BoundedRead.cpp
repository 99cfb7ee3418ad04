// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/BoundedRead.h"

#include <QCoreApplication>
#include <QCoroSignal>
#include <QDeadlineTimer>
#include <QEvent>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace SonosKit::BoundedRead {

namespace {

// Qt buffers no more than this of an answer before it is read, so that an
// endless body costs one chunk at a time, not all it sends.
constexpr qint64 readChunkBytes = 64 * 1024;

QNetworkAccessManager *newSession()
{
    auto *manager = new QNetworkAccessManager;
    manager->setProxy(QNetworkProxy::NoProxy);
    manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    return manager;
}

int timerMilliseconds(std::chrono::milliseconds deadline)
{
    return int(std::clamp<qint64>(deadline.count(), 1, std::numeric_limits<int>::max()));
}

// What the reply's signals and the deadline share; it lives as long as the
// last of them, not only as long as the coroutine's frame.
struct Exchange {
    Result result;
    bool stopped = false;
    qint64 maximumBytes = 0;
    qint64 announced = -1; // Content-Length, when the answer gave one
};

void takeBody(Exchange &exchange, QNetworkReply *reply)
{
    // One byte beyond the cap tells that the answer is too large.
    // Only what is there: a read of the whole room would allocate it at once.
    const qint64 room = exchange.maximumBytes + 1 - exchange.result.body.size();
    const qint64 wanted = std::min(room, reply->bytesAvailable());
    if (wanted <= 0)
        return;
    // Room for all the cap allows, taken once: growing by copies would hold
    // the old copy and the new at once. Only the pages written are resident.
    if (exchange.result.body.capacity() == 0) {
        const qint64 expected = exchange.announced >= 0 ? std::min(exchange.announced, exchange.maximumBytes)
                                                        : exchange.maximumBytes;
        exchange.result.body.reserve(qsizetype(expected + 1));
    }
    const qsizetype at = exchange.result.body.size();
    exchange.result.body.resize(at + qsizetype(wanted));
    const qint64 got = reply->read(exchange.result.body.data() + at, wanted);
    exchange.result.body.resize(at + qsizetype(std::max<qint64>(got, 0)));
}

} // namespace

QByteArray Result::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value.trimmed();
    }
    return {};
}

namespace {

// The application thread's session; empty until first used and after finish().
QPointer<QNetworkAccessManager> &applicationSession()
{
    static QPointer<QNetworkAccessManager> session;
    return session;
}

} // namespace

std::shared_ptr<QNetworkAccessManager> session()
{
    // Sharing one session between exchanges is indistinguishable from one per
    // exchange because devices close every connection after answering, so
    // nothing carries over; a session per exchange would start a network
    // thread per exchange.
    QObject *application = QCoreApplication::instance();
    if (application && application->thread() == QThread::currentThread()) {
        // The application thread's session lives until finish(): destroying
        // it while exchanges are under way would race its network thread's
        // own clean-up, which loses the objects still in that thread.
        QPointer<QNetworkAccessManager> &main = applicationSession();
        static std::shared_ptr<QNetworkAccessManager> shared;
        if (!main) {
            main = newSession();
            shared = std::shared_ptr<QNetworkAccessManager>(main.data(), [](QNetworkAccessManager *) {});
        }
        return shared;
    }
    thread_local std::shared_ptr<QNetworkAccessManager> threadSession(
        newSession(), [](QNetworkAccessManager *manager) { manager->deleteLater(); });
    return threadSession;
}

void finish(std::chrono::milliseconds limit)
{
    QPointer<QNetworkAccessManager> &main = applicationSession();
    if (!main)
        return;
    const QDeadlineTimer deadline(limit);
    for (;;) {
        bool waiting = false;
        const QList<QNetworkReply *> replies = main->findChildren<QNetworkReply *>(Qt::FindDirectChildrenOnly);
        for (QNetworkReply *reply : replies) {
            if (!reply->isFinished()) {
                waiting = true;
                reply->abort();
            }
        }
        // The ended exchanges' callers run on, and may start another.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        if (!waiting || deadline.hasExpired())
            break;
    }
    // Nothing is under way in its thread now: its destructor ends that thread.
    delete main.data();
}

QNetworkRequest request(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return request;
}

QCoro::Task<Result> send(QNetworkRequest request, QByteArray verb, QByteArray body, Limits limits, CancellationToken cancel)
{
    if (cancel.isCancelled()) {
        Result cancelled;
        cancelled.outcome = Outcome::cancelled;
        cancelled.error = QNetworkReply::OperationCanceledError;
        co_return cancelled;
    }
    // Whatever the caller asked: no redirect is followed, and the deadline
    // below is the only one.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(0);

    const std::shared_ptr<QNetworkAccessManager> manager = session();
    QNetworkReply *created = nullptr;
    if (verb == "GET" && body.isEmpty())
        created = manager->get(request);
    else if (verb == "POST")
        created = manager->post(request, body);
    else if (body.isEmpty())
        created = manager->sendCustomRequest(request, verb);
    else
        created = manager->sendCustomRequest(request, verb, body);
    // The reply ends inside its own signals (an abort from the deadline, the
    // cap or a cancel), which resumes this coroutine, and often its callers to
    // their end, right there: deleting it then would pull it from under Qt's
    // feet, so it is only ever deleted later.
    struct DeleteLater {
        void operator()(QNetworkReply *reply) const { reply->deleteLater(); }
    };
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(created);
    reply->setReadBufferSize(readChunkBytes);

    auto exchange = std::make_shared<Exchange>();
    exchange->maximumBytes = limits.maximumBytes;
    const auto stop = [exchange, r = reply.get()](Outcome why) {
        if (exchange->stopped)
            return;
        exchange->stopped = true;
        exchange->result.outcome = why;
        r->abort();
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [exchange, stop, limits, r = reply.get()] {
        if (exchange->stopped)
            return;
        exchange->result.status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        exchange->result.headers = r->rawHeaderPairs();
        const QVariant length = r->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            exchange->announced = length.toLongLong();
        if (limits.statusOnly && exchange->result.status != 0)
            stop(Outcome::answered);
        else if (length.isValid() && length.toLongLong() > limits.maximumBytes)
            stop(Outcome::tooLarge);
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [exchange, stop, r = reply.get()] {
        if (exchange->stopped)
            return;
        takeBody(*exchange, r);
        if (exchange->result.body.size() > exchange->maximumBytes)
            stop(Outcome::tooLarge);
    });
    QTimer::singleShot(timerMilliseconds(limits.deadline), Qt::PreciseTimer, reply.get(), [stop] { stop(Outcome::timedOut); });
    cancel.onCancel(reply.get(), [stop] { stop(Outcome::cancelled); });

    // Awaited once, through a connection that ends with the wait: an aborted
    // reply can report its end a second time, which must not resume a
    // coroutine that has finished since.
    if (!reply->isFinished())
        co_await qCoro(reply.get(), &QNetworkReply::finished);

    const bool ended = !exchange->stopped;
    exchange->stopped = true; // the signals still to come find nothing to do
    if (ended)
        takeBody(*exchange, reply.get());
    Result result = std::move(exchange->result);
    result.error = reply->error();
    result.errorString = reply->errorString();
    if (ended) {
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        result.status = status.isValid() ? status.toInt() : 0;
        result.headers = reply->rawHeaderPairs();
        result.outcome = result.body.size() > limits.maximumBytes ? Outcome::tooLarge
            : result.status != 0                                  ? Outcome::answered
                                                                  : Outcome::failed;
    }
    if (result.outcome == Outcome::tooLarge || limits.statusOnly)
        result.body.clear();
    co_return result;
}

} // namespace SonosKit::BoundedRead
