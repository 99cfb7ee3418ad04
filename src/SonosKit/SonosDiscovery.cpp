// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/SonosDiscoveryDetail.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/ZoneTopology.h"

#include <QThreadPool>

#include <algorithm>
#include <chrono>

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
    const QList<FoundPlayer> players = co_await bonjourPlayers(timeout);
    QStringList hosts;
    for (const FoundPlayer &player : players)
        hosts.append(player.host);
    co_return hosts;
}

QCoro::Task<QList<FoundPlayer>> bonjourPlayers(double timeout)
{
    const QList<FoundPlayer> players = co_await detail::bonjourAnswers(timeout);
    co_return detail::withoutContested(players);
}

QCoro::Task<QList<FoundPlayer>> detail::bonjourAnswers(double timeout)
{
    const QList<detail::BrowseResult> results = co_await detail::browse(timeout);

    QList<FoundPlayer> players;
    const auto add = [&players](const QString &host, const std::optional<QString> &household) {
        detail::addClaim(players, host, household ? detail::plausibleHouseholdID(*household).value_or(QString()) : QString());
    };
    QList<detail::BrowseResult> unlocated;
    for (const detail::BrowseResult &result : results) {
        const std::optional<QString> host = result.location ? detail::hostOfURL(*result.location) : std::nullopt;
        if (host)
            add(*host, result.household);
        else if (unlocated.size() < detail::maximumPlayers)
            unlocated.append(result);
    }

    // One at a time, all within one resolving limit: a household rarely has
    // more than a few such instances, and a player is not worth a burst of
    // parallel lookups.
    const double limit = std::min(timeout, 2.0);
    const auto resolvingEnds = std::chrono::steady_clock::now() + detail::boundedTimeout(limit);
    for (const detail::BrowseResult &result : unlocated) {
        const std::chrono::duration<double> left = resolvingEnds - std::chrono::steady_clock::now();
        if (left.count() <= 0)
            break;
        const std::optional<detail::Resolved> resolved = co_await detail::resolve(result, left.count());
        if (resolved)
            add(resolved->host, resolved->household);
    }
    // Avahi keeps a switched-off player's records for a while. A host that
    // does not take a connection costs the resolving limit here rather than a
    // whole SOAP timeout when its topology is asked for.
    QStringList hosts;
    for (const FoundPlayer &player : std::as_const(players))
        hosts.append(player.host);
    const QStringList answering = co_await detail::answeringHosts(hosts, limit);
    players.removeIf([&](const FoundPlayer &player) { return !answering.contains(player.host); });
    co_return players;
}

} // namespace SonosKit::SonosDiscovery
