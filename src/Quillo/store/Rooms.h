// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/RoomListModel.h"
#include "Quillo/store/StoreContext.h"
#include "Quillo/store/StoreTask.h"

#include "SonosKit/RoomLevel.h"
#include "SonosKit/SonosDevice.h"
#include "SonosKit/ZoneGroup.h"
#include "SonosKit/events/RenderingEvent.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

class Household;
class Preferences;
class StoreContext;

// Every room of the household, whether it plays in the selected group, and
// each member's own volume and mute: the Rooms list, and putting rooms
// together and apart. Sorted as a file browser sorts names, so "Room 2"
// comes before "Room 10". A room is addressed by its id (RoomRecord::id),
// never by the name it shows.
class Rooms : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the rooms.")
    Q_PROPERTY(RoomListModel *list READ listModel CONSTANT)
    // A household of one room has nothing to group.
    Q_PROPERTY(bool hasSeveral READ hasSeveral NOTIFY hasSeveralChanged)

public:
    Rooms(StoreContext &context, Household &household, Preferences &preferences, QObject *parent = nullptr);

    // The selected group gains or loses a room; the panel shows the result
    // at once and the next topology read confirms it. A group of one keeps
    // its room.
    Q_INVOKABLE void add(const QString &roomID);
    Q_INVOKABLE void remove(const QString &roomID);
    // A room slider: shown at once instead of the room's level, sent on
    // release, kept until the panel closes (so a late reading does not pull
    // the slider back), as the group slider.
    Q_INVOKABLE void previewVolume(const QString &roomID, int level);
    Q_INVOKABLE void commitVolume(const QString &roomID, int level);
    Q_INVOKABLE void setMuted(const QString &roomID, bool muted);
    // Opens or closes the list; opened, it reads each member's level.
    Q_INVOKABLE void setShown(bool shown);

    // The list is open and has something to group: members' levels are read.
    bool wantsLevels() const;
    QCoro::Task<void> refreshLevels();
    // An event from the selected group's player at `host`.
    void apply(const QString &host, const SonosKit::RenderingEvent &event);
    // The panel closed: the sliders' choices are forgotten.
    void clearPending();

    // While the group slider moves to `groupVolume`, each member shows the
    // level the players will give it: its level when the drag began, scaled
    // as they scale it, from their members' average (`fromGroupVolume`
    // until every member's level is known).
    void previewGroupVolume(int groupVolume, int fromGroupVolume);
    // A mute may be heard of before the volume. Each part remembers when
    // what it holds was asked for (a read or a command sent, an event
    // heard): an answer to something asked earlier is older, and never
    // replaces it.
    struct Level {
        std::optional<int> volume;
        bool muted = false;
        quint64 volumeAsked = 0;
        quint64 mutedAsked = 0;
    };
    struct GroupCommit {
        quint64 asked = 0;
        QHash<QString, Level> before; // host → its level before the drag
        QHash<QString, int> pendingBefore; // host → what its own slider held
    };
    // The group slider is let go: the members keep the levels it showed
    // (the players give them these), so a next drag starts from there.
    GroupCommit commitGroupPreview();
    // The players refused `commit`: a member it set, and nothing has set
    // since, has its level from before the drag back.
    void refuseGroupCommit(const GroupCommit &commit);

    // The selected group's members' own volumes (not what a slider holds),
    // by host, as far as known.
    QHash<QString, int> knownVolumes() const;

    // The member's own mute as far as known.
    bool isMuted(const QString &host) const { return m_levels.value(host).muted; }

    // The room with this id, wherever it plays.
    std::optional<SonosKit::SonosDevice> device(const QString &roomID) const;

    RoomListModel *listModel() { return &m_list; }
    const QList<RoomRecord> &records() const { return m_list.items(); }
    bool hasSeveral() const { return m_devices.size() > 1; }

Q_SIGNALS:
    void hasSeveralChanged();
    // A room's own level was chosen: the group's follows its rooms now.
    void volumeCommitted();

private:
    StoreTask<void> refreshLevelsTask();
    // Levels as read from the players by a read asked for at `asked`; a
    // member not among them keeps what was known.
    void setLevels(const QList<SonosKit::RoomLevel> &levels, quint64 asked);
    struct GroupPreview {
        QHash<QString, int> from; // host → the level when the drag began
        int fromGroupVolume = 0;
        int groupVolume = 0;
    };

    void updateHousehold();
    StoreTask<void> regroup(SonosKit::ZoneGroup group, StoreContext::Operation operation, QList<SonosKit::ZoneGroup> expected,
        std::optional<QString> rememberedRoom);
    // What was asked for at `asked`, unless something asked later is known;
    // the list is rebuilt by the caller.
    Level *memberLevel(const QString &host);
    void storeVolume(const QString &host, int volume, quint64 asked);
    void storeMuted(const QString &host, bool muted, quint64 asked);
    quint64 ask() { return ++m_asked; }
    std::optional<int> shownVolume(const QString &host) const;
    void rebuild();

    StoreContext &m_context;
    Household &m_household;
    Preferences &m_preferences;

    RoomListModel m_list;
    QList<SonosKit::SonosDevice> m_devices; // sorted
    std::optional<SonosKit::ZoneGroup> m_selected;
    QHash<QString, Level> m_levels; // by host; members of the selected group only
    QHash<QString, int> m_pending; // by host
    std::optional<GroupPreview> m_groupPreview;
    // Counts every read, command and event of the levels, so that each
    // knows which came first.
    quint64 m_asked = 0;
};
