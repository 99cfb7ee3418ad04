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

#include <optional>

class Household;
class StoreContext;

// The selected group's shuffle, repeat and crossfade, and which of them what
// plays allows. The coordinator's events keep them current; without events
// they are read (GetTransportSettings, GetCrossfadeMode and GetMediaInfo)
// once for each group and at each panel opening, not at every poll, which
// would add three requests to each poll's five; what the source allows is
// read again after each command, which may have changed it.
//
// A click shows its new value at once and puts the player's last word back
// when the player refuses it; a read that began before the latest click or
// event is dropped.
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

    // The selected group's coordinator's transport event.
    void apply(const QString &coordinatorHost, const SonosKit::TransportEvent &event);
    // The events say every change: no reads at panel openings or after commands.
    void followEvents(bool flowing) { m_followingEvents = flowing; }
    bool isFollowingEvents() const { return m_followingEvents; }
    // Reads the three once.
    QCoro::Task<void> refresh();

    Q_INVOKABLE void toggleShuffle() { setShuffle(!m_mode.shuffle); }
    // Off, all, one (where the source allows it), off.
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
    // One setting as the player has it and as the user asks for it: one
    // command in flight at a time, so that the player ends at the last
    // click whatever order concurrent requests would arrive in, and the
    // events of the clicks in between don't flicker through.
    template<typename T>
    struct Setting {
        T confirmed{}; // the player's last word
        bool sending = false;
        std::optional<T> queued; // clicked while a command was in flight
        // The player's word when the command in flight was sent, and what
        // it sends.
        T before{};
        T sent{};
        // Another controller's word heard during the command: newer than
        // the command's answer.
        bool heardWhileSending = false;
        // Counted at every click and event: a read that began before the
        // latest change is dropped.
        quint64 changes = 0;

        // Takes the player's word; whether it shows now, as it does unless
        // a command is in flight. Every event carries the setting, those the
        // player sent before it applied the command too: only a value that
        // is neither the one before the click nor the one sent is newer.
        bool hear(const T &value)
        {
            confirmed = value;
            if (sending && value != before && value != sent)
                heardWhileSending = true;
            return !sending;
        }
    };

    // Everything, or only what the source allows.
    enum class What { all, allowed };
    StoreTask<void> refreshTask(What what);
    void followGroup();
    void showMode(SonosKit::PlayMode mode);
    void showCrossfade(bool on);
    void showAllowed(SonosKit::ValidPlayModes allowed);
    // Shows `value` at once, in place of `current`, and sends it with
    // `request`, or queues it behind the command in flight.
    template<typename T, typename Request, typename Show>
    void command(Setting<T> &setting, const T &current, T value, Request request, Show show);
    template<typename T, typename Request, typename Show>
    void send(Setting<T> &setting, T value, Request request, Show show);
    // What the player said or a read found, shown unless a click waits.
    void heardMode(SonosKit::PlayMode mode);
    void heardCrossfade(bool on);

    StoreContext &m_context;
    Household &m_household;
    SonosKit::PlayMode m_mode;
    bool m_crossfade = false;
    SonosKit::ValidPlayModes m_allowed;
    Setting<SonosKit::PlayMode> m_modeSetting;
    Setting<bool> m_crossfadeSetting;
    quint64 m_allowedChanges = 0;
    // Changes with the group: an answer for the last group is not this one's.
    quint64 m_groupSerial = 0;
    QString m_coordinatorHost;
    bool m_followingEvents = false;
};
