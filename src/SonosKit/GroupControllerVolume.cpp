// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Volume, mute and grouping. There is no group-wide rendering service among
// the ones the system uses, so the group volume is the members' average and a
// change is sent to each member in turn.

#include "GroupController.h"

#include "GroupControllerDetail.h"
#include "Text.h"
#include "XMLText.h"

#include <algorithm>

namespace SonosKit {

using namespace GroupControllerDetail;

namespace {

int clampedVolume(qint64 level)
{
    return int(std::clamp<qint64>(level, 0, 100));
}

SOAPClient::Arguments withMaster(const QString &name, const QString &value)
{
    SOAPClient::Arguments arguments = masterChannel();
    arguments.append({name, value});
    return arguments;
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

QCoro::Task<int> groupVolume(ZoneGroup group, CancellationToken cancel)
{
    if (group.members.isEmpty())
        co_return 0;
    qint64 sum = 0;
    for (const SonosDevice &member : group.members)
        sum += co_await deviceVolume(member, cancel);
    co_return int(sum / group.members.size());
}

QCoro::Task<bool> coordinatorMuted(ZoneGroup group, CancellationToken cancel)
{
    const XMLNode answer = co_await clientFor(group.coordinator)
                               .call(SOAPClient::Service::renderingControl, QStringLiteral("GetMute"), masterChannel(), cancel);
    co_return XMLText::text(answer, u"CurrentMute") == QStringLiteral("1");
}

} // namespace GroupControllerDetail

QCoro::Task<int> GroupController::volume(CancellationToken cancel) const
{
    return groupVolume(m_group, std::move(cancel));
}

QCoro::Task<int> GroupController::volumeOfDevice(SonosDevice device, CancellationToken cancel) const
{
    return deviceVolume(std::move(device), std::move(cancel));
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

QCoro::Task<void> GroupController::adjustVolume(int delta) const
{
    return sendToMembers(
        m_group.members, QStringLiteral("SetRelativeVolume"), withMaster(QStringLiteral("Adjustment"), QString::number(delta)));
}

QCoro::Task<void> GroupController::setMuted(bool muted) const
{
    return sendToMembers(m_group.members, QStringLiteral("SetMute"),
        withMaster(QStringLiteral("DesiredMute"), muted ? QStringLiteral("1") : QStringLiteral("0")));
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
