// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/Alarm.h"
#include "SonosKit/CancellationToken.h"
#include "SonosKit/SOAPClient.h"

#include <QCoroTask>
#include <QString>

namespace SonosKit {

// The household's alarms through one player's AlarmClock service: any
// player serves the one list. Every call goes through the library's SOAP
// client, with its size cap and total deadline.
class AlarmClock
{
public:
    // A list longer than this is no household's: the answer is malformed.
    static constexpr int maximumAlarms = 1000;
    // The list's version is a short text ("RINCON_…:12"); a longer one is
    // malformed.
    static constexpr qsizetype maximumVersionLength = 256;
    // What a player answers for a second alarm at the same time in the same
    // room.
    static constexpr qint64 timeTakenFault = 801;

    explicit AlarmClock(QString host);

    SOAPClient client;

    QCoro::Task<AlarmList> list(CancellationToken cancel = {}) const;
    // The new alarm's ID; `alarm.id` is not sent.
    QCoro::Task<QString> create(const Alarm &alarm, CancellationToken cancel = {}) const;
    // Every field, those not changed as the list gave them.
    QCoro::Task<void> update(const Alarm &alarm, CancellationToken cancel = {}) const;
    QCoro::Task<void> destroy(const QString &id, CancellationToken cancel = {}) const;

    // The list's version as ListAlarms and the events tell it, read the same
    // way by both (trimmed, so that padding never makes it look new);
    // nothing when absent or blank. Throws SonosError::malformedResponse
    // when longer than maximumVersionLength.
    static std::optional<QString> listVersion(const std::optional<QString> &text);

    // The alarms of a CurrentAlarmList document, in its order. Throws
    // SonosError::malformedResponse for no XML (a DTD included), another
    // root than <Alarms>, more than maximumAlarms, or an alarm without ID.
    static QList<Alarm> parseAlarms(const QString &text);
};

} // namespace SonosKit
