// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/SonosDiscoveryDetail.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/ZoneTopology.h"

#include <QThreadPool>

#include <algorithm>

namespace SonosKit::SonosDiscovery {

namespace detail {

QThreadPool &workerPool()
{
    // Never destroyed: a pool's destructor waits for its threads, and a search
    // still running at exit must not hold the process up for its timeout.
    static QThreadPool *pool = [] {
        auto *threads = new QThreadPool;
        // Each SSDP search holds a thread for its whole timeout.
        threads->setMaxThreadCount(16);
        return threads;
    }();
    return *pool;
}

} // namespace detail

namespace {

void appendOnce(QStringList &hosts, const QString &host)
{
    if (!hosts.contains(host))
        hosts.append(host);
}

} // namespace

QCoro::Task<QList<ZoneGroup>> findHousehold(double timeout)
{
    const QStringList hosts = co_await findPlayerHosts(timeout);
    if (hosts.isEmpty())
        throw SonosError::noPlayersFound();

    // Any player answers for the whole household; the first that does wins,
    // even with no groups at all.
    std::optional<SonosError> lastError;
    for (const QString &host : hosts) {
        try {
            co_return co_await ZoneTopology(host).groups();
        } catch (const SonosError &error) {
            lastError = error;
        }
    }
    throw *lastError;
}

QCoro::Task<QStringList> findPlayerHosts(double timeout)
{
    QStringList hosts = co_await bonjourHosts(timeout);
    if (!hosts.isEmpty())
        co_return hosts;
    try {
        hosts = co_await ssdpHosts(timeout);
    } catch (const SonosError &) {
        // No socket for the search means nothing found, not a failure.
    }
    co_return hosts;
}

QCoro::Task<QStringList> bonjourHosts(double timeout)
{
    const QList<detail::BrowseResult> results = co_await detail::browse(timeout);

    QStringList hosts;
    QList<detail::BrowseResult> unlocated;
    for (const detail::BrowseResult &result : results) {
        const std::optional<QString> host = result.location ? detail::hostOfURL(*result.location) : std::nullopt;
        if (host)
            appendOnce(hosts, *host);
        else
            unlocated.append(result);
    }

    // One at a time: a household rarely has more than a few such instances,
    // and a player is not worth a burst of parallel lookups.
    const double limit = std::min(timeout, 2.0);
    for (const detail::BrowseResult &result : unlocated) {
        if (const std::optional<QString> host = co_await detail::resolve(result, limit))
            appendOnce(hosts, *host);
    }
    // Avahi keeps a switched-off player's records for a while. A host that
    // does not take a connection costs the resolving limit here rather than a
    // whole SOAP timeout when its topology is asked for.
    co_return co_await detail::answeringHosts(hosts, limit);
}

} // namespace SonosKit::SonosDiscovery
