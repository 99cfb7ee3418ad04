// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"

#include <QByteArray>
#include <QCoroTask>
#include <QList>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>

#include <chrono>
#include <memory>

class QNetworkAccessManager;

namespace SonosKit {

// Every HTTP exchange with a device on the network. Nothing a device sends is
// trusted: the answer is read up to a size cap and within one deadline for the
// whole exchange (a timer that each byte restarts would let a device that
// trickles hold the caller for ever), and a redirect comes back as the answer
// it is, never followed to wherever it points.
namespace BoundedRead {

enum class Outcome {
    answered, // an HTTP answer, whatever its status
    tooLarge, // more than the cap was announced or sent: nothing of it kept
    timedOut, // the deadline passed first
    cancelled, // the caller's token
    failed, // no HTTP answer (refused, reset, unreachable)
};

struct Limits {
    qint64 maximumBytes = 64 * 1024;
    std::chrono::milliseconds deadline{6000};
    // Ends the exchange once the status line and headers are in; the body is
    // never read.
    bool statusOnly = false;
};

struct Result {
    Outcome outcome = Outcome::failed;
    int status = 0; // 0 without an HTTP answer
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorString;
    QList<QNetworkReply::RawHeaderPair> headers;
    QByteArray body;

    // The value of the first header named `name` (any case), trimmed.
    QByteArray header(QByteArrayView name) const;
};

// The calling thread's session: no proxy (devices are on this network), no
// cache, no cookies, no redirects.
std::shared_ptr<QNetworkAccessManager> session();
// For a program about to end: every exchange of the application thread's
// session still waiting ends as its deadline would (its caller may start
// another, which ends too, within `limit`), and then the session goes, and
// with it its network thread, which would otherwise still be at work while
// the process's exit handlers take down what it uses.
void finish(std::chrono::milliseconds limit);

// A request that loads and saves no cache, sends no cookie or credential and
// follows no redirect.
QNetworkRequest request(const QUrl &url);

// Sends `verb` ("GET", "POST", "SUBSCRIBE", …) with `body` and reads the
// answer within `limits`. Never throws: the outcome says what happened.
QCoro::Task<Result> send(QNetworkRequest request, QByteArray verb, QByteArray body, Limits limits, CancellationToken cancel = {});

} // namespace BoundedRead

} // namespace SonosKit
