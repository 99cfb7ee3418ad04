// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// The pieces of discovery that have no place in the public interface, exposed
// for the tests.

#include "SonosKit/SonosDiscovery.h"

#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

struct sockaddr_in;
class QThreadPool;

namespace SonosKit::SonosDiscovery::detail {

// The M-SEARCH sent to 239.255.255.250:1900, byte for byte, asking zone
// players only.
QByteArray ssdpSearchDatagram();

// The first IPv4 address of every interface that is up and running, can
// multicast and is not loopback: where a search is sent.
QStringList multicastInterfaceAddresses();

// A UDP socket for the search, bound to the first free port of the range
// the event listener uses (EventListener::firstPort to lastPort), so that one
// firewall rule lets both the answers and the events in; to any port when the
// whole range is taken. -1 when no socket can be made.
int openSearchSocket();

// Sends the search twice on each of those interfaces (twice along the route
// when there is none) and collects answers until `timeout` seconds have
// passed (overrunning by at most one 0.3-second receive). Blocks; throws
// SonosError::network when no socket can be made.
QStringList blockingSSDPSearch(double timeout);
// The same search, each sender with the household its answers named (see
// addClaim()).
QList<FoundPlayer> blockingSSDPPlayers(double timeout);

// blockingSSDPPlayers() off the caller's thread; empty when no socket can be
// made.
QCoro::Task<QList<FoundPlayer>> ssdpAnswers(double timeout);

// The players DNS-SD announces, at most maximumPlayers, each with the
// household of its TXT records (see addClaim()).
QCoro::Task<QList<FoundPlayer>> bonjourAnswers(double timeout);

// The longest household id taken from the network: real ids are about 30
// characters.
inline constexpr qsizetype maximumHouseholdIDLength = 64;

// A household id as a player states it, trimmed, when it is plausible: 1 to
// maximumHouseholdIDLength ASCII letters, digits, '_', '-' or '.'.
std::optional<QString> plausibleHouseholdID(QStringView text);

// The most players one search keeps, the most households read and the most
// players of one household asked for its topology: announcements cost the
// sender nothing, and every one kept may cost a call.
inline constexpr qsizetype maximumPlayers = 64;
inline constexpr qsizetype maximumHouseholds = 8;
inline constexpr qsizetype candidatesPerHousehold = 3;

// How long reading every household's topology may take, in seconds,
// confirming doubtful members included: one SOAP call's time and room for
// the confirmations. Whatever still runs then is cancelled.
inline constexpr double householdReadingTimeout = 8.0;

// The household id of a host that two announcements placed in different
// households: never an id (plausibleHouseholdID refuses '?'); such a host is
// asked itself.
inline constexpr QStringView contestedHousehold = u"?";

// Notes one announcement that `host` belongs to `household` (empty: it did
// not say): a new host is added while there are fewer than maximumPlayers,
// a second, different household makes the host contested.
void addClaim(QList<FoundPlayer> &players, const QString &host, const QString &household);

// `players` with contested households as unknown ones.
QList<FoundPlayer> withoutContested(QList<FoundPlayer> players);

// The topology household `id` was read as from the player at `host`: the
// hosts of its members.
struct HouseholdReading {
    QString id;
    QString host;
    QSet<QString> members;
};

// How many of a reading's members were announced for its household.
qsizetype backing(const HouseholdReading &reading, const QHash<QString, QString> &householdOfHost);

// Which of one household's readings to believe, by index, if any. One is
// refused when it misses its own host (an address), lists a member that
// said itself it belongs to another household (`confirmed`), or lists a
// player of the same household that was read too and does not list it back:
// real players all list each other, a device pretending to be one of them
// is listed by none. Of the rest, the one listing most players announced
// for the household (`householdOfHost`) wins, the earliest on a tie: a
// device that lists itself and made-up hosts loses to a real player that
// lists its fellows.
std::optional<qsizetype> bestReading(const QList<HouseholdReading> &readings, const QHash<QString, QString> &householdOfHost,
    const QHash<QString, QString> &confirmed);

// The X-RINCON-HOUSEHOLD of an SSDP answer (header name in any case, line
// ends CRLF or LF), when present and plausible.
std::optional<QString> householdOfAnswer(const QByteArray &answer);

// The hosts of every member of a ZoneGroupState document, invisible ones and
// home-theatre satellites included.
QSet<QString> memberHosts(const QString &zoneGroupState);

// The sender of an answer as a dotted quad.
std::optional<QString> senderAddress(const sockaddr_in &address);

// The host of a URL text, or nothing when it is no URL or has no host.
std::optional<QString> hostOfURL(const QString &text);

// Where a DNS-SD instance lives: a host name or a textual address, and a port.
struct Endpoint {
    QString host;
    quint16 port = 0;

    friend bool operator==(const Endpoint &, const Endpoint &) = default;
};

// The address text of an endpoint: a name unchanged, IPv4 without an
// interface scope, an IPv4-mapped IPv6 address as IPv4, any other IPv6
// address nothing.
std::optional<QString> ipAddress(const std::optional<Endpoint> &endpoint);

// One instance seen by the browser, with what its resolver reported by the
// time the browse ended.
struct BrowseResult {
    int interfaceIndex = -1;
    int protocol = -1;
    QString name;
    QString type;
    QString domain;

    bool resolved = false;
    std::optional<QString> location; // the TXT "location" value
    std::optional<QString> household; // the TXT "hhid" value, unchecked
    QString hostName; // the instance's target host
    quint16 port = 0;
    std::optional<Endpoint> endpoint; // its address and port, when resolved
};

// The "_sonos._tcp" instances present after `timeout` seconds, each with its
// TXT record when it was resolved in time. Empty at once when there is no
// DNS-SD daemon or the browser fails.
QCoro::Task<QList<BrowseResult>> browse(double timeout);

// Where one instance lives and the household its TXT records name (unchecked).
struct Resolved {
    QString host;
    std::optional<QString> household;
};

// The address of one instance within `timeout` seconds, with its household,
// or nothing.
QCoro::Task<std::optional<Resolved>> resolve(BrowseResult result, double timeout);

// The address of the peer once a TCP connection to `endpoint` is established
// (and then closed again without sending anything), or nothing when it fails
// or takes longer than `timeout` seconds.
QCoro::Task<std::optional<QString>> connectedAddress(Endpoint endpoint, double timeout);

// Those of `hosts` whose player port (1400) accepts a TCP connection within
// `timeout` seconds, in their order. All are tried at once, so a whole list of
// silent hosts costs one timeout.
QCoro::Task<QStringList> answeringHosts(QStringList hosts, double timeout);

// A delay for timers and deadlines: negative and NaN timeouts count as zero,
// absurdly long ones as one day.
std::chrono::milliseconds boundedTimeout(double seconds);

// The threads on which discovery blocks, apart from the shared global pool so
// that long searches neither wait for nor starve the rest of the program.
QThreadPool &workerPool();

} // namespace SonosKit::SonosDiscovery::detail
