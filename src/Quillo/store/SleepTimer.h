// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/StoreTask.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/events/ServiceEvent.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <chrono>
#include <optional>

class Household;
class StoreContext;

// The selected group's sleep timer, kept on its coordinator. Read when the
// group changes, when the coordinator's events tell another generation (a
// timer set, cancelled or run out anywhere, ours too), after a command of
// ours while no events flow, and when those events were missed; between
// reads the time left counts down here, each second while the panel shows
// it, each minute otherwise (all the tray's tooltip needs).
class SleepTimer : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the sleep timer.")
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(int remainingSeconds READ remainingSeconds NOTIFY remainingSecondsChanged)
    // The time left in whole minutes, rounded up: "29 min", "1 h 15 min";
    // empty while no timer runs.
    Q_PROPERTY(QString label READ label NOTIFY textChanged)
    // The same for assistive technology and the tooltip: "29 minutes left".
    Q_PROPERTY(QString accessibleDescription READ accessibleDescription NOTIFY textChanged)
    // A command of ours is on its way.
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged)

public:
    using Clock = std::chrono::steady_clock;

    SleepTimer(StoreContext &context, Household &household, QObject *parent = nullptr);

    // The group pauses after `minutes`; out of range is reported, not sent.
    Q_INVOKABLE void start(int minutes);
    Q_INVOKABLE void turnOff();

    // Whether the panel shows the time left to the second.
    void setShown(bool shown);
    // An event of the selected group's coordinator.
    void apply(const QString &coordinatorHost, const SonosKit::TransportEvent &event);
    // The coordinator's events were missed: the timer is read once.
    void readAgain();
    // The events tell of our commands too: no read after each.
    void followEvents(bool flowing) { m_eventsFlowing = flowing; }

    bool isRunning() const { return m_deadline.has_value(); }
    int remainingSeconds() const { return m_remainingSeconds; }
    QString label() const { return m_label; }
    QString accessibleDescription() const { return m_description; }
    bool isBusy() const { return m_commands > 0; }

    static QString labelFor(std::chrono::seconds left);
    static QString descriptionFor(std::chrono::seconds left);

Q_SIGNALS:
    void isRunningChanged();
    void remainingSecondsChanged();
    void textChanged();
    void busyChanged();

private:
    void followGroup();
    void configure(std::chrono::seconds length);
    void read();
    StoreTask<void> readTask(SonosKit::ZoneGroup group, quint64 serial);
    void showTimeLeft(std::optional<std::chrono::seconds> left);
    // Shows the time left now and plans the next change of what shows.
    void tick();
    // One command more (+1) or less (-1) on its way.
    void countCommand(int change);

    StoreContext &m_context;
    Household &m_household;
    // The group whose timer shows: its id and coordinator.
    QString m_groupKey;
    std::optional<quint32> m_generation;
    std::optional<Clock::time_point> m_deadline;
    int m_remainingSeconds = 0;
    QString m_label;
    QString m_description;
    int m_commands = 0;
    bool m_eventsFlowing = false;
    bool m_shown = false;
    // Counts the reads begun: one that began before another ends unheard.
    quint64 m_reads = 0;
    QTimer m_tick;
};
