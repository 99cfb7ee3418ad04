// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/PlayerStore.h"

#include <QJSEngine>
#include <QSettings>

QPointer<PlayerStore> PlayerStore::s_qmlInstance;

PlayerStore::PlayerStore(std::unique_ptr<QSettings> preferencesFile, Settings settings, QObject *parent)
    : QObject(parent)
    , m_context(std::move(settings))
    , m_preferences(std::move(preferencesFile))
    , m_household(m_context, m_preferences)
    // The rooms follow the household before anything that reads their levels.
    , m_rooms(m_context, m_household, m_preferences)
    , m_nowPlaying(m_context, m_household, m_rooms)
    , m_library(m_context, m_household, m_preferences)
    , m_trackList(m_context, m_household, m_library)
    , m_liveUpdates(m_context, m_household, m_nowPlaying, m_rooms)
    , m_sleepTimer(m_context, m_household)
    , m_playModes(m_context, m_household)
    , m_inputs(m_context, m_household)
    , m_transportAbilities(m_context, m_household, m_nowPlaying)
    , m_roomSound(m_context, m_rooms)
    , m_queue(m_context, m_household, m_nowPlaying, m_library)
    , m_alarms(m_context, m_household, m_library)
{
    m_context.setSelection([this] { return m_household.selectedGroup(); });
    connect(&m_context, &StoreContext::topologyStale, this, [this] { StoreContext::start(m_household.refresh()); });
    connect(&m_liveUpdates, &LiveUpdates::flowingChanged, this, [this] {
        const bool flowing = m_liveUpdates.isFlowing();
        m_nowPlaying.followEvents(flowing);
        m_sleepTimer.followEvents(flowing);
        m_playModes.followEvents(flowing);
        m_transportAbilities.followEvents(flowing);
        m_queue.followEvents(flowing);
        m_alarms.followEvents(flowing);
    });
    connect(&m_liveUpdates, &LiveUpdates::libraryEvent, &m_library, &Library::apply);
    connect(&m_liveUpdates, &LiveUpdates::libraryEventsMissed, &m_library, &Library::changedElsewhere);
    connect(&m_liveUpdates, &LiveUpdates::transportEvent, &m_sleepTimer, &SleepTimer::apply);
    connect(&m_liveUpdates, &LiveUpdates::transportStale, &m_sleepTimer, &SleepTimer::readAgain);
    connect(&m_liveUpdates, &LiveUpdates::transportEvent, &m_playModes, &PlayModes::apply);
    connect(&m_liveUpdates, &LiveUpdates::transportStale, this, [this] { StoreContext::start(m_playModes.refresh()); });
    connect(&m_liveUpdates, &LiveUpdates::transportEvent, &m_transportAbilities, &TransportAbilities::apply);
    connect(&m_liveUpdates, &LiveUpdates::transportStale, this, [this] { StoreContext::start(m_transportAbilities.refresh()); });
    // A room's sound page hears its player, in the selected group or not.
    connect(&m_liveUpdates, &LiveUpdates::renderingEvent, &m_roomSound, &RoomSound::apply);
    // After the rooms took the change in (they connected first).
    connect(&m_household, &Household::groupsChanged, &m_roomSound, &RoomSound::updateRoom);
    connect(&m_roomSound, &RoomSound::followedHostChanged, this,
        [this] { m_liveUpdates.alsoFollowRenderingOf(m_roomSound.followedHost()); });
    // A room of the last household has no place on the panel.
    connect(&m_household, &Household::householdSwitching, &m_roomSound, &RoomSound::closeHidden);
    connect(&m_liveUpdates, &LiveUpdates::queueEvent, &m_queue, &Queue::apply);
    connect(&m_liveUpdates, &LiveUpdates::queueStale, &m_queue, &Queue::readAgain);
    connect(&m_liveUpdates, &LiveUpdates::alarmListVersion, &m_alarms, &Alarms::apply);
    connect(&m_liveUpdates, &LiveUpdates::alarmsStale, &m_alarms, &Alarms::readAgain);
}

PlayerStore::~PlayerStore()
{
    // Tasks still waiting on the network resume into a store that is gone:
    // their guarded waits end them without touching it.
    m_context.end();
    m_nowPlaying.stopPolling();
}

void PlayerStore::provideToQml(PlayerStore *store)
{
    s_qmlInstance = store;
}

PlayerStore *PlayerStore::create(QQmlEngine *, QJSEngine *)
{
    PlayerStore *store = s_qmlInstance.data();
    Q_ASSERT_X(store, "PlayerStore::create", "the program provides its store before loading QML");
    if (store)
        QJSEngine::setObjectOwnership(store, QJSEngine::CppOwnership);
    return store;
}

void PlayerStore::menuOpened()
{
    m_context.setPanelOpen(true);
    m_sleepTimer.setShown(true);
    StoreContext::start(openTask(m_nowPlaying.startPolling()));
    // Without events a change made elsewhere shows at the next opening
    // (PlayModes says why not at every poll).
    if (!m_liveUpdates.isFlowing()) {
        StoreContext::start(m_playModes.refresh());
        m_sleepTimer.readAgain();
    }
    m_queue.panelOpened();
    m_alarms.opened();
}

StoreTask<void> PlayerStore::openTask(SonosKit::CancellationToken token)
{
    // Whatever is in flight when the panel closes finishes as usual, but a
    // closed panel starts nothing new: a user flicking it open and shut
    // must not leave a queue of start-ups behind.
    co_await m_context.guarded(m_household.refresh());
    if (token.isCancelled())
        co_return;
    co_await m_context.guarded(m_nowPlaying.refresh());
    if (token.isCancelled())
        co_return;
    co_await m_context.guarded(m_library.load());
    co_await m_context.guarded(m_nowPlaying.poll(token));
}

void PlayerStore::menuClosed()
{
    m_context.setPanelOpen(false);
    m_sleepTimer.setShown(false);
    m_nowPlaying.stopPolling();
    m_rooms.clearPending();
    // The panel opens on its controls again.
    m_roomSound.closeHidden();
}

QCoro::Task<void> PlayerStore::refreshAll()
{
    return refreshAllTask();
}

StoreTask<void> PlayerStore::refreshAllTask()
{
    co_await m_context.guarded(m_household.refresh());
    co_await m_context.guarded(m_nowPlaying.refresh());
}

QCoro::Task<void> PlayerStore::shutdown()
{
    return shutdownTask();
}

StoreTask<void> PlayerStore::shutdownTask()
{
    m_nowPlaying.stopPolling();
    co_await m_context.guarded(m_liveUpdates.shutdown());
    m_context.end();
}
