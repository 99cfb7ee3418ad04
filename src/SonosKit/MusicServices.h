#pragma once

#include "CancellationToken.h"
#include "SOAPClient.h"

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

    // The same table from a descriptor list already in hand.
    static QHash<qint64, QString> parseServices(const QString &xml);
};

} // namespace SonosKit
