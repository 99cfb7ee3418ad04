// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/PlayerStore.h"

#include "Quillo/store/Failure.h"

#include "SonosKit/EventListener.h"
#include "SonosKit/GroupEvents.h"
#include "SonosKit/SonosDiscovery.h"

#include <QJSEngine>
#include <QSettings>

QPointer<PlayerStore> PlayerStore::s_qmlInstance;

PlayerStore::Settings PlayerStore::defaultSettings()
{
    Settings settings;
    settings.findHousehold = [](double timeout) { return SonosKit::SonosDiscovery::findHousehold(timeout); };
    settings.householdSearchTimeout = SonosKit::SonosDiscovery::householdSearchTimeout;
    settings.examineConnection = [](SonosKit::ConnectionDoctor::Options options) {
        return SonosKit::ConnectionDoctor::examine(std::move(options));
    };
    settings.events = true;
    settings.followNetworkChanges = true;
    return settings;
}

PlayerStore::PlayerStore(std::unique_ptr<QSettings> preferencesFile, Settings settings, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
    , m_preferences(std::move(preferencesFile))
{
    if (!m_settings.findHousehold)
        m_settings.findHousehold = defaultSettings().findHousehold;

    m_library.setSelectedProvider(m_preferences.selectedProvider());
    m_household.setSelectedRoomName(m_preferences.selectedRoomName());

    connect(&m_household, &Household::selectedGroupChanged, this, &PlayerStore::selectedGroupChanged);
    connect(&m_household, &Household::groupsChanged, this, &PlayerStore::updateRooms);
    connect(&m_library, &Library::selectedItemChanged, this, &PlayerStore::updateLoadingTracks);
    connect(&m_library, &Library::unplayableIDsChanged, this,
        [this] { m_trackList.tracksModel()->setMarkedIDs(m_library.unplayableIDs()); });
    connect(&m_nowPlaying, &NowPlaying::isPlayingChanged, this, &PlayerStore::updateClosedPoll);

    // Coarse: the system may fold the wakeup into others nearby.
    m_closedPoll.setTimerType(Qt::CoarseTimer);
    m_closedPoll.setSingleShot(true);
    connect(&m_closedPoll, &QTimer::timeout, this, [this] { TaskGuard::start(closedPollTask()); });

    // Each time the events stop getting through, the firewall is looked at
    // afresh: the user may have changed it since.
    connect(&m_liveUpdates, &LiveUpdates::eventsBlockedChanged, this, [this] {
        if (m_liveUpdates.eventsBlocked())
            TaskGuard::start(examineFirewall());
        else
            m_liveUpdates.firewallCheck().setDiagnosis(std::nullopt);
    });

    if (m_settings.events)
        startEvents();
}

PlayerStore::~PlayerStore()
{
    // Tasks still waiting on the network resume into a store that is gone:
    // their guarded waits end them without touching it.
    m_tasks.end();
    if (m_pollToken)
        m_pollToken->cancel();
    stopEvents();
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

void PlayerStore::report(const Failure &failure)
{
    if (failure.isCancellation())
        return;
    m_household.setStatus(StoreStatus::failed(failure.text()));
}

void PlayerStore::setSelectedRoomName(std::optional<QString> room)
{
    m_preferences.setSelectedRoomName(room);
    m_household.setSelectedRoomName(room);
}

void PlayerStore::selectedGroupChanged()
{
    updateRooms();
    updateLoadingTracks();
    followSelectedGroup();
}

void PlayerStore::selectGroup(const QString &groupID)
{
    const QList<SonosKit::ZoneGroup> &groups = m_household.groups();
    const auto group = std::find_if(
        groups.cbegin(), groups.cend(), [&groupID](const SonosKit::ZoneGroup &candidate) { return candidate.id == groupID; });
    if (group == groups.cend())
        return;
    setSelectedRoomName(group->coordinator.roomName);
    m_nowPlaying.setPlayback(std::nullopt);
    m_nowPlaying.setPendingVolume(std::nullopt);
    TaskGuard::start(refreshPlayback());
}
