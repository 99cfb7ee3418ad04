// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/PlaybackState.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// A playback snapshot as QML reads it: an absent text reads as empty, an
// absent number as zero; `hasTitle` and `hasProgress` tell where the
// difference shows.
class PlaybackRecord
{
    Q_GADGET
    QML_VALUE_TYPE(playbackRecord)
    QML_UNCREATABLE("Snapshots come from the store.")
    Q_PROPERTY(QString transportState READ transportState CONSTANT)
    Q_PROPERTY(bool isPlaying READ isPlaying CONSTANT)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(bool hasTitle READ hasTitle CONSTANT)
    Q_PROPERTY(QString artist READ artist CONSTANT)
    Q_PROPERTY(QString albumArtURI READ albumArtURI CONSTANT)
    Q_PROPERTY(qint64 positionSeconds READ positionSeconds CONSTANT)
    Q_PROPERTY(qint64 durationSeconds READ durationSeconds CONSTANT)
    Q_PROPERTY(bool hasProgress READ hasProgress CONSTANT)
    Q_PROPERTY(QString progressText READ progressText CONSTANT)
    // "tv" or "lineIn" while the group plays an input, empty otherwise.
    Q_PROPERTY(QString inputKind READ inputKind CONSTANT)

public:
    PlaybackRecord() = default;
    explicit PlaybackRecord(SonosKit::PlaybackState state)
        : m_state(std::move(state))
    { }

    const SonosKit::PlaybackState &state() const { return m_state; }

    QString transportState() const { return SonosKit::rawValue(m_state.transportState); }
    bool isPlaying() const { return SonosKit::isPlaying(m_state.transportState); }
    QString title() const { return m_state.title.value_or(QString()); }
    bool hasTitle() const { return m_state.title.has_value(); }
    QString artist() const { return m_state.artist.value_or(QString()); }
    QString albumArtURI() const { return m_state.albumArtURI.value_or(QString()); }
    qint64 positionSeconds() const { return m_state.positionSeconds.value_or(0); }
    qint64 durationSeconds() const { return m_state.durationSeconds.value_or(0); }
    // A bar is shown only with a position and a duration of at least a second.
    bool hasProgress() const;
    // "1:23 of 4:05", for assistive technology; empty without progress.
    QString progressText() const;
    QString inputKind() const;

    // "M:SS", or "H:MM:SS" from an hour on.
    static QString clock(qint64 seconds);

    friend bool operator==(const PlaybackRecord &, const PlaybackRecord &) = default;

private:
    SonosKit::PlaybackState m_state;
};
