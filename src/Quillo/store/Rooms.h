// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/RoomListModel.h"
#include "SonosKit/RoomLevel.h"
#include "SonosKit/SonosDevice.h"
#include "SonosKit/ZoneGroup.h"

#include <QHash>
#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Every room of the household, whether it plays in the selected group, and
// each member's own volume and mute: the Rooms list. Sorted as a file
// browser sorts names, so "Room 2" comes before "Room 10".
class Rooms : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the rooms.")
    Q_PROPERTY(RoomListModel *list READ listModel CONSTANT)
    // A household of one room has nothing to group.
    Q_PROPERTY(bool hasSeveral READ hasSeveral NOTIFY hasSeveralChanged)

public:
    using QObject::QObject;

    void setHousehold(const QList<SonosKit::ZoneGroup> &groups, const std::optional<SonosKit::ZoneGroup> &selected);
    // Levels as read from the players; a member not among them keeps what
    // was known.
    void setLevels(const QList<SonosKit::RoomLevel> &levels);
    void setVolume(const QString &host, int volume);
    void setMuted(const QString &host, bool muted);
    // A room slider's choice, shown instead of the room's level until the
    // panel closes, so a late reading does not pull the slider back.
    void setPendingVolume(const QString &host, int volume);
    void clearPending();

    // While the group slider moves from `fromGroupVolume` to `groupVolume`,
    // each member shows the level the players will give it: its level when
    // the drag began, scaled as they scale it.
    void previewGroupVolume(int groupVolume, int fromGroupVolume);
    // The drag is over: `applied` keeps the scaled levels as the members'
    // own (the players took them), otherwise the levels before it return.
    void endGroupPreview(bool applied);

    // The selected group's members' own volumes (not what a slider holds),
    // by host, as far as known.
    QHash<QString, int> knownVolumes() const;

    // The room called `name` (matched as room names are), wherever it plays.
    std::optional<SonosKit::SonosDevice> device(const QString &name) const;

    RoomListModel *listModel() { return &m_list; }
    const QList<RoomRecord> &records() const { return m_list.items(); }
    bool hasSeveral() const { return m_devices.size() > 1; }

Q_SIGNALS:
    void hasSeveralChanged();

private:
    // A mute may be heard of before the volume.
    struct Level {
        std::optional<int> volume;
        bool muted = false;
    };
    struct GroupPreview {
        QHash<QString, int> from; // host → the level when the drag began
        int fromGroupVolume = 0;
        int groupVolume = 0;
    };

    std::optional<int> shownVolume(const QString &host) const;
    void rebuild();

    RoomListModel m_list;
    QList<SonosKit::SonosDevice> m_devices; // sorted
    std::optional<SonosKit::ZoneGroup> m_selected;
    QHash<QString, Level> m_levels; // by host; members of the selected group only
    QHash<QString, int> m_pending; // by host
    std::optional<GroupPreview> m_groupPreview;
};
