// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/PlaybackRecord.h"

#include "SonosKit/PlaybackState.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

// What the selected group plays, and its volume: the slider's pending value
// while the user drags or has just let go, the players' reading otherwise.
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
    using QObject::QObject;

    const std::optional<SonosKit::PlaybackState> &playback() const { return m_playback; }
    std::optional<int> pendingVolume() const { return m_pendingVolume; }

    void setPlayback(std::optional<SonosKit::PlaybackState> playback);
    void setPendingVolume(std::optional<int> volume);
    // Every snapshot read, equal or not: a clock for listeners that
    // extrapolate the position.
    void noteRead() { Q_EMIT playbackRead(); }

    PlaybackRecord playbackRecord() const { return m_playback ? PlaybackRecord(*m_playback) : PlaybackRecord(); }
    bool hasPlayback() const { return m_playback.has_value(); }
    bool isPlaying() const { return m_isPlaying; }
    int volume() const { return m_volume; }

Q_SIGNALS:
    void playbackChanged();
    void isPlayingChanged();
    void volumeChanged();
    void playbackRead();

private:
    void update();

    std::optional<SonosKit::PlaybackState> m_playback;
    std::optional<int> m_pendingVolume;
    bool m_isPlaying = false;
    int m_volume = 0;
};
