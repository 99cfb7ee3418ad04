// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/XMLText.h"

#include <QCoroTask>
#include <QList>
#include <QString>

#include <utility>

namespace SonosKit {

// One UPnP control call to one player: a SOAP envelope POSTed to a service's
// control path, answered by the action's response element or a SonosError.
// A small value made on the spot for the player addressed; no call leaves
// anything behind. The answer is read as BoundedRead reads every device's.
class SOAPClient
{
public:
    enum class Service {
        avTransport,
        renderingControl,
        // At the coordinator: the group's volume and mute as one.
        groupRenderingControl,
        contentDirectory,
        // The player's own settings, its household id among them.
        deviceProperties,
        zoneGroupTopology,
        musicServices,
    };
    static QString controlPath(Service service);
    static QString urn(Service service);

    using Arguments = QList<std::pair<QString, QString>>;

    // Every client the system makes talks to port 1400 and gives up on a call
    // that has not ended six seconds after it began.
    static constexpr int defaultPort = 1400;
    static constexpr double defaultTimeout = 6.0;
    // Answers larger than this are aborted rather than buffered.
    static constexpr qint64 maximumResponseBytes = 16 * 1024 * 1024;

    explicit SOAPClient(QString host, int port = defaultPort, double timeout = defaultTimeout);

    QString host;
    int port;
    double timeout; // seconds from the request to the end of its answer

    // The action's response element (the first element inside the SOAP Body),
    // valid together with its document for as long as it is held.
    QCoro::Task<XMLNode> call(Service service, QString action, Arguments arguments = {}, CancellationToken cancel = {}) const;
    // The whole body of a status-200 answer, decoded from UTF-8, unparsed.
    QCoro::Task<QString> callReturningRawXML(
        Service service, QString action, Arguments arguments = {}, CancellationToken cancel = {}) const;

    // The request body. Argument and action names are trusted identifiers and
    // go in verbatim; values are escaped.
    static QString envelope(Service service, const QString &action, const Arguments &arguments);

    // The error a non-200 answer's fault body describes; throws a SonosError
    // when the body is no readable fault. Public for the fuzzers.
    static class SonosError parseFault(const QString &body, const QString &action);
};

} // namespace SonosKit
