// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

struct AvahiThreadedPoll;
struct AvahiClient;
struct AvahiEntryGroup;

namespace playersim {

// What a player advertises over DNS-SD.
struct DnssdPlayer {
    QString address; // where it serves port 1400
    QString uuid; // "RINCON_…"
    QString roomName;
    // Real players carry "location" in their TXT record; without it browsers
    // have to resolve the instance.
    bool withLocation = true;
    // Advertise this target host and publish no address for it, so that
    // resolving the instance never succeeds.
    std::optional<QString> unresolvableHostName;
    // Its household id, published as TXT "hhid"; empty: none.
    QString household;
};

// Publishes one "_sonos._tcp" instance per player on port 1400 through the
// Avahi daemon, each with an address record for a host name of its own, so
// that browsers see players on distinct addresses even on one machine.
// Belongs in a private network namespace with its own daemon.
class DnssdPublisher
{
public:
    explicit DnssdPublisher(QList<DnssdPlayer> players);
    ~DnssdPublisher();
    DnssdPublisher(const DnssdPublisher &) = delete;
    DnssdPublisher &operator=(const DnssdPublisher &) = delete;

    // Connects to the daemon and starts publishing; false (with a reason)
    // when there is no daemon.
    bool start(QString *error = nullptr);
    // Withdraws every instance.
    void stop();

    // Waits until the daemon has established every instance (after its
    // probing), or fails after `limit` or on a collision.
    bool waitUntilEstablished(std::chrono::milliseconds limit, QString *error = nullptr);

    static QString instanceName(const DnssdPlayer &player);
    static QString hostName(const DnssdPlayer &player);

private:
    static void onClientState(AvahiClient *client, int state, void *context);
    static void onGroupState(AvahiEntryGroup *group, int state, void *context);
    void publish(AvahiClient *client);
    void fail(QString reason);

    const QList<DnssdPlayer> m_players;
    AvahiThreadedPoll *m_poll = nullptr;
    AvahiClient *m_client = nullptr;

    std::mutex m_mutex; // guards the members below
    std::condition_variable m_changed;
    QList<AvahiEntryGroup *> m_groups;
    int m_established = 0;
    QString m_failure;
};

} // namespace playersim
