// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/QueueListModel.h"
#include "Quillo/store/StoreTask.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/ZoneGroup.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

class Household;
class Library;
class NowPlaying;
class StoreContext;

// The selected group's queue, what "Up Next" shows, and its verbs. Read only
// while Up Next shows: at its opening, when the coordinator's queue event
// tells another version (UpdateID) than the one held, when those events
// were missed, after a command of ours, and at each panel opening while no
// events flow; never on a timer. Only the pages a view shows are read (see
// QueueListModel), so a long queue costs what a short one does. A command
// carries the version it was made against: the player refuses it when the
// queue changed meanwhile, the refusal shows and the queue is read again.
class Queue : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the queue.")
    Q_PROPERTY(QueueListModel *entries READ entriesModel CONSTANT)
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    // The playing entry's row; -1 while the queue is not what plays.
    Q_PROPERTY(int currentIndex READ currentIndex NOTIFY currentIndexChanged)
    // The first page of a fresh read is on its way: nothing to show yet.
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    // That first page could not be read: no rows, and no word on the length.
    Q_PROPERTY(bool readFailed READ readFailed NOTIFY readFailedChanged)
    // The group plays from its queue, or from nothing yet; a station or an
    // input has none, and `unavailableReason` says so.
    Q_PROPERTY(bool available READ isAvailable NOTIFY availableChanged)
    Q_PROPERTY(QString unavailableReason READ unavailableReason NOTIFY availableChanged)
    // A command of ours, or the read after it, is on its way, or rows in
    // view were read at another version than the queue has now: the next
    // command must wait until the rows it names show that version.
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged)
    // What the last "Save as Playlist…" made; empty before.
    Q_PROPERTY(QString savedText READ savedText NOTIFY savedTextChanged)

public:
    Queue(StoreContext &context, Household &household, NowPlaying &nowPlaying, Library &library, QObject *parent = nullptr);

    // Each verb on a row acts only on a row read at the version the queue
    // has now, and says whether it went out: a row read before a change
    // would name another entry.
    Q_INVOKABLE bool playAt(int index);
    Q_INVOKABLE bool remove(int index);
    // The entry at `from` ends at `to`.
    Q_INVOKABLE bool move(int from, int to);
    Q_INVOKABLE void moveUp(int index) { move(index, index - 1); }
    Q_INVOKABLE void moveDown(int index) { move(index, index + 1); }
    Q_INVOKABLE void clear();
    Q_INVOKABLE void saveAs(const QString &title);

    bool isShown() const { return m_shown; }
    void setShown(bool shown);
    // The panel opened: without events, a change made elsewhere shows now.
    void panelOpened();
    // A queue event from the coordinator at `coordinatorHost`.
    void apply(const QString &coordinatorHost, quint32 updateID);
    // The queue's events were missed: read once, if shown.
    void readAgain();
    void followEvents(bool flowing) { m_eventsFlowing = flowing; }

    QueueListModel &entries() { return m_entries; }
    const QueueListModel &entries() const { return m_entries; }
    QueueListModel *entriesModel() { return &m_entries; }
    int count() const { return m_entries.count(); }
    int currentIndex() const { return m_currentIndex; }
    bool isLoading() const { return m_isLoading; }
    bool readFailed() const { return m_readFailed; }
    bool isAvailable() const { return m_unavailableReason.isEmpty(); }
    QString unavailableReason() const { return m_unavailableReason; }
    bool isBusy() const { return m_busy; }
    QString savedText() const { return m_savedText; }
    std::optional<quint32> updateID() const { return m_updateID; }

Q_SIGNALS:
    void shownChanged();
    void countChanged();
    void currentIndexChanged();
    void isLoadingChanged();
    void readFailedChanged();
    void availableChanged();
    void busyChanged();
    void savedTextChanged();
    // A fresh read's first page arrived, or the playing entry became known
    // after it: the view shows the playing entry.
    void opened();

private:
    // Every page a view holds is read again; a fresh read starts at the
    // page of the playing entry.
    void reload();
    // Nothing held, nothing on its way; read from the start if shown.
    void startAfresh();
    void fetch(int page);
    StoreTask<void> fetchTask(SonosKit::ZoneGroup group, int page, quint64 generation);
    // A command on the queue's version held; afterwards the queue is read.
    bool edit(std::function<QCoro::Task<void>(SonosKit::GroupController, quint32)> command);
    // `row` shows its entry as the queue's version now has it.
    bool isCurrentRow(int row) const;
    void updateBusy();
    StoreTask<void> editTask(QCoro::Task<void> command);
    StoreTask<void> saveTask(SonosKit::ZoneGroup group, QString title);
    void followGroup();
    void followPlayback();
    void countCommand(int change);
    void setAwaitingVersion(bool awaiting);
    void afterCommand();
    void setLoading(bool loading);

    StoreContext &m_context;
    Household &m_household;
    NowPlaying &m_nowPlaying;
    Library &m_library;
    QueueListModel m_entries;
    QString m_groupKey;
    bool m_shown = false;
    bool m_eventsFlowing = false;
    bool m_isLoading = false;
    bool m_readFailed = false;
    // A page was read since the last fresh start.
    bool m_hasRead = false;
    // Opened before the playing entry was known (another group's playback
    // on its way): opened() once more when it is.
    bool m_opensAtPlaying = false;
    int m_currentIndex = -1;
    QString m_unavailableReason;
    int m_commands = 0;
    QString m_savedText;
    // The version the rows show, from the last page read.
    std::optional<quint32> m_updateID;
    // Each reload begins a generation; pages of an earlier one are dropped.
    quint64 m_generation = 0;
    QSet<int> m_inFlight;
    // A command waits for the read that tells the version it made.
    bool m_awaitingVersion = false;
    bool m_busy = false;
};
