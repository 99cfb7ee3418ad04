// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Rooms.h"

#include <QCollator>

#include <algorithm>

using SonosKit::SonosDevice;
using SonosKit::ZoneGroup;

namespace {

bool isMember(const std::optional<ZoneGroup> &group, const QString &host)
{
    return group && group->hasMemberAt(host);
}

} // namespace

void Rooms::setHousehold(const QList<ZoneGroup> &groups, const std::optional<ZoneGroup> &selected)
{
    QList<SonosDevice> devices;
    for (const ZoneGroup &group : groups)
        devices += group.members;
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(devices.begin(), devices.end(),
        [&collator](const SonosDevice &a, const SonosDevice &b) { return collator.compare(a.roomName, b.roomName) < 0; });
    const bool hadSeveral = hasSeveral();
    m_devices = std::move(devices);
    m_selected = selected;
    // What players no longer in the group said of themselves may be stale
    // by the time they come back.
    for (auto it = m_levels.begin(); it != m_levels.end();)
        it = isMember(m_selected, it.key()) ? std::next(it) : m_levels.erase(it);
    rebuild();
    if (hadSeveral != hasSeveral())
        Q_EMIT hasSeveralChanged();
}

void Rooms::setLevels(const QList<SonosKit::RoomLevel> &levels)
{
    for (const SonosKit::RoomLevel &level : levels)
        m_levels.insert(level.device.host, {level.volume, level.muted});
    rebuild();
}

void Rooms::setVolume(const QString &host, int volume)
{
    m_levels[host].volume = volume;
    rebuild();
}

void Rooms::setMuted(const QString &host, bool muted)
{
    m_levels[host].muted = muted;
    rebuild();
}

void Rooms::setPendingVolume(const QString &host, int volume)
{
    m_pending.insert(host, volume);
    rebuild();
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
        preview.fromGroupVolume = fromGroupVolume;
        if (m_selected)
            for (const SonosDevice &member : m_selected->members)
                if (const std::optional<int> volume = shownVolume(member.host))
                    preview.from.insert(member.host, *volume);
        m_groupPreview = std::move(preview);
    }
    m_groupPreview->groupVolume = groupVolume;
    rebuild();
}

void Rooms::endGroupPreview(bool applied)
{
    if (!m_groupPreview)
        return;
    const GroupPreview preview = *std::exchange(m_groupPreview, std::nullopt);
    if (applied) {
        for (auto it = preview.from.cbegin(); it != preview.from.cend(); ++it) {
            m_levels[it.key()].volume = SonosKit::scaledRoomVolume(it.value(), preview.fromGroupVolume, preview.groupVolume);
            m_pending.remove(it.key());
        }
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

std::optional<SonosDevice> Rooms::device(const QString &name) const
{
    const auto found = std::find_if(m_devices.cbegin(), m_devices.cend(),
        [&name](const SonosDevice &device) { return SonosKit::sameRoomName(device.roomName, name); });
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
