// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// GroupRenderingControl: a group's volume and mute as one, at its
// coordinator. A new group volume scales every room from the levels the last
// snapshot remembered, so the balance between rooms holds however often the
// group is turned up and down.

#include "HouseholdState.h"
#include "SoapMessages.h"

#include <cmath>

namespace playersim {

namespace {

const QString groupRenderingUrn = QStringLiteral("urn:schemas-upnp-org:service:GroupRenderingControl:1");

constexpr int lowestVolume = 0;
constexpr int highestVolume = 100;
constexpr qint64 largestAdjustment = 100;
constexpr int invalidActionFault = 401;
constexpr int invalidArgsFault = 402;
// The group's volume belongs to its coordinator; a member refuses it as it
// refuses the group's transport.
constexpr int notCoordinatorFault = 800;

int heldVolume(qint64 level)
{
    return int(std::clamp<qint64>(level, lowestVolume, highestVolume));
}

// A room's level for the new group volume. From a group snapshotted at 0
// there is no balance left to keep, and every room takes the new level.
int scaledVolume(int roomVolume, int snapshotVolume, int newVolume)
{
    if (snapshotVolume == 0)
        return newVolume;
    return heldVolume(std::llround(double(roomVolume) * newVolume / snapshotVolume));
}

std::optional<qint64> integerArgument(const SoapCall &call, const QString &name)
{
    bool ok = false;
    const qint64 value = call.argument(name).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QList<SimPlayer *> HouseholdState::visibleMembersLocked(const SimPlayer &coordinator) const
{
    QList<SimPlayer *> members;
    for (const auto &member : players)
        if (member->coordinator == coordinator.record.uuid && !member->record.invisible)
            members.append(member.get());
    return members;
}

int HouseholdState::groupVolumeLocked(const SimPlayer &coordinator) const
{
    const QList<SimPlayer *> members = visibleMembersLocked(coordinator);
    qint64 sum = 0;
    for (const SimPlayer *member : members)
        sum += member->volume;
    return members.isEmpty() ? 0 : int(sum / members.size());
}

bool HouseholdState::isGroupMutedLocked(const SimPlayer &coordinator) const
{
    const QList<SimPlayer *> members = visibleMembersLocked(coordinator);
    return !members.isEmpty() && std::all_of(members.cbegin(), members.cend(), [](const SimPlayer *m) { return m->muted; });
}

void HouseholdState::rememberGroupVolumeLocked(SimPlayer &coordinator)
{
    SimPlayer::VolumeSnapshot snapshot;
    snapshot.groupSerial = coordinator.groupSerial;
    snapshot.groupVolume = groupVolumeLocked(coordinator);
    for (const SimPlayer *member : visibleMembersLocked(coordinator))
        snapshot.levels.insert(member->record.uuid, member->volume);
    coordinator.volumeSnapshot = snapshot;
}

void HouseholdState::setGroupVolumeLocked(SimPlayer &coordinator, int level)
{
    // A snapshot of the group as it was before a join or leave would scale
    // rooms that are no longer in it, or miss the new ones: the group as it
    // is now stands in for it.
    if (!coordinator.volumeSnapshot || coordinator.volumeSnapshot->groupSerial != coordinator.groupSerial)
        rememberGroupVolumeLocked(coordinator);
    const SimPlayer::VolumeSnapshot &snapshot = *coordinator.volumeSnapshot;
    for (SimPlayer *member : visibleMembersLocked(coordinator))
        member->volume = scaledVolume(snapshot.levels.value(member->record.uuid, member->volume), snapshot.groupVolume, level);
}

Answer HouseholdState::answerGroupRendering(int index, const SoapCall &call)
{
    const QString &action = call.action;
    static const QStringList actions{QStringLiteral("GetGroupVolume"), QStringLiteral("SetGroupVolume"),
        QStringLiteral("SnapshotGroupVolume"), QStringLiteral("SetRelativeGroupVolume"), QStringLiteral("GetGroupMute"),
        QStringLiteral("SetGroupMute")};
    if (!actions.contains(action))
        return soapFault(invalidActionFault, QStringLiteral("Invalid Action"));
    if (call.argument(QStringLiteral("InstanceID")) != u"0")
        return soapFault(invalidArgsFault);
    SimPlayer &self = *players[index];
    if (!self.isCoordinator())
        return soapFault(notCoordinatorFault);

    if (action == u"GetGroupVolume")
        return soapResponse(
            groupRenderingUrn, action, {{QStringLiteral("CurrentVolume"), QString::number(groupVolumeLocked(self))}});
    if (action == u"GetGroupMute")
        return soapResponse(groupRenderingUrn, action, {{QStringLiteral("CurrentMute"), flag(isGroupMutedLocked(self))}});
    if (action == u"SnapshotGroupVolume") {
        rememberGroupVolumeLocked(self);
        return soapResponse(groupRenderingUrn, action, {});
    }
    if (action == u"SetGroupVolume") {
        const std::optional<qint64> level = integerArgument(call, QStringLiteral("DesiredVolume"));
        if (!level || *level < lowestVolume || *level > highestVolume)
            return soapFault(invalidArgsFault);
        setGroupVolumeLocked(self, int(*level));
        return soapResponse(groupRenderingUrn, action, {});
    }
    if (action == u"SetRelativeGroupVolume") {
        const std::optional<qint64> adjustment = integerArgument(call, QStringLiteral("Adjustment"));
        if (!adjustment || *adjustment < -largestAdjustment || *adjustment > largestAdjustment)
            return soapFault(invalidArgsFault);
        setGroupVolumeLocked(self, heldVolume(groupVolumeLocked(self) + *adjustment));
        // What GetGroupVolume answers from now on, rounding included.
        return soapResponse(groupRenderingUrn, action, {{QStringLiteral("NewVolume"), QString::number(groupVolumeLocked(self))}});
    }
    // SetGroupMute
    const QString desired = call.argument(QStringLiteral("DesiredMute"));
    bool muted = false;
    if (desired == u"1" || desired == u"true")
        muted = true;
    else if (desired != u"0" && desired != u"false")
        return soapFault(invalidArgsFault);
    for (SimPlayer *member : visibleMembersLocked(self))
        member->muted = muted;
    return soapResponse(groupRenderingUrn, action, {});
}

} // namespace playersim
