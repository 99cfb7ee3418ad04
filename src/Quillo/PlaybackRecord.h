#pragma once

#include "SonosKit/PlaybackState.h"

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// A playback snapshot as QML reads it: absent fields read as undefined.
class PlaybackRecord
{
    Q_GADGET
    QML_VALUE_TYPE(playbackRecord)
    QML_UNCREATABLE("Snapshots come from the store.")
    Q_PROPERTY(QString transportState READ transportState CONSTANT)
    Q_PROPERTY(bool isPlaying READ isPlaying CONSTANT)
    Q_PROPERTY(QVariant title READ title CONSTANT)
    Q_PROPERTY(QVariant artist READ artist CONSTANT)
    Q_PROPERTY(QVariant album READ album CONSTANT)
    Q_PROPERTY(QVariant albumArtURI READ albumArtURI CONSTANT)
    Q_PROPERTY(QVariant positionSeconds READ positionSeconds CONSTANT)
    Q_PROPERTY(QVariant durationSeconds READ durationSeconds CONSTANT)
    Q_PROPERTY(bool hasProgress READ hasProgress CONSTANT)
    Q_PROPERTY(QString progressText READ progressText CONSTANT)
    Q_PROPERTY(int volume READ volume CONSTANT)
    Q_PROPERTY(bool isMuted READ isMuted CONSTANT)

public:
    PlaybackRecord() = default;
    explicit PlaybackRecord(SonosKit::PlaybackState state) : m_state(std::move(state)) {}

    const SonosKit::PlaybackState &state() const { return m_state; }

    QString transportState() const { return SonosKit::rawValue(m_state.transportState); }
    bool isPlaying() const { return SonosKit::isPlaying(m_state.transportState); }
    QVariant title() const { return optional(m_state.title); }
    QVariant artist() const { return optional(m_state.artist); }
    QVariant album() const { return optional(m_state.album); }
    QVariant albumArtURI() const { return optional(m_state.albumArtURI); }
    QVariant positionSeconds() const { return optional(m_state.positionSeconds); }
    QVariant durationSeconds() const { return optional(m_state.durationSeconds); }
    // A bar is shown only with a position and a duration of at least a second.
    bool hasProgress() const;
    // "1:23 of 4:05", for assistive technology; empty without progress.
    QString progressText() const;
    int volume() const { return m_state.volume; }
    bool isMuted() const { return m_state.isMuted; }

    // "M:SS", or "H:MM:SS" from an hour on.
    static QString clock(qint64 seconds);

    friend bool operator==(const PlaybackRecord &, const PlaybackRecord &) = default;

private:
    template<typename T>
    static QVariant optional(const std::optional<T> &value)
    {
        return value ? QVariant::fromValue(*value) : QVariant();
    }

    SonosKit::PlaybackState m_state;
};
