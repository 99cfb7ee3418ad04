// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Editing the group's queue at its coordinator: removing, moving and clearing
// entries, and saving it as a Sonos Playlist. Positions count from 0 here and
// from 1 on the wire. Removing and moving name the queue's version they were
// made against, so that an edit meant for one entry never hits another.

#include "SonosKit/GroupController.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

// Sends an edit that names `updateID`. Which fault players answer for a
// version that is no longer current is not documented: a refusal is checked
// against the version the queue has now, and when that moved on the edit is
// queueChanged; otherwise the refusal stands as it came.
QCoro::Task<void> editQueue(SOAPClient coordinator, QString action, SOAPClient::Arguments arguments, quint32 updateID)
{
    std::optional<SonosError> refusal;
    try {
        co_await send(coordinator, SOAPClient::Service::avTransport, action, std::move(arguments));
        co_return;
    } catch (const SonosError &error) {
        if (error.kind() != SonosError::Kind::upnpFault || updateID == 0)
            throw;
        refusal = error;
    }
    ContentDirectory directory(coordinator.host);
    directory.client = coordinator;
    std::optional<quint32> current;
    try {
        current = (co_await directory.queuePage(0, 1)).updateID;
    } catch (const SonosError &) {
        // Unreadable now: the refusal is all there is to tell.
    }
    if (current && *current != updateID)
        throw SonosError::queueChanged(action);
    throw *refusal;
}

QCoro::Task<QString> save(SOAPClient coordinator, QString title)
{
    if (title.trimmed().isEmpty())
        throw SonosError::playlistTitleMissing();
    SOAPClient::Arguments arguments = instance();
    arguments.append({QStringLiteral("Title"), title});
    arguments.append({QStringLiteral("ObjectID"), QString()});
    const XMLNode answer = co_await coordinator.call(SOAPClient::Service::avTransport, QStringLiteral("SaveQueue"), arguments);
    const QString assigned = XMLText::text(answer, u"AssignedObjectID").value_or(QString()).trimmed();
    if (assigned.isEmpty())
        throw SonosError::malformedResponse(QStringLiteral("SaveQueue named no playlist"));
    co_return assigned;
}

QCoro::Task<void> nothing()
{
    co_return;
}

} // namespace

QCoro::Task<void> GroupController::removeQueueTrack(int index, quint32 updateID) const
{
    SOAPClient::Arguments arguments = instance();
    arguments.append({QStringLiteral("ObjectID"), QStringLiteral("Q:0/%1").arg(qint64(index) + 1)});
    arguments.append({QStringLiteral("UpdateID"), QString::number(updateID)});
    return editQueue(coordinator, QStringLiteral("RemoveTrackFromQueue"), std::move(arguments), updateID);
}

QCoro::Task<void> GroupController::moveQueueTrack(int from, int to, quint32 updateID) const
{
    if (from == to)
        return nothing();
    // InsertBefore counts in the queue as it is before the move: moving down,
    // the entry goes before the one after its new place.
    const qint64 insertBefore = to > from ? qint64(to) + 2 : qint64(to) + 1;
    SOAPClient::Arguments arguments = instance();
    arguments.append({QStringLiteral("StartingIndex"), QString::number(qint64(from) + 1)});
    arguments.append({QStringLiteral("NumberOfTracks"), QStringLiteral("1")});
    arguments.append({QStringLiteral("InsertBefore"), QString::number(insertBefore)});
    arguments.append({QStringLiteral("UpdateID"), QString::number(updateID)});
    return editQueue(coordinator, QStringLiteral("ReorderTracksInQueue"), std::move(arguments), updateID);
}

QCoro::Task<void> GroupController::clearQueue() const
{
    return send(coordinator, SOAPClient::Service::avTransport, QStringLiteral("RemoveAllTracksFromQueue"), instance());
}

QCoro::Task<QString> GroupController::saveQueue(QString title) const
{
    return save(coordinator, std::move(title));
}

} // namespace SonosKit
