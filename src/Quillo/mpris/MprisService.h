// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/PlaybackState.h"
#include "SonosKit/TransportActions.h"

#include <QCoroTask>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <functional>
#include <optional>

class ArtworkCache;
class MprisPlayerAdaptor;
class PlayerStore;

// Quillo as a media player on the session bus (MPRIS 2), for the selected
// group: media keys, the desktop's media widget, lock screens, playerctl.
// Every command goes through the store, so the panel and the icon follow.
class MprisService
    : public QObject
    , protected QDBusContext
{
    Q_OBJECT

public:
    static inline const QString busName = QStringLiteral("org.mpris.MediaPlayer2.quillo");
    static inline const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
    static inline const QString noTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

    explicit MprisService(PlayerStore *store, QObject *parent = nullptr);
    ~MprisService() override;

    // Registers on the session bus; false when there is none or the name is
    // taken.
    bool registerOnBus();

    // What the player interface reports.
    QString playbackStatus() const;
    QVariantMap metadata() const;
    QDBusObjectPath trackID() const;
    double volume() const;
    bool shuffle() const;
    // "None", "Playlist" (repeat all) or "Track" (repeat one).
    QString loopStatus() const;
    qint64 positionMicroseconds() const;
    bool hasGroup() const;
    bool canSeek() const;
    // A group is selected and its source allows `action`.
    bool can(SonosKit::TransportAction action) const;
    bool canPlay() const;

    // Commands; each first finds the household when no group is known yet.
    void raise();
    void quit();
    void next();
    void previous();
    void play();
    void pause();
    void playPause();
    void stop();
    void seekBy(qint64 offsetMicroseconds);
    void setPosition(const QDBusObjectPath &track, qint64 positionMicroseconds);
    void setVolume(double volume);
    // The panel's own verbs; an unknown loop status is ignored.
    void setShuffle(bool on);
    void setLoopStatus(const QString &status);
    // Answers the D-Bus call being served with "not supported".
    void refuseOpenUri();

    // The track id of a snapshot: the same track keeps it, another one
    // changes it; a valid object path always.
    static QDBusObjectPath trackIDFor(const std::optional<SonosKit::PlaybackState> &playback, const QString &groupID);

Q_SIGNALS:
    // A client asked to see the player: the shell opens the panel.
    void raiseRequested();
    // The position jumped (a seek, another track, or a jump found by a
    // read); relayed on the bus by the player interface.
    void Seeked(qlonglong position);

private:
    QVariantMap abilities() const;
    void command(std::function<void()> action);
    static QCoro::Task<void> searchThenRun(QPointer<MprisService> self, QPointer<PlayerStore> store);
    void playbackRead();
    void transportEvented(bool trackChanged);
    void noteChanged();
    void announceChanges();

    QPointer<PlayerStore> m_store;
    MprisPlayerAdaptor *m_player = nullptr;
    ArtworkCache *m_artwork = nullptr;
    QList<std::function<void()>> m_waitingCommands;
    bool m_announcing = false;
    bool m_registered = false;
    // The position at the last read or transport event, and the clock
    // since, for extrapolating.
    std::optional<qint64> m_anchorPosition;
    QElapsedTimer m_sinceAnchor;
    bool m_playingAtAnchor = false;
    // Last announced values, so that only real changes are sent.
    QString m_lastStatus;
    QVariantMap m_lastMetadata;
    double m_lastVolume = -1;
    QVariantMap m_lastAbilities; // CanGoNext, CanGoPrevious, CanPlay, CanPause
    bool m_lastCanSeek = false;
    bool m_lastShuffle = false;
    QString m_lastLoopStatus;
};
