// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "HouseholdData.h"

#include <chrono>
#include <optional>

namespace playersim {

// The AVTransport of one coordinator: what is loaded, whether it plays and
// where in the track it is. Time is passed in rather than read, so the
// position is computed lazily from a monotonic clock and no timer runs.
// Not thread-safe; the household's lock guards it.
class SimTransport
{
public:
    using Clock = std::chrono::steady_clock;
    // How long a player reports TRANSITIONING after Play or a track change.
    static constexpr std::chrono::milliseconds transitionTime{200};

    // An input plays live from another player's line-in or a soundbar's TV.
    enum class Source { none, queue, single, lineIn, tv };

    // A refusal with the UPnP error number the player answers.
    struct Refusal {
        int code;
    };

    Source source() const { return m_source; }
    QString uri() const { return m_uri; }
    QString uriMetadata() const { return m_uriMetadata; }

    void loadQueue(const QString &queueUri);
    void loadSingle(const SimTrack &track, const QString &uri, const QString &metadata);
    // A live input: a stream named by its URI alone.
    void loadInput(Source kind, const QString &uri);
    // The queue now belongs to another player (a group was handed over).
    void renameQueue(const QString &queueUri)
    {
        if (m_source == Source::queue)
            m_uri = queueUri;
    }
    // Nothing loaded: NO_MEDIA_PRESENT.
    void unload();

    // Brings the state up to `now`: a playing track that ended gives way to
    // the next queue track, or stops at the end.
    void settle(const QList<SimTrack> &queue, Clock::time_point now);

    // "PLAYING", "TRANSITIONING", "PAUSED_PLAYBACK", "STOPPED", "NO_MEDIA_PRESENT".
    QString stateName(Clock::time_point now) const;
    bool isPlaying() const { return m_mode == Mode::playing; }
    std::optional<SimTrack> currentTrack(const QList<SimTrack> &queue) const;
    int trackNumber() const { return m_source == Source::none ? 0 : m_index + 1; }
    qint64 positionMilliseconds(Clock::time_point now) const;

    std::optional<Refusal> play(const QList<SimTrack> &queue, Clock::time_point now);
    std::optional<Refusal> pause(Clock::time_point now);
    std::optional<Refusal> stop();
    std::optional<Refusal> next(const QList<SimTrack> &queue, Clock::time_point now);
    std::optional<Refusal> previous(const QList<SimTrack> &queue, Clock::time_point now);
    std::optional<Refusal> seekTrack(const QList<SimTrack> &queue, int number, Clock::time_point now);
    std::optional<Refusal> seekTime(const QList<SimTrack> &queue, qint64 seconds, Clock::time_point now);
    // CurrentTransportActions: what the source allows in its state.
    QString actions() const;
    // The queue changed under a playing transport.
    void queueCleared();
    // The entry that plays, counted from 0, while the queue is the source.
    std::optional<int> queueIndex() const { return m_source == Source::queue ? std::optional(m_index) : std::nullopt; }
    // Entries were added, removed or moved around the one that plays: it
    // goes on, now at `index`.
    void queueTrackMoved(int index);
    // The entry that played was removed: the next takes its place from its
    // start, or the transport stops at the end of the queue.
    void queueTrackRemoved(const QList<SimTrack> &queue, Clock::time_point now);

    // The sleep timer: a group that still plays when it runs out pauses.
    // Setting and cancelling (a zero length cancels) bump the generation,
    // and so does running out, which settle() notices.
    void setSleepTimer(std::chrono::seconds length, Clock::time_point now);
    // Whole seconds left, rounded up; nothing when no timer runs.
    std::optional<qint64> sleepSecondsLeft(Clock::time_point now) const;
    quint32 sleepGeneration() const { return m_sleepGeneration; }

    // Shuffle, repeat and crossfade belong to the group and outlive the
    // source, as on real players; the source only limits what may be set.
    QString playMode() const { return m_playMode; }
    bool crossfade() const { return m_crossfade; }
    // SetPlayMode: 712 for a mode the loaded source does not allow (or no
    // mode at all).
    std::optional<Refusal> setPlayMode(const QString &mode);
    // SetCrossfadeMode: 712 for turning it on where the source does not allow it.
    std::optional<Refusal> setCrossfade(bool on);
    // CurrentValidPlayModes for the loaded source, e.g.
    // "SHUFFLE,REPEAT,REPEAT_ONE,CROSSFADE" for the queue.
    QString validPlayModes() const;

private:
    enum class Mode { noMedia, stopped, paused, playing };
    void moveTo(int index, Clock::time_point now);

    Source m_source = Source::none;
    Mode m_mode = Mode::noMedia;
    QString m_uri;
    QString m_uriMetadata;
    SimTrack m_single;
    int m_index = 0;
    // While playing, the position is m_anchorPosition plus the time since
    // m_anchor; before m_anchor the player is still transitioning.
    qint64 m_anchorPosition = 0;
    Clock::time_point m_anchor;
    std::optional<Clock::time_point> m_sleepDeadline;
    quint32 m_sleepGeneration = 0;
    QString m_playMode = QStringLiteral("NORMAL");
    bool m_crossfade = false;
};

} // namespace playersim
