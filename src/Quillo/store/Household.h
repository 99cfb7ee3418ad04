// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/GroupListModel.h"
#include "Quillo/store/ConnectionCheck.h"
#include "Quillo/store/HouseholdChoice.h"
#include "Quillo/store/StoreStatus.h"
#include "Quillo/store/StoreTask.h"

#include "SonosKit/ZoneGroup.h"
#include "SonosKit/events/TopologyEvent.h"

#include <QCoroTask>
#include <QDeadlineTimer>
#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <coroutine>
#include <optional>
#include <vector>

class Preferences;
class StoreContext;

// The household's groups, the one the panel controls, and where finding
// them stands: the search (or the typed address), the topology reads, and
// why nothing was found. The selected group is the one holding the
// remembered room, else the first group. With several households on the
// network only the chosen one's groups are shown (see HouseholdChoice).
class Household : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the household.")
    Q_PROPERTY(GroupListModel *groups READ groupsModel CONSTANT)
    Q_PROPERTY(bool hasSelectedGroup READ hasSelectedGroup NOTIFY selectedGroupChanged)
    // Follows the list as well as the choice: a group appearing before the
    // selected one moves its row.
    Q_PROPERTY(int selectedGroupIndex READ selectedGroupIndex NOTIFY selectedGroupIndexChanged)
    Q_PROPERTY(StoreStatus::Kind statusKind READ statusKind NOTIFY statusChanged)
    // The failure to show; empty unless the status is a failure.
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusChanged)
    Q_PROPERTY(bool isSearching READ isSearching NOTIFY statusChanged)
    // Why the search found nothing, for the setup screen.
    Q_PROPERTY(ConnectionCheck *connectionCheck READ connectionCheckObject CONSTANT)
    Q_PROPERTY(HouseholdChoice *choice READ choiceObject CONSTANT)

public:
    Household(StoreContext &context, Preferences &preferences, QObject *parent = nullptr);
    ~Household() override;

    // Reads the topology: from the typed address, else the player that
    // answered last, else by a search. Single-flight: asked for while a read
    // runs, it runs once more after it, however many asked meanwhile, and
    // every caller resumes when that one is done.
    QCoro::Task<void> refresh();
    // Searches again, at `host` when one is typed (blanks trimmed), else
    // automatically.
    Q_INVOKABLE void retry(const QString &host);
    // The panel controls the group with this id from now on, and remembers
    // it by its coordinator's room.
    Q_INVOKABLE void select(const QString &groupID);
    // The players' own word on the topology.
    void apply(const SonosKit::TopologyEvent &event);

    const QList<SonosKit::ZoneGroup> &groups() const { return m_groups.items(); }
    const std::optional<SonosKit::ZoneGroup> &selectedGroup() const { return m_selectedGroup; }
    const StoreStatus &status() const { return m_status; }
    // The player that answered last; searching is skipped while it answers.
    const std::optional<QString> &knownHost() const { return m_knownHost; }
    ConnectionCheck &connectionCheck() { return m_connectionCheck; }
    HouseholdChoice &choice() { return m_choice; }
    const HouseholdChoice &choice() const { return m_choice; }
    const ConnectionCheck &connectionCheck() const { return m_connectionCheck; }

    // What a regrouping the players agreed to leads to, shown before the
    // next read confirms it; a read already on its way is older and does
    // not put back what was before.
    void setGroups(QList<SonosKit::ZoneGroup> groups);
    // Remembered between runs.
    void setSelectedRoomName(const std::optional<QString> &room);
    void setStatus(StoreStatus status);

    GroupListModel *groupsModel() { return &m_groups; }
    bool hasSelectedGroup() const { return m_selectedGroup.has_value(); }
    int selectedGroupIndex() const { return m_selectedGroupIndex; }
    StoreStatus::Kind statusKind() const { return m_status.kind; }
    QString statusMessage() const { return m_status.message; }
    bool isSearching() const { return m_status.kind == StoreStatus::Kind::Searching; }

Q_SIGNALS:
    void groupsChanged();
    void selectedGroupChanged();
    void selectedGroupIndexChanged();
    void statusChanged();
    // The user chose a group: what played in the last one is no longer shown.
    void groupChosen();
    // The user started the search over: what was found before is dropped.
    void searchRestarted();
    // Another household is about to be shown: nothing of the last one is
    // to be followed any more.
    void householdSwitching();
    // Another household is shown: what was read of the last one (its
    // favorites, what its players told) is dropped.
    void householdSwitched();

private:
    // Where a read asks: the typed address, the player that answered last,
    // or the whole network.
    enum class Source { typed, known, search };

    StoreTask<void> refreshTask();
    // Reads as long as a refresh was asked for since the last read began.
    StoreTask<void> readWhileAsked();
    StoreTask<void> read();
    Source source() const;
    QCoro::Task<QList<SonosKit::SonosHousehold>> discover(Source source);
    // A search in the background, at most every householdLookInterval and
    // only while the panel is open: households set up or gone since, and the
    // remembered one while another stands in for it. It ends the refresh
    // that started it.
    StoreTask<void> lookAround();
    // Shows the chosen household's groups when it is another one than
    // `before`'s.
    void showChosen(const QString &before);
    StoreTask<void> diagnose();
    QCoro::Task<void> nextRefresh();
    // Resumes every refresh that waited for the one in flight, at once: a
    // queued signal would never reach them once this object is gone.
    void releaseWaiters();
    struct RefreshOver {
        Household *household;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> waiter) { household->m_refreshWaiters.push_back(waiter); }
        void await_resume() const noexcept { }
    };
    // What a read found, or nothing after a new search began.
    void showGroups(QList<SonosKit::ZoneGroup> groups);
    void updateSelection();
    ConnectionCheck *connectionCheckObject() { return &m_connectionCheck; }
    HouseholdChoice *choiceObject() { return &m_choice; }

    StoreContext &m_context;
    Preferences &m_preferences;
    ConnectionCheck m_connectionCheck;
    HouseholdChoice m_choice;
    GroupListModel m_groups;
    std::optional<QString> m_selectedRoomName;
    std::optional<SonosKit::ZoneGroup> m_selectedGroup;
    int m_selectedGroupIndex = -1;
    StoreStatus m_status;
    std::optional<QString> m_knownHost;
    bool m_refreshing = false;
    bool m_refreshAgain = false;
    // When lookAround() is due; every search puts it off.
    QDeadlineTimer m_nextLookAround;
    // Counts the times the search started over: what a read found before is
    // of no use then.
    quint64 m_searchRestarts = 0;
    std::vector<std::coroutine_handle<>> m_refreshWaiters;
    // Counts the groupings the players told of (events) or agreed to
    // (regroupings): a read that started before one is older than it.
    quint64 m_groupingsTold = 0;
};
