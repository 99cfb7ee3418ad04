// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/doctor/Diagnosis.h"
#include "SonosKit/doctor/NetworkFacts.h"

#include <QCoroTask>
#include <QString>

#include <chrono>
#include <optional>

namespace SonosKit {

// Finds out why no speaker is found: no network, a firewall dropping the
// answers, a network without speakers, speakers with UPnP switched off, and
// on the side a missing Avahi daemon or a VPN holding the route. Every check
// runs at once; the ones that block do so off the main thread. Nothing is
// sent beyond the local network segment (multicast with a TTL of one, HTTP
// only to hosts that answered or to the address the user gave).
class ConnectionDoctor
{
public:
    struct Options {
        // An address the user entered, checked directly.
        std::optional<QString> manualHost;
        // Search the network for any device. Off when a typed address is
        // what failed: only that address is asked, nothing is multicast.
        bool search = true;
        // How long the whole examination may take.
        std::chrono::milliseconds timeout{3000};
        // Where the system's facts are read; tests hand in their own.
        QString ufwConfigPath = QString::fromLatin1(NetworkFacts::defaultUfwConfig);
        QString ufwProfilePath = QString::fromLatin1(NetworkFacts::defaultUfwProfile);
        QString sysClassNet = QString::fromLatin1(NetworkFacts::defaultSysClassNet);
        // The routing tables and rules; asked of the kernel when absent.
        std::optional<NetworkFacts::Routing> routing;
        // A D-Bus address to ask instead of the system bus.
        std::optional<QString> systemBusAddress;
    };

    // Never fails: a check that can't run is reported as such in the result.
    static QCoro::Task<Diagnosis> examine(Options options);

    // Whether an SSDP answer comes from a Sonos speaker (its SERVER header or
    // its ZonePlayer device type).
    static bool isSpeakerAnswer(const QString &answer);

    // The search sent by the doctor: every device, not only zone players.
    static QByteArray searchForAllDatagram();
};

} // namespace SonosKit
