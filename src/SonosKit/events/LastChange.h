// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace SonosKit {

// The document inside a LastChange property: the state variables of
// instance 0 with their values, as
// <Event><InstanceID val="0"><TransportState val="PLAYING"/>…</InstanceID></Event>.
// Rendering variables carry a channel ("Master").
struct LastChange {
    struct Variable {
        QString name; // local name, "TransportState"
        std::optional<QString> channel;
        QString value; // the val attribute, unescaped once by the parser
    };
    QList<Variable> variables;

    // The first variable called `name` (on `channel` when one is given).
    std::optional<QString> value(QStringView name, std::optional<QStringView> channel = std::nullopt) const;
    // The first variable called `name` as a version or generation: a
    // whole number from 0 to 2^32 - 1; nothing when it is not one.
    std::optional<quint32> counter(QStringView name) const;

    // Throws SonosError::malformedResponse for text that is no such document.
    // `instance` names the element that holds the variables: InstanceID for
    // the UPnP services, QueueID for Sonos's Queue.
    static LastChange parse(const QString &xml, QStringView instance = u"InstanceID");
};

} // namespace SonosKit
