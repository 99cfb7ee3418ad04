// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Volume, mute and grouping. The group's volume lives in the coordinator's
// GroupRenderingControl, which scales each member from a snapshot and so
// keeps the balance between rooms; a player without it gets the same rule
// computed here, member by member.

#include "SonosKit/GroupController.h"

#include "SonosKit/GroupControllerDetail.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/Text.h"
#include "SonosKit/XMLText.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

// The HTTP statuses of a player that has no such control address.
constexpr int notFoundStatus = 404;
constexpr int notImplementedStatus = 501;
// UPnP's "Invalid Action": the service exists, the action does not.
constexpr qint64 invalidActionFault = 401;

int clampedVolume(qint64 level)
{
    return int(std::clamp<qint64>(level, 0, 100));
}

SOAPClient::Arguments withValue(SOAPClient::Arguments arguments, const QString &name, const QString &value)
{
    arguments.append({name, value});
    return arguments;
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QCoro::Task<bool> deviceMuted(SonosDevice device, CancellationToken cancel)
{
    const XMLNode answer = co_await clientFor(device).call(
        SOAPClient::Service::renderingControl, QStringLiteral("GetMute"), masterChannel(), std::move(cancel));
    co_return XMLText::text(answer, u"CurrentMute") == QStringLiteral("1");
}

QCoro::Task<int> averageVolume(QList<SonosDevice> members, CancellationToken cancel)
{
    if (members.isEmpty())
        co_return 0;
    qint64 sum = 0;
    for (const SonosDevice &member : members)
        sum += co_await deviceVolume(member, cancel);
    co_return int(sum / members.size());
}

QCoro::Task<int> reportedGroupVolume(SonosDevice coordinator, CancellationToken cancel)
{
    const XMLNode answer = co_await clientFor(coordinator)
                               .call(SOAPClient::Service::groupRenderingControl, QStringLiteral("GetGroupVolume"), instance(),
                                   std::move(cancel));
    const QString text = XMLText::text(answer, u"CurrentVolume").value_or(QStringLiteral("0"));
    co_return clampedVolume(Text::parseInteger(text).value_or(0));
}

QCoro::Task<QList<RoomLevel>> readRoomLevels(QList<SonosDevice> members, CancellationToken cancel)
{
    std::vector<QCoro::Task<Settled<int>>> volumes;
    std::vector<QCoro::Task<Settled<bool>>> mutes;
    for (const SonosDevice &member : members) {
        volumes.push_back(settle(deviceVolume(member, cancel)));
        mutes.push_back(settle(deviceMuted(member, cancel)));
    }
    // Every request is awaited before the first failure is passed on, so
    // none outlives this call.
    QList<RoomLevel> levels;
    std::exception_ptr failure;
    for (qsizetype i = 0; i < members.size(); ++i) {
        const Settled<int> volume = co_await std::move(volumes[size_t(i)]);
        const Settled<bool> muted = co_await std::move(mutes[size_t(i)]);
        if (!failure)
            failure = volume.failure ? volume.failure : muted.failure;
        if (!failure)
            levels.append({members[i], *volume.value, *muted.value});
    }
    if (failure)
        std::rethrow_exception(failure);
    co_return levels;
}

// The balance rule for players without the group service: read each member,
// scale it from the group's average, write it back.
QCoro::Task<void> scaleMembers(QList<SonosDevice> members, int level)
{
    const QList<RoomLevel> levels = co_await readRoomLevels(members, {});
    qint64 sum = 0;
    for (const RoomLevel &room : levels)
        sum += room.volume;
    const int average = levels.isEmpty() ? 0 : int(sum / levels.size());
    for (const RoomLevel &room : levels)
        co_await send(clientFor(room.device), SOAPClient::Service::renderingControl, QStringLiteral("SetVolume"),
            withValue(masterChannel(), QStringLiteral("DesiredVolume"),
                QString::number(scaledRoomVolume(room.volume, average, level))));
}

QCoro::Task<void> balancedVolume(ZoneGroup group, int level)
{
    const SOAPClient coordinator = clientFor(group.coordinator);
    std::exception_ptr failure;
    try {
        co_await send(coordinator, SOAPClient::Service::groupRenderingControl, QStringLiteral("SnapshotGroupVolume"), instance());
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        if (!isUnsupported(failure))
            std::rethrow_exception(failure);
        co_await scaleMembers(group.members, level);
        co_return;
    }
    co_await send(coordinator, SOAPClient::Service::groupRenderingControl, QStringLiteral("SetGroupVolume"),
        withValue(instance(), QStringLiteral("DesiredVolume"), QString::number(level)));
}

SOAPClient::Arguments withMaster(const QString &name, const QString &value)
{
    return withValue(masterChannel(), name, value);
}

// One request per member, strictly one after another; the first failure ends
// the loop, leaving the members before it changed.
QCoro::Task<void> sendToMembers(QList<SonosDevice> members, QString action, SOAPClient::Arguments arguments)
{
    for (const SonosDevice &member : members)
        co_await send(clientFor(member), SOAPClient::Service::renderingControl, action, arguments);
}

} // namespace

namespace GroupControllerDetail {

QCoro::Task<int> deviceVolume(SonosDevice device, CancellationToken cancel)
{
    const XMLNode answer = co_await clientFor(device).call(
        SOAPClient::Service::renderingControl, QStringLiteral("GetVolume"), masterChannel(), cancel);
    // Unreadable is 0. A level outside 0 to 100 is held to it, so that a
    // confused player can neither skew the average past the scale nor
    // overflow the sum.
    const QString text = XMLText::text(answer, u"CurrentVolume").value_or(QStringLiteral("0"));
    co_return clampedVolume(Text::parseInteger(text).value_or(0));
}

bool isUnsupported(const std::exception_ptr &failure)
{
    // Only a player that lacks the action or the address: any other refusal
    // (a member asked as if it led, say) is the caller's to hear.
    try {
        std::rethrow_exception(failure);
    } catch (const SonosError &error) {
        if (error.kind() == SonosError::Kind::upnpFault)
            return error.code() == invalidActionFault;
        if (error.kind() == SonosError::Kind::httpStatus)
            return error.status() == notFoundStatus || error.status() == notImplementedStatus;
    } catch (...) {
    }
    return false;
}

QCoro::Task<int> groupVolume(ZoneGroup group, CancellationToken cancel)
{
    const Settled<int> reported = co_await settle(reportedGroupVolume(group.coordinator, cancel));
    if (reported.value)
        co_return *reported.value;
    if (!isUnsupported(reported.failure))
        std::rethrow_exception(reported.failure);
    co_return co_await averageVolume(group.members, std::move(cancel));
}

QCoro::Task<bool> coordinatorMuted(ZoneGroup group, CancellationToken cancel)
{
    return deviceMuted(std::move(group.coordinator), std::move(cancel));
}

} // namespace GroupControllerDetail

int scaledRoomVolume(int roomVolume, int snapshotGroupVolume, int newGroupVolume)
{
    if (snapshotGroupVolume <= 0)
        return clampedVolume(newGroupVolume);
    const double scaled = double(roomVolume) * newGroupVolume / snapshotGroupVolume;
    return clampedVolume(std::llround(scaled));
}

QCoro::Task<int> GroupController::volume(CancellationToken cancel) const
{
    return GroupControllerDetail::groupVolume(m_group, std::move(cancel));
}

QCoro::Task<bool> GroupController::isMuted(CancellationToken cancel) const
{
    return coordinatorMuted(m_group, std::move(cancel));
}

QCoro::Task<void> GroupController::setVolume(int level) const
{
    return sendToMembers(m_group.members, QStringLiteral("SetVolume"),
        withMaster(QStringLiteral("DesiredVolume"), QString::number(clampedVolume(level))));
}

QCoro::Task<void> GroupController::setVolumeOnDevice(int level, SonosDevice device) const
{
    return sendToMembers({std::move(device)}, QStringLiteral("SetVolume"),
        withMaster(QStringLiteral("DesiredVolume"), QString::number(clampedVolume(level))));
}

QCoro::Task<void> GroupController::setBalancedVolume(int level) const
{
    return balancedVolume(m_group, clampedVolume(level));
}

QCoro::Task<int> GroupController::groupVolume(CancellationToken cancel) const
{
    return reportedGroupVolume(m_group.coordinator, std::move(cancel));
}

QCoro::Task<bool> GroupController::isGroupMuted(CancellationToken cancel) const
{
    const SOAPClient client = clientFor(m_group.coordinator);
    const XMLNode answer = co_await client.call(
        SOAPClient::Service::groupRenderingControl, QStringLiteral("GetGroupMute"), instance(), std::move(cancel));
    co_return XMLText::text(answer, u"CurrentMute") == QStringLiteral("1");
}

QCoro::Task<void> GroupController::setGroupMuted(bool muted) const
{
    return send(clientFor(m_group.coordinator), SOAPClient::Service::groupRenderingControl, QStringLiteral("SetGroupMute"),
        withValue(instance(), QStringLiteral("DesiredMute"), flag(muted)));
}

QCoro::Task<void> GroupController::snapshotGroupVolume() const
{
    return send(clientFor(m_group.coordinator), SOAPClient::Service::groupRenderingControl, QStringLiteral("SnapshotGroupVolume"),
        instance());
}

QCoro::Task<void> GroupController::setGroupVolume(int level) const
{
    return send(clientFor(m_group.coordinator), SOAPClient::Service::groupRenderingControl, QStringLiteral("SetGroupVolume"),
        withValue(instance(), QStringLiteral("DesiredVolume"), QString::number(clampedVolume(level))));
}

QCoro::Task<void> GroupController::setMutedOnDevice(bool muted, SonosDevice device) const
{
    return sendToMembers({std::move(device)}, QStringLiteral("SetMute"), withMaster(QStringLiteral("DesiredMute"), flag(muted)));
}

QCoro::Task<QList<RoomLevel>> GroupController::roomLevels(CancellationToken cancel) const
{
    return readRoomLevels(m_group.members, std::move(cancel));
}

QCoro::Task<void> GroupController::adjustVolume(int delta) const
{
    return sendToMembers(
        m_group.members, QStringLiteral("SetRelativeVolume"), withMaster(QStringLiteral("Adjustment"), QString::number(delta)));
}

QCoro::Task<void> GroupController::setMuted(bool muted) const
{
    return sendToMembers(m_group.members, QStringLiteral("SetMute"), withMaster(QStringLiteral("DesiredMute"), flag(muted)));
}

QCoro::Task<void> GroupController::join(SonosDevice device) const
{
    return send(clientFor(device), SOAPClient::Service::avTransport, QStringLiteral("SetAVTransportURI"),
        {{QStringLiteral("InstanceID"), QStringLiteral("0")},
            {QStringLiteral("CurrentURI"), QStringLiteral("x-rincon:") + m_group.coordinator.uuid},
            {QStringLiteral("CurrentURIMetaData"), QString()}});
}

QCoro::Task<void> GroupController::leave(SonosDevice device) const
{
    return send(
        clientFor(device), SOAPClient::Service::avTransport, QStringLiteral("BecomeCoordinatorOfStandaloneGroup"), instance());
}

} // namespace SonosKit
