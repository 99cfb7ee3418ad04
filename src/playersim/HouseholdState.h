// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "EventPublisher.h"
#include "HouseholdData.h"
#include "RequestLog.h"
#include "SimPlayer.h"

#include <QDate>
#include <QHash>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace playersim {

// The state behind a Household: the players, the content and the one mutex
// that guards them. Every answer is computed under that mutex, so a request
// sees the household as it is between two other requests. Members with a
// "Locked" suffix expect the caller to hold it.
struct HouseholdState {
    using Clock = SimTransport::Clock;

    HouseholdState(HouseholdData data, const QString &firstAddress, quint16 port);
    ~HouseholdState();

    mutable std::mutex mutex;
    HouseholdData content; // players' records here hold the starting state only
    std::vector<std::unique_ptr<SimPlayer>> players;
    QHash<QString, int> indexOfUuid;
    QHash<QString, int> indexOfAddress;
    quint16 port;
    std::shared_ptr<RequestLog> log = std::make_shared<RequestLog>();
    quint32 favoritesUpdateId = 1;
    quint32 playlistsUpdateId = 1;
    // The alarms' version counts every change of content.alarms.
    quint32 alarmListSerial = 1;
    // The ID CreateAlarm gives next: only ever rises, so that a removed
    // alarm's ID never names another one.
    int nextAlarmId = 1;
    // The day and start time each alarm last rang at today, so that the
    // clock rings it once a day, and again at a time it was moved to.
    QHash<int, std::pair<QDate, QString>> alarmRang;

    // Subscriptions and the NOTIFYs sent to them; made before, and stopped
    // before, anything its thread calls into.
    std::unique_ptr<EventPublisher> events;
    // What each (player, event path) last sent, to send only changes.
    QHash<std::pair<int, QString>, QByteArray> lastPublished;

    // Entry points of the players' servers.
    Answer answer(int player, const SoapCall &call);
    Answer answerEvent(int player, const EventRequest &request);
    std::optional<Answer> answerGet(int player, const QByteArray &path, const QByteArray &query);

    // Grouping, shared by the SOAP actions and the test helpers. Both return
    // a UPnP error number on refusal.
    std::optional<int> joinLocked(int player, const QString &coordinatorUuid);
    std::optional<int> leaveLocked(int player);
    // A fault for tests: every join and leave is refused.
    bool refuseGrouping = false;

    // The group `coordinator` leads, as its GroupRenderingControl reports
    // it: the visible members' average volume, and muted when every one of
    // them is.
    int groupVolumeLocked(const SimPlayer &coordinator) const;
    bool isGroupMutedLocked(const SimPlayer &coordinator) const;

    SimPlayer &coordinatorOfLocked(int player);
    // The NOTIFY body `player` sends on the event URL `path` now.
    QByteArray eventBodyLocked(int player, const QString &path);
    // Sends every event whose body changed since it was last sent; called
    // after anything that may change state, and periodically for what
    // changes with time alone.
    void publishChangesLocked();
    // A scripted change for tests: the group of `player` moves to its next
    // track after `delay`.
    void nextTrackLater(int player, std::chrono::milliseconds delay);
    QString zoneGroupStateLocked() const;
    // "RINCON_<first player>:<serial>", as ListAlarms and the events tell it.
    QString alarmListVersionLocked() const;
    // The alarm `id` starts its room now: false for no such alarm, a room
    // switched off, or one that cannot leave its group to ring alone.
    bool ringAlarmLocked(int id);
    // Past every ID of content.alarms.
    void raiseNextAlarmIdLocked();
    // From the next minute on, every enabled alarm rings at its time on
    // this computer's clock, once a day.
    void ringAlarmsOnTime();
    QString groupIdLocked(const SimPlayer &coordinator) const;
    HouseholdData snapshotLocked() const;
    std::optional<int> serviceIdOf(const QString &uri, const QString &metadata) const;
    bool isAuthorizedLocked(const std::optional<SimTrack> &track, const QString &metadata) const;

private:
    Answer answerTopology(int player, const SoapCall &call);
    Answer answerMusicServices(const SoapCall &call);
    Answer answerDeviceProperties(int player, const SoapCall &call);
    Answer answerContentDirectory(int player, const SoapCall &call);
    Answer answerTransport(int player, const SoapCall &call);
    Answer answerRendering(int player, const SoapCall &call);
    Answer answerGroupRendering(int player, const SoapCall &call);
    Answer answerAlarmClock(const SoapCall &call);
    QString alarmListLocked() const;
    void checkAlarmClock();
    // Bass, treble, loudness and the EQ types; none for any other action.
    std::optional<Answer> answerRoomSound(int player, const SoapCall &call);
    // RemoveTrackFromQueue, ReorderTracksInQueue, RemoveAllTracksFromQueue
    // and SaveQueue at the coordinator of `group`.
    static bool isQueueEdit(const QString &action);
    Answer answerQueueEdit(SimPlayer &group, const SoapCall &call, Clock::time_point now);
    QString deviceDescriptionLocked(const SimPlayer &player) const;

    void handOverLocked(SimPlayer &leaving);
    QList<SimPlayer *> visibleMembersLocked(const SimPlayer &coordinator) const;
    void rememberGroupVolumeLocked(SimPlayer &coordinator);
    void setGroupVolumeLocked(SimPlayer &coordinator, int level);
    std::optional<QList<SimTrack>> tracksBehindLocked(const QString &uri, const QString &metadata, int *refusal) const;
    SimTrack trackForLocked(const QString &uri, const QString &metadata) const;
    // x-rincon-stream:<UUID> or x-sonos-htastream:<UUID>:spdif on the group
    // `coordinator` leads; a UPnP error number on refusal.
    std::optional<int> loadInputLocked(SimPlayer &coordinator, const QString &uri);
};

} // namespace playersim
