// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Rooms.h"

#include "Quillo/models/NaturalOrder.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/PlaybackEvents.h"
#include "Quillo/store/Preferences.h"

#include "SonosKit/Regrouping.h"

#include <algorithm>

using SonosKit::GroupController;
using SonosKit::SonosDevice;
using SonosKit::ZoneGroup;

namespace {

// A value asked for earlier never replaces one asked for later.
template<typename T, typename U>
void keepNewer(T &value, quint64 &valueAsked, const U &given, quint64 asked)
{
    if (asked < valueAsked)
        return;
    value = given;
    valueAsked = asked;
}

bool isMember(const std::optional<ZoneGroup> &group, const QString &host)
{
    return group && group->hasMemberAt(host);
}

} // namespace

Rooms::Rooms(StoreContext &context, Household &household, Preferences &preferences, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
    , m_preferences(preferences)
{
    connect(&m_household, &Household::groupsChanged, this, &Rooms::updateHousehold);
    connect(&m_household, &Household::selectedGroupChanged, this, &Rooms::updateHousehold);
}

bool Rooms::wantsLevels() const
{
    return m_preferences.showsRooms() && hasSeveral();
}

QCoro::Task<void> Rooms::refreshLevels()
{
    return refreshLevelsTask();
}

StoreTask<void> Rooms::refreshLevelsTask()
{
    const std::optional<ZoneGroup> group = m_household.selectedGroup();
    if (!group)
        co_return;
    const quint64 asked = ask();
    // A failed read is tried again at the next; the playback read reports trouble.
    const auto levels = co_await m_context.attempt(GroupController(*group).roomLevels(m_context.token()));
    if (levels)
        setLevels(*levels, asked);
}

void Rooms::setShown(bool shown)
{
    m_preferences.setShowsRooms(shown);
    if (wantsLevels())
        StoreContext::start(refreshLevels());
}

void Rooms::add(const QString &roomID)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    const std::optional<SonosDevice> room = device(roomID);
    if (!group || !room || group->members.contains(*room))
        return;
    // A coordinator of another group moves alone; the players hand what it
    // led to its next member.
    StoreContext::start(regroup(
        *group, [room = *room](GroupController controller) { return controller.join(room); },
        SonosKit::Regrouping::joined(m_household.groups(), *room, group->id), std::nullopt));
}

void Rooms::remove(const QString &roomID)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    const std::optional<SonosDevice> room = device(roomID);
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
    StoreContext::start(regroup(
        *group, [room = *room](GroupController controller) { return controller.leave(room); }, expected, remembered));
}

StoreTask<void> Rooms::regroup(
    ZoneGroup group, StoreContext::Operation operation, QList<ZoneGroup> expected, std::optional<QString> rememberedRoom)
{
    const Attempt<void> done = co_await m_context.attempt(operation(GroupController(std::move(group))));
    if (!done) {
        m_context.report(done.failure());
    } else {
        if (rememberedRoom)
            m_household.setSelectedRoomName(rememberedRoom);
        m_household.setGroups(std::move(expected));
    }
    co_await m_context.guarded(m_household.refresh());
    if (done && wantsLevels())
        co_await m_context.guarded(refreshLevels());
}

void Rooms::previewVolume(const QString &roomID, int level)
{
    if (const std::optional<SonosDevice> room = device(roomID)) {
        m_pending.insert(room->host, level);
        rebuild();
    }
}

void Rooms::commitVolume(const QString &roomID, int level)
{
    const std::optional<SonosDevice> room = device(roomID);
    if (!room)
        return;
    previewVolume(roomID, level);
    Q_EMIT volumeCommitted();
    m_context.perform([level, room = *room](GroupController controller) { return controller.setVolumeOnDevice(level, room); },
        [this, level, host = room->host, asked = ask()] {
            storeVolume(host, level, asked);
            rebuild();
        });
}

void Rooms::setMuted(const QString &roomID, bool muted)
{
    const std::optional<SonosDevice> room = device(roomID);
    if (!room)
        return;
    m_context.perform([muted, room = *room](GroupController controller) { return controller.setMutedOnDevice(muted, room); },
        [this, muted, host = room->host, asked = ask()] {
            storeMuted(host, muted, asked);
            rebuild();
        });
}

void Rooms::apply(const QString &host, const SonosKit::RenderingEvent &event)
{
    // Heard now: newer than any answer on its way.
    const quint64 asked = ask();
    if (event.volume)
        storeVolume(host, *event.volume, asked);
    if (event.muted)
        storeMuted(host, *event.muted, asked);
    rebuild();
}

void Rooms::updateHousehold()
{
    QList<SonosDevice> devices;
    for (const ZoneGroup &group : m_household.groups())
        devices += group.members;
    sortNaturally(devices, [](const SonosDevice &device) { return device.roomName; });
    const bool hadSeveral = hasSeveral();
    m_devices = std::move(devices);
    m_selected = m_household.selectedGroup();
    // What players no longer in the group said of themselves may be stale
    // by the time they come back.
    for (auto it = m_levels.begin(); it != m_levels.end();)
        it = isMember(m_selected, it.key()) ? std::next(it) : m_levels.erase(it);
    rebuild();
    if (hadSeveral != hasSeveral())
        Q_EMIT hasSeveralChanged();
}

void Rooms::setLevels(const QList<SonosKit::RoomLevel> &levels, quint64 asked)
{
    for (const SonosKit::RoomLevel &level : levels) {
        storeVolume(level.device.host, level.volume, asked);
        storeMuted(level.device.host, level.muted, asked);
    }
    rebuild();
}

Rooms::Level *Rooms::memberLevel(const QString &host)
{
    // A player that left the group meanwhile is no member to show.
    return isMember(m_selected, host) ? &m_levels[host] : nullptr;
}

void Rooms::storeVolume(const QString &host, int volume, quint64 asked)
{
    if (Level *level = memberLevel(host))
        keepNewer(level->volume, level->volumeAsked, volume, asked);
}

void Rooms::storeMuted(const QString &host, bool muted, quint64 asked)
{
    if (Level *level = memberLevel(host))
        keepNewer(level->muted, level->mutedAsked, muted, asked);
}

void Rooms::clearPending()
{
    m_pending.clear();
    m_groupPreview.reset();
    rebuild();
}

void Rooms::previewGroupVolume(int groupVolume, int fromGroupVolume)
{
    if (!m_groupPreview) {
        GroupPreview preview;
        if (m_selected)
            for (const SonosDevice &member : m_selected->members)
                if (const std::optional<int> volume = shownVolume(member.host))
                    preview.from.insert(member.host, *volume);
        // The players scale from the group volume they count, their
        // members' average: after a drag whose answer is still on its way
        // (or one that met the top) that is not where the slider stands.
        const std::optional<int> counted = m_selected ? PlaybackEvents::groupVolume(*m_selected, preview.from) : std::nullopt;
        preview.fromGroupVolume = counted.value_or(fromGroupVolume);
        m_groupPreview = std::move(preview);
    }
    m_groupPreview->groupVolume = groupVolume;
    rebuild();
}

Rooms::GroupCommit Rooms::commitGroupPreview()
{
    GroupCommit commit;
    commit.asked = ask();
    if (!m_groupPreview)
        return commit;
    const GroupPreview preview = *std::exchange(m_groupPreview, std::nullopt);
    for (auto it = preview.from.cbegin(); it != preview.from.cend(); ++it) {
        if (!isMember(m_selected, it.key()))
            continue;
        Level &level = m_levels[it.key()];
        commit.before.insert(it.key(), level);
        level.volume = SonosKit::scaledRoomVolume(it.value(), preview.fromGroupVolume, preview.groupVolume);
        level.volumeAsked = commit.asked;
        if (const auto pending = m_pending.find(it.key()); pending != m_pending.end()) {
            commit.pendingBefore.insert(it.key(), *pending);
            m_pending.erase(pending);
        }
    }
    rebuild();
    return commit;
}

void Rooms::refuseGroupCommit(const GroupCommit &commit)
{
    for (auto it = commit.before.cbegin(); it != commit.before.cend(); ++it) {
        const auto level = m_levels.find(it.key());
        if (level == m_levels.end() || level->volumeAsked != commit.asked)
            continue;
        level->volume = it->volume;
        level->volumeAsked = it->volumeAsked;
        if (commit.pendingBefore.contains(it.key()) && !m_pending.contains(it.key()))
            m_pending.insert(it.key(), commit.pendingBefore.value(it.key()));
    }
    rebuild();
}

QHash<QString, int> Rooms::knownVolumes() const
{
    QHash<QString, int> volumes;
    for (auto it = m_levels.cbegin(); it != m_levels.cend(); ++it)
        if (it->volume)
            volumes.insert(it.key(), *it->volume);
    return volumes;
}

std::optional<SonosDevice> Rooms::device(const QString &roomID) const
{
    const auto found = std::find_if(
        m_devices.cbegin(), m_devices.cend(), [&roomID](const SonosDevice &device) { return device.id() == roomID; });
    if (found == m_devices.cend())
        return std::nullopt;
    return *found;
}

std::optional<int> Rooms::shownVolume(const QString &host) const
{
    if (m_groupPreview && m_groupPreview->from.contains(host))
        return SonosKit::scaledRoomVolume(
            m_groupPreview->from.value(host), m_groupPreview->fromGroupVolume, m_groupPreview->groupVolume);
    if (m_pending.contains(host))
        return m_pending.value(host);
    return m_levels.value(host).volume;
}

void Rooms::rebuild()
{
    const qsizetype groupSize = m_selected ? m_selected->members.size() : 0;
    QList<RoomRecord> records;
    records.reserve(m_devices.size());
    for (const SonosDevice &device : m_devices) {
        RoomRecord record;
        record.id = device.id();
        record.name = device.roomName;
        record.inGroup = isMember(m_selected, device.host);
        record.canLeave = record.inGroup && groupSize > 1;
        const std::optional<int> volume = record.inGroup ? shownVolume(device.host) : std::nullopt;
        record.hasLevel = volume.has_value();
        record.volume = volume.value_or(0);
        record.muted = record.inGroup && m_levels.value(device.host).muted;
        records.append(std::move(record));
    }
    m_list.setItems(std::move(records));
}
