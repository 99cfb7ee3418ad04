// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/SOAPClient.h"
#include "SonosKit/ZoneGroup.h"

#include <QCoroTask>
#include <QList>
#include <QString>

namespace SonosKit {

// Reads the household's arrangement of rooms into groups from any one player.
class ZoneTopology
{
public:
    explicit ZoneTopology(QString host);

    SOAPClient client;

    // The household's groups, sorted by the coordinator's room name.
    QCoro::Task<QList<ZoneGroup>> groups(CancellationToken cancel = {}) const;

    // The same list from a ZoneGroupState document already in hand.
    static QList<ZoneGroup> parseGroups(const QString &xml);
};

} // namespace SonosKit
