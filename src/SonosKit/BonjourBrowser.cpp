// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SonosDiscoveryDetail.h"

#include "SonosKit/Finished.h"
#include "SonosKit/SOAPClient.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QThreadPool>
#include <QTimer>

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>

#include <memory>
#include <mutex>
#include <vector>

namespace SonosKit::SonosDiscovery::detail {

namespace {

constexpr char serviceType[] = "_sonos._tcp";

// One connection to the Avahi daemon with its own event thread. Opening and
// closing talk to the daemon synchronously over D-Bus, so both happen on the
// worker pool, never on the caller's thread; closing must also never happen on
// the event thread itself, which it joins.
class AvahiSession
{
public:
    static std::unique_ptr<AvahiSession> open(AvahiClientCallback onState, void *context)
    {
        AvahiThreadedPoll *poll = avahi_threaded_poll_new();
        if (!poll)
            return nullptr;
        int error = 0;
        AvahiClient *client = avahi_client_new(avahi_threaded_poll_get(poll), AvahiClientFlags(0), onState, context, &error);
        if (!client) {
            avahi_threaded_poll_free(poll);
            return nullptr;
        }
        return std::unique_ptr<AvahiSession>(new AvahiSession(poll, client));
    }

    ~AvahiSession()
    {
        avahi_threaded_poll_stop(m_poll);
        avahi_client_free(m_client); // with every browser and resolver it made
        avahi_threaded_poll_free(m_poll);
    }

    AvahiSession(const AvahiSession &) = delete;
    AvahiSession &operator=(const AvahiSession &) = delete;

    AvahiClient *client() const { return m_client; }
    bool start() { return avahi_threaded_poll_start(m_poll) == 0; }

private:
    AvahiSession(AvahiThreadedPoll *poll, AvahiClient *client)
        : m_poll(poll)
        , m_client(client)
    { }

    AvahiThreadedPoll *m_poll;
    AvahiClient *m_client;
};

QString fromAvahi(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

bool sameInstance(const BrowseResult &result, AvahiIfIndex interfaceIndex, AvahiProtocol protocol, const char *name,
    const char *type, const char *domain)
{
    return result.interfaceIndex == interfaceIndex && result.protocol == protocol && result.name == fromAvahi(name)
        && result.type == fromAvahi(type) && result.domain == fromAvahi(domain);
}

std::optional<QString> txtValue(AvahiStringList *txt, const char *key)
{
    AvahiStringList *entry = avahi_string_list_find(txt, key);
    if (!entry)
        return std::nullopt;
    char *name = nullptr;
    char *value = nullptr;
    size_t size = 0;
    if (avahi_string_list_get_pair(entry, &name, &value, &size) < 0)
        return std::nullopt;
    std::optional<QString> result;
    if (value) // an entry without "=" has no value at all
        result = QString::fromUtf8(value, qsizetype(size));
    avahi_free(name);
    avahi_free(value);
    return result;
}

void applyResolution(BrowseResult &result, const char *hostName, const AvahiAddress *address, uint16_t port, AvahiStringList *txt)
{
    result.resolved = true;
    result.location = txtValue(txt, "location");
    result.household = txtValue(txt, "hhid");
    result.hostName = fromAvahi(hostName);
    result.port = port;
    if (address) {
        char text[AVAHI_ADDRESS_STR_MAX] = {};
        avahi_address_snprint(text, sizeof text, address);
        result.endpoint = Endpoint{QString::fromLatin1(text), port};
    }
}

// Both waits share their shape: a completion raced by the daemon's events
// and a deadline, and a session opened and closed on the worker pool.
template<typename T>
struct AvahiWait {
    OneShot<T> completion;
    std::mutex sessionLock; // guards session only; never taken on the event thread
    std::unique_ptr<AvahiSession> session;

    void closeLater(std::shared_ptr<AvahiWait> self)
    {
        workerPool().start([self = std::move(self)] {
            std::lock_guard guard(self->sessionLock);
            self->session.reset();
        });
    }
};

struct BrowseWait : AvahiWait<QList<BrowseResult>> {
    std::mutex resultsLock;
    QList<BrowseResult> results;

    QList<BrowseResult> snapshot()
    {
        std::lock_guard guard(resultsLock);
        return results;
    }
};

using ResolveWait = AvahiWait<std::optional<BrowseResult>>;

template<typename Wait>
void onClientState(AvahiClient *, AvahiClientState state, void *context)
{
    if (state == AVAHI_CLIENT_FAILURE)
        static_cast<Wait *>(context)->completion.finish({});
}

void onBrowseResolved(AvahiServiceResolver *resolver, AvahiIfIndex interfaceIndex, AvahiProtocol protocol,
    AvahiResolverEvent event, const char *name, const char *type, const char *domain, const char *hostName,
    const AvahiAddress *address, uint16_t port, AvahiStringList *txt, AvahiLookupResultFlags, void *context)
{
    auto *wait = static_cast<BrowseWait *>(context);
    if (event == AVAHI_RESOLVER_FOUND) {
        std::lock_guard guard(wait->resultsLock);
        for (BrowseResult &result : wait->results) {
            if (sameInstance(result, interfaceIndex, protocol, name, type, domain))
                applyResolution(result, hostName, address, port, txt);
        }
    }
    avahi_service_resolver_free(resolver);
}

void onBrowserEvent(AvahiServiceBrowser *browser, AvahiIfIndex interfaceIndex, AvahiProtocol protocol, AvahiBrowserEvent event,
    const char *name, const char *type, const char *domain, AvahiLookupResultFlags, void *context)
{
    auto *wait = static_cast<BrowseWait *>(context);
    switch (event) {
    case AVAHI_BROWSER_NEW: {
        {
            std::lock_guard guard(wait->resultsLock);
            BrowseResult result;
            result.interfaceIndex = interfaceIndex;
            result.protocol = protocol;
            result.name = fromAvahi(name);
            result.type = fromAvahi(type);
            result.domain = fromAvahi(domain);
            wait->results.append(result);
        }
        // The TXT record only comes with the resolver; players are addressed
        // over IPv4, so that is the address asked for.
        avahi_service_resolver_new(avahi_service_browser_get_client(browser), interfaceIndex, protocol, name, type, domain,
            AVAHI_PROTO_INET, AvahiLookupFlags(0), &onBrowseResolved, wait);
        break;
    }
    case AVAHI_BROWSER_REMOVE: {
        std::lock_guard guard(wait->resultsLock);
        wait->results.removeIf(
            [&](const BrowseResult &result) { return sameInstance(result, interfaceIndex, protocol, name, type, domain); });
        break;
    }
    case AVAHI_BROWSER_FAILURE:
        wait->completion.finish({});
        break;
    case AVAHI_BROWSER_CACHE_EXHAUSTED:
    case AVAHI_BROWSER_ALL_FOR_NOW:
        break;
    }
}

void onServiceResolved(AvahiServiceResolver *, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event, const char *name,
    const char *type, const char *domain, const char *hostName, const AvahiAddress *address, uint16_t port, AvahiStringList *txt,
    AvahiLookupResultFlags, void *context)
{
    auto *wait = static_cast<ResolveWait *>(context);
    if (event != AVAHI_RESOLVER_FOUND) {
        wait->completion.finish(std::nullopt);
        return;
    }
    BrowseResult result;
    result.name = fromAvahi(name);
    result.type = fromAvahi(type);
    result.domain = fromAvahi(domain);
    applyResolution(result, hostName, address, port, txt);
    wait->completion.finish(result);
}

QCoro::Task<std::optional<BrowseResult>> resolveService(BrowseResult instance, double timeout)
{
    auto wait = std::make_shared<ResolveWait>();
    QTimer::singleShot(boundedTimeout(timeout), Qt::PreciseTimer, [wait] { wait->completion.finish(std::nullopt); });
    workerPool().start([wait, instance] {
        std::lock_guard guard(wait->sessionLock);
        if (wait->completion.isDone())
            return;
        auto session = AvahiSession::open(&onClientState<ResolveWait>, wait.get());
        if (!session) {
            wait->completion.finish(std::nullopt);
            return;
        }
        const QByteArray name = instance.name.toUtf8();
        const QByteArray type = instance.type.toUtf8();
        const QByteArray domain = instance.domain.toUtf8();
        AvahiServiceResolver *resolver = avahi_service_resolver_new(session->client(), AvahiIfIndex(instance.interfaceIndex),
            AvahiProtocol(instance.protocol), name.constData(), type.constData(), domain.isEmpty() ? nullptr : domain.constData(),
            AVAHI_PROTO_INET, AvahiLookupFlags(0), &onServiceResolved, wait.get());
        if (!resolver || !session->start()) {
            wait->completion.finish(std::nullopt);
            return;
        }
        wait->session = std::move(session);
    });
    std::optional<BrowseResult> resolved = co_await wait->completion.future();
    wait->closeLater(wait);
    co_return resolved;
}

} // namespace

std::optional<QString> ipAddress(const std::optional<Endpoint> &endpoint)
{
    if (!endpoint || endpoint->host.isEmpty())
        return std::nullopt;
    const QString unscoped = endpoint->host.section(u'%', 0, 0);
    QHostAddress address;
    if (unscoped.isEmpty() || !address.setAddress(unscoped))
        return endpoint->host; // a host name
    if (address.protocol() == QAbstractSocket::IPv4Protocol)
        return address.toString();
    const Q_IPV6ADDR bytes = address.toIPv6Address();
    for (int i = 0; i < 10; ++i) {
        if (bytes[i] != 0)
            return std::nullopt;
    }
    if (bytes[10] != 0xff || bytes[11] != 0xff)
        return std::nullopt;
    const quint32 mapped = quint32(bytes[12]) << 24 | quint32(bytes[13]) << 16 | quint32(bytes[14]) << 8 | bytes[15];
    return QHostAddress(mapped).toString();
}

QCoro::Task<QList<BrowseResult>> browse(double timeout)
{
    auto wait = std::make_shared<BrowseWait>();
    // Results are read once, at the deadline; resolvers still running then
    // lose. A coarse timer could fire up to 5% early.
    QTimer::singleShot(boundedTimeout(timeout), Qt::PreciseTimer, [wait] { wait->completion.finish(wait->snapshot()); });
    workerPool().start([wait] {
        std::lock_guard guard(wait->sessionLock);
        if (wait->completion.isDone())
            return;
        auto session = AvahiSession::open(&onClientState<BrowseWait>, wait.get());
        if (!session) { // typically: no daemon on this machine
            wait->completion.finish({});
            return;
        }
        AvahiServiceBrowser *browser = avahi_service_browser_new(session->client(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
            serviceType, nullptr, AvahiLookupFlags(0), &onBrowserEvent, wait.get());
        if (!browser || !session->start()) {
            wait->completion.finish({});
            return;
        }
        wait->session = std::move(session);
    });
    QList<BrowseResult> results = co_await wait->completion.future();
    wait->closeLater(wait);
    co_return results;
}

QCoro::Task<std::optional<Resolved>> resolve(BrowseResult result, double timeout)
{
    const auto started = std::chrono::steady_clock::now();
    if (!result.resolved) {
        std::optional<BrowseResult> fresh = co_await resolveService(result, timeout);
        if (!fresh)
            co_return std::nullopt;
        result = *fresh;
    }
    std::optional<QString> host;
    if (result.endpoint) {
        host = ipAddress(result.endpoint);
    } else if (!result.hostName.isEmpty()) {
        // Resolved to a name only: the address is whatever a connection reaches.
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - started;
        QCoro::Task<std::optional<QString>> connecting = connectedAddress(
            Endpoint{result.hostName, result.port}, timeout - spent.count());
        host = co_await std::move(connecting);
    }
    if (!host)
        co_return std::nullopt;
    co_return Resolved{*host, result.household};
}

QCoro::Task<std::optional<QString>> connectedAddress(Endpoint endpoint, double timeout)
{
    auto socket = std::make_unique<QTcpSocket>();
    auto completion = std::make_shared<OneShot<std::optional<QString>>>();
    QTcpSocket *connection = socket.get();
    QObject::connect(connection, &QTcpSocket::connected, connection, [connection, completion] {
        completion->finish(ipAddress(Endpoint{connection->peerAddress().toString(), connection->peerPort()}));
    });
    QObject::connect(connection, &QAbstractSocket::errorOccurred, connection, [completion] { completion->finish(std::nullopt); });
    QTimer::singleShot(boundedTimeout(timeout), Qt::PreciseTimer, connection, [completion] { completion->finish(std::nullopt); });
    connection->connectToHost(endpoint.host, endpoint.port);
    std::optional<QString> address = co_await completion->future();
    // Nothing is ever sent: the connection only proves where the instance lives.
    connection->abort();
    co_return address;
}

QCoro::Task<QStringList> answeringHosts(QStringList hosts, double timeout)
{
    // Tasks start when called: every check is under way before the first is awaited.
    std::vector<QCoro::Task<std::optional<QString>>> checks;
    checks.reserve(std::size_t(hosts.size()));
    for (const QString &host : std::as_const(hosts))
        checks.push_back(connectedAddress(Endpoint{host, quint16(SOAPClient::defaultPort)}, timeout));
    QStringList answering;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (co_await std::move(checks[i]))
            answering.append(hosts.at(qsizetype(i)));
    }
    co_return answering;
}

} // namespace SonosKit::SonosDiscovery::detail
