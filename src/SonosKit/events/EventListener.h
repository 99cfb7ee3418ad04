// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/events/EventService.h"
#include "SonosKit/events/ReceivedEvent.h"

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>

class QTcpServer;

namespace SonosKit {

// The one HTTP server of a process that receives the players' event
// notifications (NOTIFY), on one or more local addresses. It listens on a
// fixed, documented range of ports,
// so that a firewall can let exactly those in, and trusts nothing it is sent:
// only connections from players it subscribed to (anyone else is closed
// before it is read), only NOTIFY, only on a path it handed out, only from the
// player that path was handed out for, only with that subscription's SID,
// bodies of bounded size, connections of bounded number (in all and per
// player) and lifetime. A refused or unreadable
// request changes nothing and is never logged. Every request is answered at
// once and the event delivered afterwards, from the event loop.
// Main-thread only.
class EventListener : public QObject
{
    Q_OBJECT
public:
    // Users open this range in their firewall; the first free port is taken.
    // Ten ports leave room for several programs listening at once and open
    // little else.
    static constexpr quint16 firstPort = 1400;
    static constexpr quint16 lastPort = 1409;
    // A topology event of a large household is about 100 KB.
    static constexpr qint64 maximumBodyBytes = 1024 * 1024;
    static constexpr int maximumConnections = 32;
    // A player sends its notifications one after another; a few at once
    // leave room for a burst.
    static constexpr int maximumConnectionsPerPeer = 4;
    // A player sends a notification in one go; a connection still open after
    // this long is a slow or idle one and is closed.
    static constexpr std::chrono::milliseconds connectionLimit{3000};

    explicit EventListener(QObject *parent = nullptr);
    ~EventListener() override;

    // Listens on `address` too (every IPv4 address by default), on the
    // first address's port where it is free there: a computer on two
    // networks listens on its address on each, so that each player is told
    // the address it reaches. Throws SonosError::network when no port of
    // the range is free.
    void listen(const QHostAddress &address = QHostAddress(QHostAddress::AnyIPv4));
    bool isListening() const;
    bool isListeningOn(const QHostAddress &address) const;
    // The first address listened on, and its port.
    QHostAddress address() const;
    quint16 port() const;
    QList<QHostAddress> addresses() const;

    // A path for one subscription to `service` of the player at `playerHost`
    // (an IP address): notifications are accepted there from that address
    // only. The path is unguessable, so a route cannot be hit by chance.
    QString addRoute(EventService service, const QString &playerHost);
    // The SID the player gave the subscription. Until it is known, the route
    // takes the SID of a first notification (SEQ 0), which a player may send
    // before its answer to SUBSCRIBE arrives. A different SID starts the
    // count of SEQ afresh.
    void setSubscriptionID(const QString &path, const QString &sid);
    void removeRoute(const QString &path);
    bool hasRoute(const QString &path) const { return m_routes.contains(path); }

    // "http://ADDRESS:PORT/path": ADDRESS is `localAddress` (the address the
    // player's network reaches this machine at) when listened on, or when
    // listening on every address; else the first address listened on.
    QString callbackURL(const QString &path, const QHostAddress &localAddress) const;
    // The ADDRESS of that callback.
    QHostAddress callbackAddress(const QHostAddress &localAddress) const;

    // Connections open now, for tests and the benchmark.
    int openConnections() const { return m_openConnections; }

Q_SIGNALS:
    void eventReceived(const SonosKit::ReceivedEvent &event);
    // Events of this subscription were lost: a gap in SEQ, or a notification
    // whose body could not be read. The owner reads the full state once.
    void eventsLost(const QString &path, const QString &subscriptionID);

private:
    friend class EventConnection;
    struct Route {
        EventService service;
        QString playerHost;
        QHostAddress player;
        QString subscriptionID;
        quint32 expectedSequence = 0;
    };
    struct Notification {
        QString path;
        QString subscriptionID;
        quint32 sequence = 0;
        QByteArray body;
    };

    void acceptConnections(QTcpServer *server);
    // The server a player reaching this machine at `localAddress` is sent
    // to; null when not listening.
    const QTcpServer *serverFor(const QHostAddress &localAddress) const;
    // The status a notification's headers earn: 200 to go on reading it.
    int admit(const QString &path, const QString &sid, quint32 sequence);
    // Whether `peer` is the address of a player with a subscription here.
    bool isSubscribedPlayer(const QHostAddress &peer) const;
    void deliver(const Notification &notification);

    QList<QTcpServer *> m_servers;
    QHash<QString, Route> m_routes;
    int m_openConnections = 0;
    QHash<QHostAddress, int> m_connectionsByPeer;
};

} // namespace SonosKit
