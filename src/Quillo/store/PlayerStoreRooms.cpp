// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The Rooms list: putting rooms together and apart, and each room's own
// volume and mute.
#include "Quillo/store/Failure.h"
#include "Quillo/store/PlayerStore.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/Regrouping.h"

using SonosKit::GroupController;
using SonosKit::SonosDevice;
using SonosKit::ZoneGroup;

void PlayerStore::updateRooms()
{
    m_rooms.setHousehold(m_household.groups(), m_household.selectedGroup());
}

bool PlayerStore::wantsRoomLevels() const
{
    return m_preferences.showsRooms() && m_rooms.hasSeveral();
}

QCoro::Task<void> PlayerStore::refreshRoomLevels()
{
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return;
    QList<SonosKit::RoomLevel> levels;
    try {
        levels = co_await guarded(GroupController(*group).roomLevels(m_tasks.token()));
    } catch (const std::exception &) {
        // The next read tries again; the playback read reports trouble.
        co_return;
    }
    m_rooms.setLevels(levels);
}

void PlayerStore::setShowsRooms(bool shows)
{
    m_preferences.setShowsRooms(shows);
    if (wantsRoomLevels())
        TaskGuard::start(refreshRoomLevels());
}

void PlayerStore::addRoom(const QString &name)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    const std::optional<SonosDevice> room = m_rooms.device(name);
    if (!group || !room || group->members.contains(*room))
        return;
    // A coordinator of another group moves alone; the players hand what it
    // led to its next member.
    TaskGuard::start(regroupTask(
        *group, [room = *room](GroupController controller) { return controller.join(room); },
        SonosKit::Regrouping::joined(m_household.groups(), *room, group->id), std::nullopt));
}

void PlayerStore::removeRoom(const QString &name)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    const std::optional<SonosDevice> room = m_rooms.device(name);
    if (!group || !room || !group->members.contains(*room) || group->members.size() < 2)
        return;
    const QList<ZoneGroup> expected = SonosKit::Regrouping::left(m_household.groups(), *room);
    // The panel stays on the group the user is shaping: when the room that
    // leads it and that it was remembered by leaves, it is remembered by the
    // room that leads it now. Any other room keeps its place in memory, the
    // remembered one too: the panel then follows that room.
    std::optional<QString> remembered;
    if (room->id() == group->coordinator.id() && m_preferences.selectedRoomName()
        && SonosKit::sameRoomName(*m_preferences.selectedRoomName(), room->roomName)) {
        const auto after = std::find_if(
            expected.cbegin(), expected.cend(), [&group](const ZoneGroup &candidate) { return candidate.id == group->id; });
        if (after != expected.cend())
            remembered = after->coordinator.roomName;
    }
    TaskGuard::start(regroupTask(
        *group, [room = *room](GroupController controller) { return controller.leave(room); }, expected, remembered));
}

QCoro::Task<void> PlayerStore::regroupTask(
    ZoneGroup group, Operation operation, QList<ZoneGroup> expected, std::optional<QString> rememberedRoom)
{
    std::optional<Failure> failure;
    try {
        co_await guarded(operation(GroupController(std::move(group))));
    } catch (const std::exception &error) {
        failure.emplace(error);
    }
    if (failure) {
        report(*failure);
    } else {
        if (rememberedRoom)
            setSelectedRoomName(rememberedRoom);
        m_household.setGroups(std::move(expected));
    }
    co_await guarded(refreshTopology());
    if (!failure && wantsRoomLevels())
        co_await guarded(refreshRoomLevels());
}

void PlayerStore::previewRoomVolume(const QString &name, int volume)
{
    if (const std::optional<SonosDevice> room = m_rooms.device(name))
        m_rooms.setPendingVolume(room->host, volume);
}

void PlayerStore::setRoomVolume(const QString &name, int volume)
{
    const std::optional<SonosDevice> room = m_rooms.device(name);
    if (!room)
        return;
    m_rooms.setPendingVolume(room->host, volume);
    // The group's level follows its rooms now, not the group slider's last
    // position.
    m_nowPlaying.setPendingVolume(std::nullopt);
    perform([volume, room = *room](GroupController controller) { return controller.setVolumeOnDevice(volume, room); },
        [this, volume, host = room->host] { m_rooms.setVolume(host, volume); });
}

void PlayerStore::setRoomMuted(const QString &name, bool muted)
{
    const std::optional<SonosDevice> room = m_rooms.device(name);
    if (!room)
        return;
    perform([muted, room = *room](GroupController controller) { return controller.setMutedOnDevice(muted, room); },
        [this, muted, host = room->host] { m_rooms.setMuted(host, muted); });
}
