// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/PlaybackRecord.h"
#include "Quillo/store/PlaybackEvents.h"
#include "Quillo/store/StoreTask.h"

#include "SonosKit/CancellationToken.h"
#include "SonosKit/PlaybackState.h"
#include "SonosKit/events/ServiceEvent.h"

#include <QCoroTask>
#include <QObject>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <optional>

class Household;
class Rooms;
class StoreContext;

// What the selected group plays, its transport and its volume: the slider's
// pending value while the user drags or has just let go, the players'
// reading otherwise. Read by polls while the panel is open (and, slower,
// while the group plays with the panel closed), kept current between them
// by the coordinator's events.
class NowPlaying : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns what plays.")
    Q_PROPERTY(PlaybackRecord playback READ playbackRecord NOTIFY playbackChanged)
    Q_PROPERTY(bool hasPlayback READ hasPlayback NOTIFY playbackChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(int volume READ volume NOTIFY volumeChanged)

public:
    NowPlaying(StoreContext &context, Household &household, Rooms &rooms, QObject *parent = nullptr);

    // Reads the group's state once; a read that fails looks at the
    // household anew. True when a snapshot was read.
    QCoro::Task<bool> refresh();
    // The panel's polls: reads, with a pause between, until `token` is
    // cancelled.
    SonosKit::CancellationToken startPolling();
    QCoro::Task<void> poll(SonosKit::CancellationToken token);
    // The panel closed: the polls stop, the slider's choice is forgotten.
    void stopPolling();
    bool isPolling() const { return m_pollToken.has_value(); }
    bool isPollingWhileClosed() const { return m_pollingWhileClosed; }
    // The players' events tell every change: no reads with the panel closed.
    void followEvents(bool flowing);
    // An event from the selected group's player at `host`.
    void apply(const QString &host, const SonosKit::ServiceEvent &event);
    // The group's coordinator answers nothing any more (switched off): what
    // it played is no longer known.
    void forget() { setPlayback(std::nullopt); }

    Q_INVOKABLE void togglePlayPause();
    Q_INVOKABLE void next();
    Q_INVOKABLE void previous();
    Q_INVOKABLE void play();
    Q_INVOKABLE void pause();
    Q_INVOKABLE void stop();
    Q_INVOKABLE void seek(int seconds);
    // While the slider is dragged: shown at once, sent on release.
    Q_INVOKABLE void previewVolume(int level);
    // Kept, unclamped, until the panel closes: the slider shows what the
    // user chose, not the next poll's reading.
    Q_INVOKABLE void commitVolume(int level);
    // From outside the panel (media keys, the desktop's media widget): the
    // group volume, without the slider's pending value.
    void setGroupVolume(int level);

    // What shows: what the players report, an input described by its kind
    // ("TV", "Line-In") and room, as players give it no title.
    const std::optional<SonosKit::PlaybackState> &playback() const { return m_shown; }
    std::optional<int> pendingVolume() const { return m_pendingVolume; }

    PlaybackRecord playbackRecord() const { return m_shown ? PlaybackRecord(*m_shown) : PlaybackRecord(); }
    bool hasPlayback() const { return m_playback.has_value(); }
    bool isPlaying() const { return m_isPlaying; }
    int volume() const { return m_volume; }

Q_SIGNALS:
    void playbackChanged();
    void isPlayingChanged();
    void volumeChanged();
    // Every snapshot read, equal or not: a clock for listeners that
    // extrapolate the position.
    void playbackRead();
    // The coordinator's event changed the stored transport: the position,
    // which no event carries, goes on from here at the new state's pace,
    // or, for another track, from zero.
    void transportEvented(bool trackChanged);

private:
    StoreTask<bool> refreshTask();
    StoreTask<void> pollTask(SonosKit::CancellationToken token);
    void setPlayback(std::optional<SonosKit::PlaybackState> playback);
    void setPendingVolume(std::optional<int> volume);
    void update();
    void updateShown();
    void followGroup();
    void updateClosedPoll();
    StoreTask<void> closedPollTask();
    QCoro::Task<void> pollPause(SonosKit::CancellationToken token);
    void applyGroupVolume();
    void build(const SonosKit::ZoneGroup &group, const SonosKit::TransportEvent &event);

    StoreContext &m_context;
    Household &m_household;
    Rooms &m_rooms;

    std::optional<SonosKit::PlaybackState> m_playback;
    std::optional<SonosKit::PlaybackState> m_shown;
    std::optional<int> m_pendingVolume;
    bool m_isPlaying = false;
    int m_volume = 0;

    std::optional<SonosKit::CancellationToken> m_pollToken;
    QTimer m_closedPoll;
    std::chrono::milliseconds m_closedPollInterval{0};
    bool m_pollingWhileClosed = false;
    bool m_closedPollReading = false;
    bool m_eventsFlowing = false;
    // The coordinator whose own group volume came in an event: its figure
    // governs over the members' average.
    std::optional<QString> m_groupVolumeReporter;
    int m_reportedGroupVolume = 0;
    PlaybackEvents::Marks m_eventMarks;
};
