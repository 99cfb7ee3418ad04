// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "DnssdPublisher.h"
#include "HouseholdData.h"
#include "HouseholdGenerator.h"
#include "RequestLog.h"
#include "SimServer.h"
#include "SsdpResponder.h"

#include <QByteArray>
#include <QStringList>

#include <chrono>
#include <memory>
#include <stdexcept>

namespace playersim {

struct HouseholdState;

// A bad household description, with the reason in what().
class HouseholdError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One group as tests see it: addresses, coordinator first among members.
struct GroupSnapshot {
    QString coordinator;
    QStringList members; // visible and invisible, coordinator included
    bool operator==(const GroupSnapshot &) const = default;
};

// A simulated Sonos household: every player answers on its own loopback
// address with the UPnP services real players offer. Movable, not copyable;
// every accessor is thread-safe and returns a snapshot.
class Household
{
public:
    explicit Household(HouseholdData data, const QString &firstAddress = QStringLiteral("127.0.0.11"), quint16 port = 1400);
    ~Household();
    Household(Household &&) noexcept;
    Household &operator=(Household &&) noexcept;
    Household(const Household &) = delete;
    Household &operator=(const Household &) = delete;

    static Household defaultHousehold(const QString &firstAddress = QStringLiteral("127.0.0.11"), quint16 port = 1400);
    // An older (S1) household of its own beside the default one: see
    // secondHouseholdData().
    static Household secondHousehold(const QString &firstAddress = QStringLiteral("127.0.0.41"), quint16 port = 1400);
    // Throws HouseholdError naming the offending entry.
    static Household fromJson(
        const QByteArray &json, const QString &firstAddress = QStringLiteral("127.0.0.11"), quint16 port = 1400);
    static Household generate(const GeneratorOptions &options);
    // The household as it is now (volumes, groups, queues included).
    QByteArray toJson() const;
    HouseholdData data() const;

    // Starts every player; on failure none is left running.
    bool start(QString *error = nullptr);
    void stop();

    QStringList addresses() const;
    QString householdId() const;
    // How each player announces itself by SSDP and DNS-SD, its household
    // id included.
    QList<SsdpPlayer> ssdpPlayers() const;
    QList<DnssdPlayer> dnssdPlayers() const;
    quint16 port() const;
    // Throws std::out_of_range for an address that is not one of the players.
    SimServer &server(const QString &address);
    std::shared_ptr<RequestLog> log() const;

    // Inspection.
    QString uuidOf(const QString &address) const;
    QString roomOf(const QString &address) const;
    QString addressOfRoom(const QString &room) const; // the first visible player of that room
    int volume(const QString &address) const;
    bool isMuted(const QString &address) const;
    // What GetTransportInfo answers on that player.
    QString transportState(const QString &address) const;
    qint64 positionSeconds(const QString &address) const;
    int trackNumber(const QString &address) const;
    QString currentURI(const QString &address) const;
    QStringList queueTitles(const QString &address) const;
    QStringList queueURIs(const QString &address) const;
    QList<GroupSnapshot> groups() const;
    QList<SimFavorite> favorites() const;
    QList<SimPlaylist> playlists() const;
    QString zoneGroupState() const;

    // Mutation for tests.
    void setVolume(const QString &address, int volume);
    void setMuted(const QString &address, bool muted);
    // False when the player cannot move (a bonded satellite, an unknown address).
    bool join(const QString &address, const QString &coordinatorAddress);
    bool leave(const QString &address);
    // Players that refuse to regroup: every join and leave, requested or
    // through join() and leave() here, fails with UPnP error 800 and
    // changes nothing.
    void setRefuseGrouping(bool refuse);
    void setServiceAuthorized(int serviceId, bool authorized);
    void setTopologyForm(TopologyForm form);

    // Events. A scripted change: the group of `address` moves to its next
    // track after `delay`, and its subscribers hear of it.
    void nextTrackAfter(const QString &address, std::chrono::milliseconds delay);
    // A firewall between the players and their subscribers: every NOTIFY is
    // dropped, while each subscription still counts it.
    void setDropNotifications(bool drop);
    // Players that forgot every subscription: renewals get 412.
    void setRefuseRenewals(bool refuse);
    // Players that refuse every new subscription to the event path `path`
    // ("/MediaRenderer/Queue/Event") with 503; empty: none.
    void setRefuseSubscriptionsTo(const QString &path);
    // The player at `address` restarts (a nightly update): it forgets every
    // subscription it held, so a renewal gets 412 and its events go to
    // nobody until someone subscribes afresh.
    void restartPlayer(const QString &address);
    // The player at `address` is switched off: it holds every connection
    // without a byte of answer and sends no events, while its
    // subscriptions' time runs on. Switched on again, it has restarted.
    void setSilent(const QString &address, bool silent);
    int subscriptionCount() const;
    // Another controller added, renamed or removed Sonos Favorites or Sonos
    // Playlists: the list is replaced, its update id counts up, and every
    // ContentDirectory subscriber hears of it.
    void setFavorites(QList<SimFavorite> favorites);
    void setPlaylists(QList<SimPlaylist> playlists);
    // Another controller replaced the queue of the group of `address` (a
    // long one from generatedTracks() for tests and benchmarks): its update
    // id counts up, the group's transport takes the queue, stopped at its
    // first track, and the group's subscribers hear of it.
    void setQueue(const QString &address, QList<SimTrack> tracks);
    // The queue's version as Browse and the events tell it.
    quint32 queueUpdateId(const QString &address) const;
    // Each NOTIFY sent, in order: its SID and the status it got (0 for none).
    QList<std::pair<QString, int>> notificationAnswers() const;

private:
    int indexOf(const QString &address) const;
    std::unique_ptr<HouseholdState> d;
};

} // namespace playersim
