// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/SOAPClient.h"

#include <QCoroTask>
#include <QHash>
#include <QString>

namespace SonosKit {

// Reads the household's table from music service number to service name.
class MusicServices
{
public:
    explicit MusicServices(QString host);

    SOAPClient client;

    QCoro::Task<QHash<qint64, QString>> serviceNames(CancellationToken cancel = {}) const;
    // The same table, empty when the list can't be read (the player fails or
    // answers with something unreadable): names are a nicety, and a service
    // without one is shown by its number. A cancelled read ends early, empty too.
    QCoro::Task<QHash<qint64, QString>> serviceNamesOrEmpty(CancellationToken cancel = {}) const;

    // The same table from a descriptor list already in hand.
    static QHash<qint64, QString> parseServices(const QString &xml);
};

} // namespace SonosKit
