// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Several households on one network: each found player is put with the
// household it names, and each household's groups come from one of its own
// players only.

#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/SonosDiscoveryDetail.h"

#include "SonosKit/SOAPClient.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"
#include "SonosKit/ZoneTopology.h"

#include <QHash>
#include <QHostAddress>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace SonosKit::SonosDiscovery {

namespace detail {

std::optional<QString> plausibleHouseholdID(QStringView text)
{
    const QStringView id = text.trimmed();
    if (id.isEmpty() || id.size() > maximumHouseholdIDLength)
        return std::nullopt;
    for (const QChar c : id) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_'
            || u == u'-' || u == u'.';
        if (!allowed)
            return std::nullopt;
    }
    return id.toString();
}

QSet<QString> memberHosts(const QString &zoneGroupState)
{
    QSet<QString> hosts;
    const XMLNode root = XMLText::document(zoneGroupState).root();
    if (root.isNull())
        return hosts;
    for (const QStringView name : {u"ZoneGroupMember", u"Satellite"}) {
        for (const XMLNode &member : XMLText::descendants(root, name)) {
            const QUrl location(member.attribute(u"Location").value_or(QString()), QUrl::StrictMode);
            if (location.isValid() && !location.host().isEmpty())
                hosts.insert(location.host());
        }
    }
    return hosts;
}

} // namespace detail

namespace {

// What the players found said about their households, with the last error
// met while asking those that said nothing.
struct Identified {
    QList<FoundPlayer> players;
    std::optional<SonosError> lastError;
};

QCoro::Task<std::optional<QString>> householdIDOrError(QString host, std::optional<SonosError> *error)
{
    try {
        co_return co_await householdID(host);
    } catch (const SonosError &failure) {
        *error = failure;
    }
    co_return std::nullopt;
}

// Players that did not say their household are asked, all at once, so that a
// silent one costs one call's time however many there are.
QCoro::Task<Identified> identify(QList<FoundPlayer> players)
{
    std::vector<std::optional<SonosError>> errors(std::size_t(players.size()));
    std::vector<std::pair<qsizetype, QCoro::Task<std::optional<QString>>>> asks;
    for (qsizetype i = 0; i < players.size(); ++i) {
        if (players.at(i).householdID.isEmpty())
            asks.emplace_back(i, householdIDOrError(players.at(i).host, &errors[std::size_t(i)]));
    }
    Identified result;
    for (auto &[index, ask] : asks) {
        const std::optional<QString> id = co_await std::move(ask);
        if (id)
            players[index].householdID = *id;
        if (errors[std::size_t(index)])
            result.lastError = errors[std::size_t(index)];
    }
    result.players = std::move(players);
    co_return result;
}

QCoro::Task<QList<FoundPlayer>> ssdpPlayersOrNone(double timeout)
{
    try {
        co_return co_await ssdpPlayers(timeout);
    } catch (const SonosError &) {
        // No socket for the search means nothing found, not a failure.
    }
    co_return QList<FoundPlayer>();
}

// Players from DNS-SD and SSDP at once, with their households. Both, not the
// second only when the first finds nobody: players left on older firmware
// may answer one way only, and that must not hide their household behind
// one that answers both. The two searches take the same time together as
// either alone.
QCoro::Task<Identified> discover(double timeout)
{
    QCoro::Task<QList<FoundPlayer>> browsing = bonjourPlayers(timeout);
    QCoro::Task<QList<FoundPlayer>> searching = ssdpPlayersOrNone(timeout);
    QList<FoundPlayer> players = co_await std::move(browsing);
    const QList<FoundPlayer> answered = co_await std::move(searching);
    for (const FoundPlayer &player : answered) {
        const auto known = std::find_if(
            players.begin(), players.end(), [&](const FoundPlayer &other) { return other.host == player.host; });
        if (known == players.end())
            players.append(player);
        else if (known->householdID.isEmpty())
            known->householdID = player.householdID;
    }
    co_return co_await identify(std::move(players));
}

// The topology document as the player at `host` sends it.
QCoro::Task<QString> zoneGroupState(QString host)
{
    const XMLNode response = co_await SOAPClient(host).call(
        SOAPClient::Service::zoneGroupTopology, QStringLiteral("GetZoneGroupState"));
    const std::optional<QString> state = XMLText::text(response, QStringLiteral("ZoneGroupState"));
    if (!state)
        throw SonosError::malformedResponse(QStringLiteral("GetZoneGroupState returned no ZoneGroupState"));
    co_return *state;
}

bool isAddress(const QString &host)
{
    return !QHostAddress(host).isNull();
}

// The household `id` as its player at `host` reports it, when that report
// can be trusted: the player lists itself (a name instead of an address
// cannot be checked), and lists no player that announced another household.
// A device claiming another system's id never brings its own players in.
QCoro::Task<SonosHousehold> readHousehold(QString id, QString host, QHash<QString, QString> householdOfHost)
{
    const QString state = co_await zoneGroupState(host);
    const QList<ZoneGroup> groups = ZoneTopology::parseGroups(state);
    const QSet<QString> members = detail::memberHosts(state);
    if (isAddress(host) && !members.contains(host))
        throw SonosError::malformedResponse(QStringLiteral("the player is missing from the topology it reports"));
    for (const QString &member : members) {
        const auto announced = householdOfHost.constFind(member);
        if (announced != householdOfHost.constEnd() && !announced->isEmpty() && *announced != id)
            throw SonosError::malformedResponse(QStringLiteral("the topology names players of another household"));
    }
    co_return SonosHousehold{id, generationOf(groups), groups, host};
}

// The households of players whose ids are known, each read from one of its
// own players; see findHouseholds().
QCoro::Task<QList<SonosHousehold>> householdsFrom(Identified identified)
{
    if (identified.players.isEmpty())
        throw SonosError::noPlayersFound();
    std::optional<SonosError> lastError = identified.lastError;

    QStringList ids; // in order of first answer
    QHash<QString, QString> householdOfHost;
    for (const FoundPlayer &player : identified.players) {
        householdOfHost.insert(player.host, player.householdID);
        if (!player.householdID.isEmpty() && !ids.contains(player.householdID))
            ids.append(player.householdID);
    }

    QList<SonosHousehold> households;
    for (const QString &id : std::as_const(ids)) {
        for (const FoundPlayer &player : identified.players) {
            if (player.householdID != id)
                continue;
            try {
                households.append(co_await readHousehold(id, player.host, householdOfHost));
                break;
            } catch (const SonosError &error) {
                lastError = error;
            }
        }
    }
    if (households.isEmpty())
        throw lastError.value_or(SonosError::noPlayersFound());
    std::stable_sort(households.begin(), households.end(), [](const SonosHousehold &a, const SonosHousehold &b) {
        const int roomsA = a.roomCount();
        const int roomsB = b.roomCount();
        return roomsA != roomsB ? roomsA > roomsB : a.id < b.id;
    });
    co_return households;
}

} // namespace

QCoro::Task<QString> householdID(const QString &host)
{
    const XMLNode response = co_await SOAPClient(host).call(
        SOAPClient::Service::deviceProperties, QStringLiteral("GetHouseholdID"));
    const std::optional<QString> id = detail::plausibleHouseholdID(
        XMLText::text(response, QStringLiteral("CurrentHouseholdID")).value_or(QString()));
    if (!id)
        throw SonosError::malformedResponse(QStringLiteral("GetHouseholdID returned no household id"));
    co_return *id;
}

QCoro::Task<QList<FoundPlayer>> findPlayers(double timeout)
{
    const Identified identified = co_await discover(timeout);
    co_return identified.players;
}

QCoro::Task<QList<SonosHousehold>> findHouseholds(double timeout)
{
    const Identified identified = co_await discover(timeout);
    co_return co_await householdsFrom(identified);
}

QCoro::Task<QList<SonosHousehold>> householdsOf(QList<FoundPlayer> players)
{
    Identified identified{std::move(players), std::nullopt};
    co_return co_await householdsFrom(std::move(identified));
}

QCoro::Task<SonosHousehold> householdAt(const QString &host)
{
    // Both questions at once; each is awaited to its end, and a failing
    // topology is the failure reported.
    QCoro::Task<QList<ZoneGroup>> groupsRead = ZoneTopology(host).groups();
    QCoro::Task<QString> idRead = householdID(host);
    std::optional<SonosError> topologyFailure;
    QList<ZoneGroup> groups;
    try {
        groups = co_await std::move(groupsRead);
    } catch (const SonosError &error) {
        topologyFailure = error;
    }
    QString id;
    try {
        id = co_await std::move(idRead);
    } catch (const SonosError &) {
        if (!topologyFailure)
            throw;
    }
    if (topologyFailure)
        throw *topologyFailure;
    const std::optional<int> generation = generationOf(groups);
    co_return SonosHousehold{std::move(id), generation, std::move(groups), host};
}

} // namespace SonosKit::SonosDiscovery
