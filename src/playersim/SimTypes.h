// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>
#include <utility>

namespace playersim {

using Headers = QList<std::pair<QByteArray, QByteArray>>;
using Arguments = QList<std::pair<QString, QString>>;

// One SOAP action as a player received it.
struct SoapCall {
    QString player; // the address the request reached
    QString controlPath; // e.g. "/MediaRenderer/AVTransport/Control"
    QString serviceUrn; // from the SOAPAction header
    QString action;
    Arguments arguments; // in the order they were sent

    QString argument(const QString &name) const
    {
        for (const auto &[key, value] : arguments)
            if (key == name)
                return value;
        return {};
    }
};

// What the player sends back.
struct Answer {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "text/xml; charset=\"utf-8\"";
    Headers headers;
};

// Misbehaviour on demand, applied to the requests of one action (or all).
struct Fault {
    // Wait this long before answering at all.
    std::chrono::milliseconds delay{0};
    // Send the headers and this many bytes of the body, then go silent until
    // the client gives up or the server stops.
    std::optional<qsizetype> stallAfterBytes = std::nullopt;
    // Send the body `trickleChunk` bytes at a time, one chunk per interval.
    std::chrono::milliseconds trickleInterval{0};
    qsizetype trickleChunk = 8;
    // Tear the connection down (TCP reset) without answering.
    bool reset = false;
    // Answer this instead of what the player would answer.
    std::optional<Answer> answer = std::nullopt;
    // How many requests it applies to; -1 for all of them.
    int remaining = -1;
};

// A SUBSCRIBE or UNSUBSCRIBE as a player received it.
struct EventRequest {
    QString player; // the address the request reached
    QByteArray method;
    QByteArray path;
    Headers headers;
    QString remoteAddress;

    QByteArray header(const QByteArray &name) const
    {
        for (const auto &[key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
    bool hasHeader(const QByteArray &name) const
    {
        for (const auto &[key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }
};

struct LoggedRequest {
    quint64 sequence = 0; // order of arrival across the whole household
    QString player;
    QByteArray method;
    QByteArray path;
    Headers headers;
    QByteArray body;
    SoapCall call; // empty action for requests that are not SOAP
    std::chrono::steady_clock::time_point received;
    std::chrono::steady_clock::time_point answered;

    QByteArray header(const QByteArray &name) const
    {
        for (const auto &[key, value] : headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
};

} // namespace playersim
