// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "HouseholdData.h"
#include "SimServer.h"
#include "SimTransport.h"

#include <QHash>

#include <memory>
#include <optional>

namespace playersim {

// One player of a running household: its identity, its own volume and
// queue, the transport it carries while it coordinates a group, and the
// HTTP server that answers on its address.
struct SimPlayer {
    // What SnapshotGroupVolume remembered at a coordinator: each member's
    // level and the group's volume, the base that group volume changes
    // scale from. It speaks for the group it was taken of only.
    struct VolumeSnapshot {
        int groupSerial = 0;
        int groupVolume = 0;
        QHash<QString, int> levels; // by member UUID
    };

    SimPlayerRecord record; // identity; volume, mute and queue live below
    QString address;
    QString coordinator; // UUID of the coordinator of its group, its own when it leads
    int groupSerial = 1; // changes the group's ID whenever the group changes
    int volume = 20;
    bool muted = false;
    // Its sound: bass and treble from -10 to +10, loudness, and on a
    // home-theatre player (one with a TV input) night sound and speech
    // enhancement.
    int bass = 0;
    int treble = 0;
    bool loudness = true;
    bool nightMode = false;
    bool dialogLevel = false;
    QList<SimTrack> queue;
    quint32 queueUpdateId = 1;
    std::optional<VolumeSnapshot> volumeSnapshot; // while it leads a group
    SimTransport transport;
    std::unique_ptr<SimServer> server;

    bool isCoordinator() const { return coordinator == record.uuid; }
    QString queueURI() const { return QStringLiteral("x-rincon-queue:") + record.uuid + QStringLiteral("#0"); }
};

} // namespace playersim
