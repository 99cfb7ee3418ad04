// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/StoreTask.h"

#include "SonosKit/PlayMode.h"
#include "SonosKit/events/TransportEvent.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class Household;
class StoreContext;

// The selected group's shuffle, repeat and crossfade, and which of them what
// plays allows. The coordinator's events keep them current; without events
// they are read once for each group, at each panel opening and after each
// command (GetTransportSettings, GetCrossfadeMode and GetMediaInfo).
//
// A click shows its new value at once and puts the old one back when the
// player refuses it, unless an event or another click has changed the value
// since: every change counts, and a read or an undo that began before the
// latest change is dropped.
class PlayModes : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the play modes.")
    Q_PROPERTY(bool shuffle READ shuffle NOTIFY shuffleChanged)
    Q_PROPERTY(Repeat repeat READ repeat NOTIFY repeatChanged)
    Q_PROPERTY(bool crossfade READ crossfade NOTIFY crossfadeChanged)
    Q_PROPERTY(bool canShuffle READ canShuffle NOTIFY allowedChanged)
    Q_PROPERTY(bool canRepeat READ canRepeat NOTIFY allowedChanged)
    Q_PROPERTY(bool canCrossfade READ canCrossfade NOTIFY allowedChanged)

public:
    enum class Repeat { Off, All, One };
    Q_ENUM(Repeat)

    PlayModes(StoreContext &context, Household &household, QObject *parent = nullptr);

    bool shuffle() const { return m_mode.shuffle; }
    Repeat repeat() const;
    bool crossfade() const { return m_crossfade; }
    bool canShuffle() const { return m_allowed.canShuffle; }
    bool canRepeat() const { return m_allowed.canRepeat; }
    bool canCrossfade() const { return m_allowed.canCrossfade; }
    const SonosKit::PlayMode &playMode() const { return m_mode; }

    // The selected group's coordinator's transport event.
    void apply(const QString &coordinatorHost, const SonosKit::TransportEvent &event);
    // The events say every change: no reads at panel openings or after commands.
    void followEvents(bool flowing) { m_followingEvents = flowing; }
    bool isFollowingEvents() const { return m_followingEvents; }
    // Reads the three once.
    QCoro::Task<void> refresh();

    Q_INVOKABLE void toggleShuffle() { setShuffle(!m_mode.shuffle); }
    // Off, all, one, off.
    Q_INVOKABLE void cycleRepeat();
    Q_INVOKABLE void toggleCrossfade() { setCrossfade(!m_crossfade); }
    Q_INVOKABLE void setShuffle(bool on);
    Q_INVOKABLE void setRepeat(Repeat repeat);
    Q_INVOKABLE void setCrossfade(bool on);

Q_SIGNALS:
    void shuffleChanged();
    void repeatChanged();
    void crossfadeChanged();
    void allowedChanged();

private:
    StoreTask<void> refreshTask();
    void followGroup();
    void showMode(SonosKit::PlayMode mode);
    void showCrossfade(bool on);
    void showAllowed(SonosKit::ValidPlayModes allowed);
    void commandMode(SonosKit::PlayMode mode);

    StoreContext &m_context;
    Household &m_household;
    SonosKit::PlayMode m_mode;
    bool m_crossfade = false;
    SonosKit::ValidPlayModes m_allowed;
    // Counted at every click, event and change of group: what a read or an
    // undo carries is shown only when nothing has changed since it began.
    quint64 m_modeChanges = 0;
    quint64 m_crossfadeChanges = 0;
    quint64 m_allowedChanges = 0;
    QString m_coordinatorHost;
    bool m_followingEvents = false;
};
