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
#include <QTimer>
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

namespace detail {

void addClaim(QList<FoundPlayer> &players, const QString &host, const QString &household)
{
    const auto known = std::find_if(
        players.begin(), players.end(), [&](const FoundPlayer &player) { return player.host == host; });
    if (known == players.end()) {
        if (players.size() < maximumPlayers)
            players.append({host, household});
    } else if (known->householdID.isEmpty()) {
        known->householdID = household;
    } else if (!household.isEmpty() && known->householdID != household) {
        known->householdID = contestedHousehold.toString();
    }
}

QList<FoundPlayer> withoutContested(QList<FoundPlayer> players)
{
    for (FoundPlayer &player : players) {
        if (player.householdID == contestedHousehold)
            player.householdID.clear();
    }
    return players;
}

qsizetype backing(const HouseholdReading &reading, const QHash<QString, QString> &householdOfHost)
{
    return std::count_if(reading.members.cbegin(), reading.members.cend(),
        [&](const QString &member) { return householdOfHost.value(member) == reading.id; });
}

std::optional<qsizetype> bestReading(const QList<HouseholdReading> &readings, const QHash<QString, QString> &householdOfHost,
    const QHash<QString, QString> &confirmed)
{
    std::optional<qsizetype> best;
    qsizetype bestScore = -1;
    for (qsizetype i = 0; i < readings.size(); ++i) {
        const HouseholdReading &reading = readings.at(i);
        if (!QHostAddress(reading.host).isNull() && !reading.members.contains(reading.host))
            continue;
        const bool foreign = std::any_of(reading.members.cbegin(), reading.members.cend(), [&](const QString &member) {
            const auto said = confirmed.constFind(member);
            return said != confirmed.constEnd() && *said != reading.id;
        });
        const bool unanswered = std::any_of(readings.cbegin(), readings.cend(), [&](const HouseholdReading &other) {
            return other.id == reading.id && reading.members.contains(other.host) && !other.members.contains(reading.host);
        });
        if (foreign || unanswered)
            continue;
        const qsizetype score = backing(reading, householdOfHost);
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

} // namespace detail

namespace {

// A household id as one host answered it, or why it did not.
struct Answer {
    QString host;
    std::optional<QString> id;
    std::optional<SonosError> error;
};

QCoro::Task<QString> askHouseholdID(QString host, CancellationToken cancel)
{
    const XMLNode response = co_await SOAPClient(host).call(
        SOAPClient::Service::deviceProperties, QStringLiteral("GetHouseholdID"), {}, std::move(cancel));
    const std::optional<QString> id = detail::plausibleHouseholdID(
        XMLText::text(response, QStringLiteral("CurrentHouseholdID")).value_or(QString()));
    if (!id)
        throw SonosError::malformedResponse(QStringLiteral("GetHouseholdID returned no household id"));
    co_return *id;
}

// The household id in GetZoneGroupAttributes ("Sonos_….0": the id with a
// counter after its last dot), for a player that faults GetHouseholdID.
QCoro::Task<QString> museHouseholdID(QString host)
{
    const XMLNode response = co_await SOAPClient(host).call(
        SOAPClient::Service::zoneGroupTopology, QStringLiteral("GetZoneGroupAttributes"));
    QString text = XMLText::text(response, QStringLiteral("CurrentMuseHouseholdId")).value_or(QString());
    if (const qsizetype dot = text.lastIndexOf(u'.'); dot > 0)
        text.truncate(dot);
    const std::optional<QString> id = detail::plausibleHouseholdID(text);
    if (!id)
        throw SonosError::malformedResponse(QStringLiteral("the player names no household"));
    co_return *id;
}

QCoro::Task<Answer> answerOf(QString host, CancellationToken cancel)
{
    Answer answer{host, std::nullopt, std::nullopt};
    try {
        answer.id = co_await askHouseholdID(host, std::move(cancel));
    } catch (const SonosError &error) {
        answer.error = error;
    }
    co_return answer;
}

// The answers of every host in `hosts`, asked all at once, so that however
// many there are (never more than maximumPlayers) they cost one call's time.
QCoro::Task<QList<Answer>> answersOf(QStringList hosts, CancellationToken cancel)
{
    std::vector<QCoro::Task<Answer>> asks;
    asks.reserve(std::size_t(hosts.size()));
    for (const QString &host : std::as_const(hosts))
        asks.push_back(answerOf(host, cancel));
    QList<Answer> answers;
    for (QCoro::Task<Answer> &ask : asks)
        answers.append(co_await std::move(ask));
    co_return answers;
}

// What the players found said about their households; `confirmed` holds what
// the hosts asked answered themselves.
struct Identified {
    QList<FoundPlayer> players;
    QHash<QString, QString> confirmed;
    std::optional<SonosError> lastError;
};

// Players that did not say their household, or of whom two announcements
// said different ones, are asked: only a host's own answer settles where it
// belongs, since any device can announce anything about any address.
QCoro::Task<Identified> identify(QList<FoundPlayer> players)
{
    QStringList unsure;
    for (const FoundPlayer &player : std::as_const(players)) {
        if (player.householdID.isEmpty() || player.householdID == detail::contestedHousehold)
            unsure.append(player.host);
    }
    Identified result;
    const CancellationToken never;
    const QList<Answer> answers = co_await answersOf(unsure, never);
    for (const Answer &answer : answers) {
        const auto player = std::find_if(
            players.begin(), players.end(), [&](const FoundPlayer &found) { return found.host == answer.host; });
        player->householdID = answer.id.value_or(QString());
        if (answer.id)
            result.confirmed.insert(answer.host, *answer.id);
        if (answer.error)
            result.lastError = answer.error;
    }
    result.players = std::move(players);
    co_return result;
}

// Players from DNS-SD and SSDP at once, with their households. Both, not the
// second only when the first finds nobody: players left on older firmware
// may answer one way only, and that must not hide their household behind
// one that answers both. The two searches take the same time together as
// either alone.
QCoro::Task<Identified> discover(double timeout)
{
    QCoro::Task<QList<FoundPlayer>> browsing = detail::bonjourAnswers(timeout);
    QCoro::Task<QList<FoundPlayer>> searching = detail::ssdpAnswers(timeout);
    QList<FoundPlayer> players = co_await std::move(browsing);
    const QList<FoundPlayer> answered = co_await std::move(searching);
    for (const FoundPlayer &player : answered)
        detail::addClaim(players, player.host, player.householdID);
    co_return co_await identify(std::move(players));
}

// The topology document as the player at `host` sends it.
QCoro::Task<QString> zoneGroupState(QString host, CancellationToken cancel)
{
    const XMLNode response = co_await SOAPClient(host).call(
        SOAPClient::Service::zoneGroupTopology, QStringLiteral("GetZoneGroupState"), {}, std::move(cancel));
    const std::optional<QString> state = XMLText::text(response, QStringLiteral("ZoneGroupState"));
    if (!state)
        throw SonosError::malformedResponse(QStringLiteral("GetZoneGroupState returned no ZoneGroupState"));
    co_return *state;
}

struct Read {
    detail::HouseholdReading reading;
    QList<ZoneGroup> groups;
    std::optional<SonosError> error;
};

QCoro::Task<Read> readAt(QString id, QString host, CancellationToken cancel)
{
    Read read{{id, host, {}}, {}, std::nullopt};
    try {
        const QString state = co_await zoneGroupState(host, std::move(cancel));
        read.groups = ZoneTopology::parseGroups(state);
        read.reading.members = detail::memberHosts(state);
    } catch (const SonosError &error) {
        read.error = error;
    }
    co_return read;
}

// The households of players whose ids are known, each read from its own
// players; see findHouseholds().
QCoro::Task<QList<SonosHousehold>> householdsFrom(Identified identified)
{
    if (identified.players.isEmpty())
        throw SonosError::noPlayersFound();
    std::optional<SonosError> lastError = identified.lastError;

    QStringList ids; // in order of first answer
    QHash<QString, QString> householdOfHost;
    QHash<QString, QStringList> candidates;
    for (const FoundPlayer &player : std::as_const(identified.players)) {
        if (player.householdID.isEmpty())
            continue;
        householdOfHost.insert(player.host, player.householdID);
        if (!ids.contains(player.householdID) && ids.size() < detail::maximumHouseholds)
            ids.append(player.householdID);
        QStringList &tried = candidates[player.householdID];
        if (tried.size() < detail::candidatesPerHousehold)
            tried.append(player.host);
    }

    // Everything from here on under one deadline: whatever still runs then
    // is cancelled and counts as failed.
    const CancellationToken cancel;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [cancel] { cancel.cancel(); });
    deadline.start(detail::boundedTimeout(detail::householdReadingTimeout));

    std::vector<QCoro::Task<Read>> reading;
    for (const QString &id : std::as_const(ids))
        for (const QString &host : candidates.value(id))
            reading.push_back(readAt(id, host, cancel));
    QList<Read> reads;
    for (QCoro::Task<Read> &read : reading) {
        Read done = co_await std::move(read);
        if (done.error)
            lastError = done.error;
        else
            reads.append(std::move(done));
    }

    // A member announced for another household than the one whose topology
    // lists it is asked where it belongs before that topology is refused.
    QStringList doubtful;
    for (const Read &read : std::as_const(reads)) {
        for (const QString &member : read.reading.members) {
            const QString announced = householdOfHost.value(member);
            if (!announced.isEmpty() && announced != read.reading.id && !identified.confirmed.contains(member)
                && !doubtful.contains(member))
                doubtful.append(member);
        }
    }
    const QList<Answer> answers = co_await answersOf(doubtful, cancel);
    for (const Answer &answer : answers) {
        if (answer.id) {
            identified.confirmed.insert(answer.host, *answer.id);
            householdOfHost.insert(answer.host, *answer.id);
        }
    }

    QList<const Read *> believed;
    for (const QString &id : std::as_const(ids)) {
        QList<detail::HouseholdReading> readings;
        QList<const Read *> of;
        for (const Read &read : std::as_const(reads)) {
            if (read.reading.id == id) {
                readings.append(read.reading);
                of.append(&read);
            }
        }
        if (const std::optional<qsizetype> best = detail::bestReading(readings, householdOfHost, identified.confirmed))
            believed.append(of.at(*best));
        else if (!readings.isEmpty())
            lastError = SonosError::malformedResponse(QStringLiteral("no player of household %1 reports it credibly").arg(id));
    }
    // A player belongs to one household: of two that list the same host (one
    // named by an announcement its host never confirmed), the one backed by
    // more of its announced players stays.
    std::stable_sort(believed.begin(), believed.end(), [&](const Read *a, const Read *b) {
        return detail::backing(a->reading, householdOfHost) > detail::backing(b->reading, householdOfHost);
    });
    QList<SonosHousehold> households;
    QSet<QString> placed;
    for (const Read *read : std::as_const(believed)) {
        if (read->reading.members.intersects(placed))
            continue;
        placed.unite(read->reading.members);
        households.append(SonosHousehold{read->reading.id, generationOf(read->groups), read->groups, read->reading.host});
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

QCoro::Task<QString> householdID(QString host)
{
    const CancellationToken never;
    co_return co_await askHouseholdID(std::move(host), never);
}

QCoro::Task<QList<FoundPlayer>> findPlayers(double timeout)
{
    const Identified identified = co_await discover(timeout);
    co_return identified.players;
}

QCoro::Task<QList<SonosHousehold>> findHouseholds(double timeout)
{
    Identified identified = co_await discover(timeout);
    co_return co_await householdsFrom(std::move(identified));
}

QCoro::Task<QList<SonosHousehold>> householdsOf(QList<FoundPlayer> players)
{
    Identified identified{std::move(players), {}, std::nullopt};
    co_return co_await householdsFrom(std::move(identified));
}

QCoro::Task<SonosHousehold> householdAt(QString host)
{
    // Both questions at once; each is awaited to its end. A player that
    // reports its topology but faults GetHouseholdID still says its
    // household in GetZoneGroupAttributes.
    QCoro::Task<QList<ZoneGroup>> groupsRead = ZoneTopology(host).groups();
    QCoro::Task<QString> idRead = householdID(host);
    std::optional<SonosError> topologyFailure;
    QList<ZoneGroup> groups;
    try {
        groups = co_await std::move(groupsRead);
    } catch (const SonosError &error) {
        topologyFailure = error;
    }
    std::optional<QString> id;
    try {
        id = co_await std::move(idRead);
    } catch (const SonosError &) {
    }
    if (topologyFailure)
        throw *topologyFailure;
    if (!id) {
        QCoro::Task<QString> museRead = museHouseholdID(host);
        id = co_await std::move(museRead);
    }
    const std::optional<int> generation = generationOf(groups);
    co_return SonosHousehold{std::move(*id), generation, std::move(groups), std::move(host)};
}

} // namespace SonosKit::SonosDiscovery
