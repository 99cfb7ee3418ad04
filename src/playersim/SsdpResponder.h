// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <thread>

namespace playersim {

// What an SSDP answer says about one player.
struct SsdpPlayer {
    QString address; // where it serves port 1400, e.g. "127.0.0.11"
    QString uuid; // "RINCON_…"
    QString model; // "ZPS12"
    QString version; // "79.1-56030"
    QString household; // its X-RINCON-HOUSEHOLD; empty: the responder's
};

// Answers SSDP searches for zone players the way real players do: one
// unicast answer per player to the searcher's port. Joins 239.255.255.250:1900
// on one interface, so it belongs in a private network namespace.
class SsdpResponder
{
public:
    struct Options {
        // Real players always send LOCATION; without it searchers must fall
        // back to the sender's address.
        bool withLocation = true;
        // Line ends; false sends bare line feeds, as a sloppy device would.
        bool crlf = true;
        // How many identical answers each player sends per search.
        int copies = 1;
        // Send each answer from the player's own address (as a real player
        // would); false sends them all from one unbound socket.
        bool fromPlayerAddress = true;
        // False answers as a UPnP device that is no speaker would (a
        // router's gateway), naming neither Sonos nor a zone player.
        bool speaker = true;
        // The interface the multicast group is joined on.
        QString interfaceAddress = QStringLiteral("127.0.0.1");
        // For players that name no household of their own.
        QString household = QStringLiteral("Sonos_QEGXy00rDQCejpfmG8EJxj94zQ");
    };

    explicit SsdpResponder(QList<SsdpPlayer> players);
    SsdpResponder(QList<SsdpPlayer> players, Options options);
    ~SsdpResponder();
    SsdpResponder(const SsdpResponder &) = delete;
    SsdpResponder &operator=(const SsdpResponder &) = delete;

    // Binds port 1900 and joins the group; false (with a reason) when it can't.
    bool start(QString *error = nullptr);
    void stop();

    // Searches seen that asked for zone players (or for everything).
    int searchesAnswered() const { return m_answered; }

    // The answer one player sends to a search for `searchTarget`.
    static QByteArray answer(const SsdpPlayer &player, const QByteArray &searchTarget, const Options &options);
    // The search target of an M-SEARCH request; empty when it is none.
    static QByteArray searchTargetOf(const QByteArray &request);

private:
    void serve();
    void reply(const QByteArray &searchTarget, const QByteArray &to, quint16 port);

    const QList<SsdpPlayer> m_players;
    const Options m_options;
    int m_socket = -1;
    int m_wake = -1; // eventfd that ends serve()
    std::thread m_thread;
    std::atomic<int> m_answered{0};
};

} // namespace playersim
