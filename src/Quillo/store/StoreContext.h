// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/Failure.h"
#include "Quillo/store/StoreTask.h"
#include "Quillo/store/TaskGuard.h"

#include "SonosKit/GroupController.h"
#include "SonosKit/SonosHousehold.h"
#include "SonosKit/ZoneGroup.h"
#include "SonosKit/doctor/ConnectionDoctor.h"

#include <QCoroTask>
#include <QHostAddress>
#include <QObject>

#include <chrono>
#include <functional>
#include <optional>

// How the store meets the world beyond one known player, and its pace.
// Tests replace the household search so that nothing leaves loopback, and
// shorten the pauses.
struct StoreSettings {
    // Every household on the network, most rooms first.
    std::function<QCoro::Task<QList<SonosKit::SonosHousehold>>(double timeout)> findHouseholds;
    // The household of the player at a typed address, whichever it is.
    std::function<QCoro::Task<SonosKit::SonosHousehold>(const QString &host)> householdAt;
    double householdSearchTimeout = 3.0;
    // How often, at most, the network is searched again behind the panel
    // while the player that answered last still answers: for a household
    // set up or gone since, or the remembered one coming back.
    std::chrono::milliseconds householdLookInterval{std::chrono::minutes(10)};
    // Between two reads of playback while the panel is open.
    std::chrono::milliseconds pollPause{1500};
    // Between two reads while the panel is closed and the group plays, so
    // the desktop's media widget stays current; zero turns it off.
    std::chrono::milliseconds closedPollInterval{5000};
    // After failed reads with the panel closed the pace halves, down to one
    // read in this long.
    std::chrono::milliseconds closedPollLongestInterval{std::chrono::minutes(5)};
    // Follow the selected group through its players' events; the polls then
    // only read what events do not carry, or stand in when the events cannot
    // get through.
    bool events = false;
    // Where the event listener listens; none: the address of this machine
    // that reaches the players.
    std::optional<QHostAddress> eventAddress;
    // Blocked or failed subscriptions are tried again this often (and at
    // every change of group).
    std::chrono::milliseconds eventRetryInterval{std::chrono::minutes(10)};
    // How often the way of the events is proven at the group's coordinator
    // while the group plays, and while it does not; every so many of these
    // intervals one more proof, halfway between two, goes to the next of the
    // group's other players in turn. Each proof is one request. While the
    // group plays, a coordinator switched off or events that stopped are
    // noticed within 40 s (plus EventSubscription::firstEventLimit), and a
    // member that restarted and missed a volume set elsewhere within 160 s
    // for each other player, at 1.9 requests a minute (a member's proof
    // every third interval would make it 2 before the renewals); while it
    // does not, events that stopped within 5½ minutes, at 0.95 requests in
    // 5. (PathProofBench measures these.)
    std::chrono::milliseconds proofWhilePlaying{std::chrono::seconds(40)};
    int otherProofEveryWhilePlaying = 4;
    std::chrono::milliseconds proofWhileIdle{std::chrono::seconds(660)};
    int otherProofEveryWhileIdle = 1;
    // Subscribe afresh when the network comes back (after a suspend, on
    // another network): the players forgot us, or we have another address.
    bool followNetworkChanges = false;
    // After a search that found nothing, find out why, and while the events
    // are blocked, which firewall keeps them out; none: no examination
    // (tests, whose searches must not leave loopback).
    std::function<QCoro::Task<SonosKit::Diagnosis>(SonosKit::ConnectionDoctor::Options)> examineConnection;

    // The real household, the real doctor, events on.
    static StoreSettings defaults();
};

// What a request came back with: its value, or the failure in the store's
// terms.
template<typename T>
class Attempt
{
public:
    explicit Attempt(T value)
        : m_value(std::move(value))
    { }
    explicit Attempt(Failure failure)
        : m_failure(std::move(failure))
    { }
    explicit operator bool() const { return m_value.has_value(); }
    T &operator*() { return *m_value; }
    const T &operator*() const { return *m_value; }
    const T *operator->() const { return &*m_value; }
    const Failure &failure() const { return *m_failure; }

private:
    std::optional<T> m_value;
    std::optional<Failure> m_failure;
};

template<>
class Attempt<void>
{
public:
    Attempt() = default;
    explicit Attempt(Failure failure)
        : m_failure(std::move(failure))
    { }
    explicit operator bool() const { return !m_failure; }
    const Failure &failure() const { return *m_failure; }

private:
    std::optional<Failure> m_failure;
};

// What every part of the store shares: its settings, the lifetime guard
// every wait goes through, the one place a failure becomes the status line,
// and commands on the selected group. Each part holds a reference; the
// composition root (PlayerStore) wires its signals to the parts that act on
// them. Main-thread only.
class StoreContext : public QObject
{
    Q_OBJECT

public:
    using Operation = std::function<QCoro::Task<void>(SonosKit::GroupController)>;
    // What a command changed, shown as soon as the players said yes.
    using Applied = std::function<void()>;
    using Selection = std::function<std::optional<SonosKit::ZoneGroup>()>;

    explicit StoreContext(StoreSettings settings, QObject *parent = nullptr);

    const StoreSettings &settings() const { return m_settings; }
    // Every request of the store carries it; it is cancelled when the store goes.
    const SonosKit::CancellationToken &token() const { return m_tasks.token(); }
    // The store is going: every task ends at its next wait.
    void end() { m_tasks.end(); }
    bool ended() const { return m_tasks.ended(); }

    // Where commands go: the group the panel controls.
    void setSelection(Selection selection) { m_selection = std::move(selection); }
    std::optional<SonosKit::ZoneGroup> selectedGroup() const { return m_selection ? m_selection() : std::nullopt; }

    // Whether the panel shows: what only the panel shows is kept current
    // at once while it does, and read at its next opening otherwise.
    bool isPanelOpen() const { return m_panelOpen; }
    void setPanelOpen(bool open) { m_panelOpen = open; }

    // A wait that ends the task instead of resuming it once the store has gone.
    template<typename Task>
    auto guarded(Task task) const
    {
        return m_tasks.guarded(std::move(task));
    }
    // A guarded wait that yields the value or the failure, never throws one.
    template<typename T>
    Guarded<Attempt<T>> attempt(QCoro::Task<T> task) const
    {
        return Guarded<Attempt<T>>(caught(m_tasks.guarded(std::move(task))));
    }
    // Runs a task in the background; nothing it throws reaches the event loop.
    template<typename Task>
    static void start(Task task)
    {
        TaskGuard::start(std::move(task));
    }

    // The one place where a failure becomes the status line, and the log's
    // line: a cancellation is no failure.
    void report(const Failure &failure);
    // A failure in the store's own words.
    void report(const QString &text);

    // `operation` on the selected group; then the players' state is read
    // again, or the failure reported and the household looked at anew.
    // `refused` undoes what the command showed before the players answered.
    void perform(Operation operation, Applied applied = {}, Applied refused = {});

Q_SIGNALS:
    void failed(const QString &text);
    // A command went through: what plays is read again.
    void playbackStale();
    // The players may have moved or gone: the household is read again.
    void topologyStale();

private:
    template<typename T>
    static QCoro::Task<Attempt<T>> caught(Guarded<T> wait)
    {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await std::move(wait);
                co_return Attempt<void>();
            } else {
                co_return Attempt<T>(co_await std::move(wait));
            }
        } catch (const std::exception &error) {
            co_return Attempt<T>(Failure(error));
        }
    }
    StoreTask<void> performTask(SonosKit::ZoneGroup group, Operation operation, Applied applied, Applied refused);

    StoreSettings m_settings;
    Selection m_selection;
    TaskGuard m_tasks;
    bool m_panelOpen = false;
};
