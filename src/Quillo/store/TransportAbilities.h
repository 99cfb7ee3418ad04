// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/StoreTask.h"

#include "SonosKit/TransportActions.h"
#include "SonosKit/events/TransportEvent.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

class Household;
class NowPlaying;
class StoreContext;

// What the selected group's source lets the transport buttons do: a queue
// everything, a radio stream no skipping, a TV nothing but another source.
// The coordinator's events say so (CurrentTransportActions); without them
// it is asked whenever the source or its state changes. Until it is known,
// everything is allowed: a button the players refuse says why.
class TransportAbilities : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the transport's abilities.")
    Q_PROPERTY(bool canPlay READ canPlay NOTIFY changed)
    Q_PROPERTY(bool canPause READ canPause NOTIFY changed)
    Q_PROPERTY(bool canStop READ canStop NOTIFY changed)
    Q_PROPERTY(bool canNext READ canNext NOTIFY changed)
    Q_PROPERTY(bool canPrevious READ canPrevious NOTIFY changed)
    Q_PROPERTY(bool canSeek READ canSeek NOTIFY changed)

public:
    TransportAbilities(StoreContext &context, Household &household, NowPlaying &nowPlaying, QObject *parent = nullptr);

    // An event from the selected group's coordinator at `host`.
    void apply(const QString &host, const SonosKit::TransportEvent &event);
    // The events went missing, or never flowed: the players are asked.
    void followEvents(bool flowing) { m_eventsFlowing = flowing; }
    QCoro::Task<void> refresh();

    SonosKit::TransportActions actions() const { return m_actions; }
    bool canPlay() const { return m_actions.testFlag(SonosKit::TransportAction::play); }
    bool canPause() const { return m_actions.testFlag(SonosKit::TransportAction::pause); }
    bool canStop() const { return m_actions.testFlag(SonosKit::TransportAction::stop); }
    bool canNext() const { return m_actions.testFlag(SonosKit::TransportAction::next); }
    bool canPrevious() const { return m_actions.testFlag(SonosKit::TransportAction::previous); }
    bool canSeek() const { return m_actions.testFlag(SonosKit::TransportAction::seek); }

Q_SIGNALS:
    void changed();

private:
    StoreTask<void> refreshTask();
    void followGroup();
    void setActions(SonosKit::TransportActions actions);
    void playbackChanged();

    StoreContext &m_context;
    Household &m_household;
    NowPlaying &m_nowPlaying;
    SonosKit::TransportActions m_actions = everything;
    bool m_eventsFlowing = false;
    // Counts the reads begun, the events that told the actions and the
    // coordinators followed: a read that began before any of them is older.
    quint64 m_reads = 0;
    QString m_coordinatorHost;
    // The source and state the actions were last asked for.
    std::optional<std::pair<QString, SonosKit::TransportState>> m_askedFor;

    static constexpr SonosKit::TransportActions everything{SonosKit::TransportAction::play, SonosKit::TransportAction::pause,
        SonosKit::TransportAction::stop, SonosKit::TransportAction::next, SonosKit::TransportAction::previous,
        SonosKit::TransportAction::seek};
};
