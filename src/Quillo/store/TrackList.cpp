// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/TrackList.h"

void TrackList::setTracks(QList<SonosKit::ContentItem> tracks)
{
    if (m_tracks.setItems(std::move(tracks)))
        Q_EMIT tracksChanged();
}

void TrackList::setMessage(std::optional<QString> message)
{
    if (message == m_message)
        return;
    m_message = std::move(message);
    Q_EMIT messageChanged();
}

void TrackList::setSource(Source source)
{
    if (source == m_source)
        return;
    m_source = source;
    Q_EMIT sourceChanged();
}

void TrackList::setLoading(bool loading)
{
    if (loading == m_isLoading)
        return;
    m_isLoading = loading;
    Q_EMIT isLoadingChanged();
}

void TrackList::setCanLoadFromQueue(bool can)
{
    if (can == m_canLoadFromQueue)
        return;
    m_canLoadFromQueue = can;
    Q_EMIT canLoadFromQueueChanged();
}
