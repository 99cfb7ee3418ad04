// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/Alarms.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/Inputs.h"
#include "Quillo/store/Library.h"
#include "Quillo/store/LiveUpdates.h"
#include "Quillo/store/NowPlaying.h"
#include "Quillo/store/PlayModes.h"
#include "Quillo/store/Preferences.h"
#include "Quillo/store/Queue.h"
#include "Quillo/store/RoomSound.h"
#include "Quillo/store/Rooms.h"
#include "Quillo/store/SleepTimer.h"
#include "Quillo/store/StoreContext.h"
#include "Quillo/store/StoreTask.h"
#include "Quillo/store/TrackList.h"
#include "Quillo/store/TransportAbilities.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QtQml/qqmlregistration.h>

#include <memory>

class QJSEngine;
class QQmlEngine;

// The application model: what the tray panel shows, handed to QML as a few
// small objects that each own their state and their verbs (QML calls
// `PlayerStore.nowPlaying.commitVolume(level)`, `PlayerStore.rooms.add(id)`).
// The store creates them, hands each the shared StoreContext and the parts
// it needs, and connects them; it keeps only what concerns all of them.
// Main-thread only.
class PlayerStore : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(Household *household READ householdObject CONSTANT)
    Q_PROPERTY(NowPlaying *nowPlaying READ nowPlayingObject CONSTANT)
    Q_PROPERTY(Library *library READ libraryObject CONSTANT)
    Q_PROPERTY(TrackList *trackList READ trackListObject CONSTANT)
    Q_PROPERTY(Preferences *preferences READ preferencesObject CONSTANT)
    Q_PROPERTY(LiveUpdates *liveUpdates READ liveUpdatesObject CONSTANT)
    Q_PROPERTY(Rooms *rooms READ roomsObject CONSTANT)
    Q_PROPERTY(SleepTimer *sleepTimer READ sleepTimerObject CONSTANT)
    Q_PROPERTY(PlayModes *playModes READ playModesObject CONSTANT)
    Q_PROPERTY(Inputs *inputs READ inputsObject CONSTANT)
    Q_PROPERTY(TransportAbilities *transportAbilities READ transportAbilitiesObject CONSTANT)
    Q_PROPERTY(RoomSound *roomSound READ roomSoundObject CONSTANT)
    Q_PROPERTY(Queue *queue READ queueObject CONSTANT)
    Q_PROPERTY(Alarms *alarms READ alarmsObject CONSTANT)

public:
    using Settings = StoreSettings;
    static Settings defaultSettings() { return StoreSettings::defaults(); }

    // `preferencesFile` null means the user's own file. No default for it:
    // QML prefers a default constructor to create(), and must never build a
    // store of its own.
    explicit PlayerStore(
        std::unique_ptr<QSettings> preferencesFile, Settings settings = defaultSettings(), QObject *parent = nullptr);
    ~PlayerStore() override;

    // QML never makes a store of its own: it is handed the program's.
    static void provideToQml(PlayerStore *store);
    static PlayerStore *create(QQmlEngine *, QJSEngine *);

    Household &household() { return m_household; }
    NowPlaying &nowPlaying() { return m_nowPlaying; }
    Library &library() { return m_library; }
    TrackList &trackList() { return m_trackList; }
    Preferences &preferences() { return m_preferences; }
    LiveUpdates &liveUpdates() { return m_liveUpdates; }
    Rooms &rooms() { return m_rooms; }
    SleepTimer &sleepTimer() { return m_sleepTimer; }
    PlayModes &playModes() { return m_playModes; }
    const Household &household() const { return m_household; }
    const NowPlaying &nowPlaying() const { return m_nowPlaying; }
    const Library &library() const { return m_library; }
    const TrackList &trackList() const { return m_trackList; }
    const Preferences &preferences() const { return m_preferences; }
    const LiveUpdates &liveUpdates() const { return m_liveUpdates; }
    const Rooms &rooms() const { return m_rooms; }
    const SleepTimer &sleepTimer() const { return m_sleepTimer; }
    const PlayModes &playModes() const { return m_playModes; }
    Inputs &inputs() { return m_inputs; }
    const Inputs &inputs() const { return m_inputs; }
    TransportAbilities &transportAbilities() { return m_transportAbilities; }
    const TransportAbilities &transportAbilities() const { return m_transportAbilities; }
    RoomSound &roomSound() { return m_roomSound; }
    const RoomSound &roomSound() const { return m_roomSound; }
    Queue &queue() { return m_queue; }
    const Queue &queue() const { return m_queue; }
    Alarms &alarms() { return m_alarms; }
    const Alarms &alarms() const { return m_alarms; }

    // The panel was shown: the household, what plays and the library are
    // read, then what plays is polled until it is hidden.
    Q_INVOKABLE void menuOpened();
    Q_INVOKABLE void menuClosed();
    // The topology, then the selected group's playback, once: what plays
    // shows before the panel was ever opened.
    QCoro::Task<void> refreshAll();
    // Before the program quits (from aboutToQuit): the players are left
    // tidy, within a bound; the store does nothing afterwards.
    QCoro::Task<void> shutdown();

    // The footer's "Tips": the shell shows the welcome window.
    Q_INVOKABLE void requestWelcome() { Q_EMIT welcomeRequested(); }
    void setHasSeenWelcome(bool seen) { m_preferences.setHasSeenWelcome(seen); }

Q_SIGNALS:
    void welcomeRequested();

private:
    StoreTask<void> refreshAllTask();
    StoreTask<void> shutdownTask();
    StoreTask<void> openTask(SonosKit::CancellationToken token);

    Household *householdObject() { return &m_household; }
    NowPlaying *nowPlayingObject() { return &m_nowPlaying; }
    Library *libraryObject() { return &m_library; }
    TrackList *trackListObject() { return &m_trackList; }
    Preferences *preferencesObject() { return &m_preferences; }
    LiveUpdates *liveUpdatesObject() { return &m_liveUpdates; }
    Rooms *roomsObject() { return &m_rooms; }
    SleepTimer *sleepTimerObject() { return &m_sleepTimer; }
    PlayModes *playModesObject() { return &m_playModes; }
    Inputs *inputsObject() { return &m_inputs; }
    TransportAbilities *transportAbilitiesObject() { return &m_transportAbilities; }
    RoomSound *roomSoundObject() { return &m_roomSound; }
    Queue *queueObject() { return &m_queue; }
    Alarms *alarmsObject() { return &m_alarms; }

    // Ends first when the store goes: every task sees it after each wait.
    StoreContext m_context;
    Preferences m_preferences;
    Household m_household;
    Rooms m_rooms;
    NowPlaying m_nowPlaying;
    Library m_library;
    TrackList m_trackList;
    LiveUpdates m_liveUpdates;
    SleepTimer m_sleepTimer;
    PlayModes m_playModes;
    Inputs m_inputs;
    TransportAbilities m_transportAbilities;
    RoomSound m_roomSound;
    Queue m_queue;
    Alarms m_alarms;

    static QPointer<PlayerStore> s_qmlInstance;
};
