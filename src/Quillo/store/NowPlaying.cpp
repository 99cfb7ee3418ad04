// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/NowPlaying.h"

void NowPlaying::setPlayback(std::optional<SonosKit::PlaybackState> playback)
{
    if (playback == m_playback)
        return;
    m_playback = std::move(playback);
    Q_EMIT playbackChanged();
    update();
}

void NowPlaying::setPendingVolume(std::optional<int> volume)
{
    if (volume == m_pendingVolume)
        return;
    m_pendingVolume = volume;
    update();
}

void NowPlaying::update()
{
    const int volume = m_pendingVolume ? *m_pendingVolume : m_playback ? m_playback->volume : 0;
    if (volume != m_volume) {
        m_volume = volume;
        Q_EMIT volumeChanged();
    }
    const bool playing = m_playback && SonosKit::isPlaying(m_playback->transportState);
    if (playing != m_isPlaying) {
        m_isPlaying = playing;
        Q_EMIT isPlayingChanged();
    }
}
