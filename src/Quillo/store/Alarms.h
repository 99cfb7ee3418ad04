// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/AlarmListModel.h"
#include "Quillo/store/AlarmDraft.h"
#include "Quillo/store/StoreTask.h"

#include "SonosKit/Alarm.h"

#include <QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <optional>

class Failure;
class Household;
class Library;
class StoreContext;

// The household's alarms (one list, kept by the players), the editor, and
// the next alarm to ring. The list is read from the selected group's
// coordinator when the household's players change, when the players' events
// tell another version of it than the one held, when those events were
// missed, and at each opening of the panel or the Alarms window until its
// events come again; never on a timer. One change goes out at a time.
class Alarms : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the alarms.")
    Q_PROPERTY(AlarmListModel *list READ listModel CONSTANT)
    Q_PROPERTY(AlarmDraft *draft READ draftObject CONSTANT)
    // The first read is on its way: nothing to show yet.
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    // The list could not be read, and none was before.
    Q_PROPERTY(bool readFailed READ readFailed NOTIFY readFailedChanged)
    // A change of ours is on its way: the next waits for it.
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged)
    // Why the last change was refused ("Another alarm is already set for
    // that time in that room."); empty once another is made.
    Q_PROPERTY(QString failureText READ failureText NOTIFY failureTextChanged)
    // "Alarm 07:00 · Bedroom"; empty when none is on.
    Q_PROPERTY(QString nextAlarm READ nextAlarmText NOTIFY nextAlarmChanged)

public:
    Alarms(StoreContext &context, Household &household, Library &library, QObject *parent = nullptr);

    Q_INVOKABLE void setEnabled(const QString &id, bool on);
    // The editor opens on the alarm with this id (one read whole), or on a
    // new alarm in the selected group's room.
    Q_INVOKABLE void edit(const QString &id);
    Q_INVOKABLE void add();
    // Sends the editor's values; it closes once the players took them.
    Q_INVOKABLE void save();
    Q_INVOKABLE void cancelEdit();
    Q_INVOKABLE void remove(const QString &id);
    // The panel's or the tray menu's "Alarms…": the shell shows the window.
    Q_INVOKABLE void requestWindow() { Q_EMIT windowRequested(); }
    // The list read again, once: the window's "Try Again".
    Q_INVOKABLE void reload() { read(); }

    // The panel opened: without events, a change made elsewhere shows now.
    void opened();
    // The Alarms window opened: the same, and the favorites the editor
    // offers are read if the panel never did.
    void windowOpened();
    // The players' events told this version of the list.
    void apply(const QString &version);
    // Those events were missed (or the computer woke): the list is read
    // once, and read at each opening until they tell a version again.
    void readAgain();
    void followEvents(bool flowing) { m_eventsFlowing = flowing; }

    const QList<SonosKit::Alarm> &alarms() const { return m_alarms; }
    AlarmListModel &list() { return m_list; }
    const AlarmListModel &list() const { return m_list; }
    AlarmDraft &draft() { return m_draft; }
    const AlarmDraft &draft() const { return m_draft; }
    AlarmListModel *listModel() { return &m_list; }
    AlarmDraft *draftObject() { return &m_draft; }
    bool isLoading() const { return m_isLoading; }
    bool readFailed() const { return m_readFailed; }
    bool isBusy() const { return m_busy; }
    QString failureText() const { return m_failureText; }
    QString nextAlarmText() const { return m_nextAlarm; }

Q_SIGNALS:
    void isLoadingChanged();
    void readFailedChanged();
    void busyChanged();
    void failureTextChanged();
    void nextAlarmChanged();
    void windowRequested();
    // A read ended, shown or failed.
    void readDone();

private:
    // Where the list is asked for: the selected group's coordinator, else
    // any player of the household.
    QString host() const;
    void followPlayers();
    // Another household: nothing of the last one's list is kept.
    void forget();
    void read(std::optional<QString> version = std::nullopt);
    StoreTask<void> readTask();
    enum class Change { Switch, Save, Add, Remove };
    // The change goes out only while no other is on its way.
    bool send(Change change, SonosKit::Alarm alarm);
    StoreTask<void> sendTask(QString host, Change change, SonosKit::Alarm alarm);
    // One change to the players' list; the id the players gave a new alarm.
    static QCoro::Task<QString> sent(QString host, Change change, SonosKit::Alarm alarm);
    QList<SonosKit::SonosDevice> rooms() const;
    void setFailureText(const QString &text);
    void refused(const Failure &failure);
    void show();
    void updateNext();
    QString roomName(const QString &uuid, bool *available = nullptr) const;
    QString programText(const SonosKit::Alarm &alarm) const;
    std::optional<SonosKit::Alarm> alarm(const QString &id) const;

    StoreContext &m_context;
    Household &m_household;
    Library &m_library;
    AlarmListModel m_list;
    AlarmDraft m_draft;
    QList<SonosKit::Alarm> m_alarms;
    QString m_version;
    // The household's players when last read: the list is read again when they change.
    QStringList m_players;
    // Counts the households followed: a read or a change begun in the last
    // one is not applied to this one.
    quint64 m_householdGeneration = 0;
    bool m_hasRead = false;
    bool m_reading = false;
    // Asked for while a read runs: once more afterwards, unconditionally,
    // or only if it did not bring this version.
    bool m_readAgain = false;
    std::optional<QString> m_awaitedVersion;
    bool m_eventsFlowing = false;
    // The list's events came since they were last missed: the group's
    // events may flow while the alarms' do not.
    bool m_alarmEventsHeard = false;
    bool m_isLoading = false;
    bool m_readFailed = false;
    bool m_busy = false;
    QString m_failureText;
    QString m_nextAlarm;
    QTimer m_nextTimer;
};
