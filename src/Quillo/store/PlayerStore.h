// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/ConnectionCheck.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/Library.h"
#include "Quillo/store/LiveUpdates.h"
#include "Quillo/store/NowPlaying.h"
#include "Quillo/store/PlaybackEvents.h"
#include "Quillo/store/Preferences.h"
#include "Quillo/store/Rooms.h"
#include "Quillo/store/TaskGuard.h"
#include "Quillo/store/TrackList.h"

#include "SonosKit/CancellationToken.h"
#include "SonosKit/ConnectionDoctor.h"
#include "SonosKit/ContentItem.h"
#include "SonosKit/EventService.h"
#include "SonosKit/GroupController.h"
#include "SonosKit/ServiceEvent.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/ZoneGroup.h"

#include <QCoroTask>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class Failure;
class QJSEngine;
class QQmlEngine;
namespace SonosKit {
class EventListener;
class GroupEvents;
} // namespace SonosKit

// The application model: everything the tray panel shows, handed out as a
// few small objects (the household, what plays, the library, the track
// list, the preferences), and the one place where user actions become calls
// on SonosKit. Main-thread only. Every setter compares before it stores, so
// observers hear of real changes only.
//
// The behaviour is split by concern over PlayerStore*.cpp:
//   PlayerStore.cpp           construction, the failure funnel, selection
//   PlayerStoreDiscovery.cpp  finding the household, topology refresh
//   PlayerStorePolling.cpp    panel open/close, polling, commands, volume
//   PlayerStoreFavorites.cpp  favorites, providers, the chosen entry
//   PlayerStoreTracks.cpp     playing and track lists
//   PlayerStoreRooms.cpp      grouping rooms, each room's volume and mute
//   PlayerStoreEvents.cpp     the players' own events, polls as fallback
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
    Q_PROPERTY(ConnectionCheck *connectionCheck READ connectionCheckObject CONSTANT)
    Q_PROPERTY(Rooms *rooms READ roomsObject CONSTANT)

public:
    // How the store meets the world beyond one known player, and its pace.
    // Tests replace the household search so that nothing leaves loopback,
    // and shorten the pauses.
    struct Settings {
        std::function<QCoro::Task<QList<SonosKit::ZoneGroup>>(double timeout)> findHousehold;
        double householdSearchTimeout = 3.0;
        // Between two reads of playback while the panel is open.
        std::chrono::milliseconds pollPause{1500};
        // Between two reads while the panel is closed and the group plays,
        // so the desktop's media widget stays current; zero turns it off.
        std::chrono::milliseconds closedPollInterval{5000};
        // After failed reads with the panel closed the pace halves, down to
        // one read in this long.
        std::chrono::milliseconds closedPollLongestInterval{std::chrono::minutes(5)};
        // Follow the selected group through its players' events; the polls
        // then only read what events do not carry, or stand in when the
        // events cannot get through.
        bool events = false;
        // Where the event listener listens; none: the address of this
        // machine that reaches the players.
        std::optional<QHostAddress> eventAddress;
        // Blocked or failed subscriptions are tried again this often (and
        // at every change of group).
        std::chrono::milliseconds eventRetryInterval{std::chrono::minutes(10)};
        // Subscribe afresh when the network comes back (after a suspend, on
        // another network): the players forgot us, or we have another address.
        bool followNetworkChanges = false;
        // After a search that found nothing, find out why, and while the
        // events are blocked, which firewall keeps them out; none: no
        // examination (tests, whose searches must not leave loopback).
        std::function<QCoro::Task<SonosKit::Diagnosis>(SonosKit::ConnectionDoctor::Options)> examineConnection;
    };
    static Settings defaultSettings();

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
    ConnectionCheck &connectionCheck() { return m_connectionCheck; }
    Rooms &rooms() { return m_rooms; }
    const Household &household() const { return m_household; }
    const NowPlaying &nowPlaying() const { return m_nowPlaying; }
    const Library &library() const { return m_library; }
    const TrackList &trackList() const { return m_trackList; }
    const Preferences &preferences() const { return m_preferences; }
    const LiveUpdates &liveUpdates() const { return m_liveUpdates; }
    const ConnectionCheck &connectionCheck() const { return m_connectionCheck; }
    const Rooms &rooms() const { return m_rooms; }

    // The player that answered last; searching is skipped while it answers.
    const std::optional<QString> &knownHost() const { return m_knownHost; }
    bool isPolling() const { return m_pollToken.has_value(); }
    bool isPollingWhileClosed() const { return m_pollingWhileClosed; }

    // Discovery and topology. A blank host means automatic discovery.
    QCoro::Task<void> refreshTopology();
    Q_INVOKABLE void retryDiscovery(const QString &host);

    // The panel's cycle, playback and commands.
    Q_INVOKABLE void menuOpened();
    Q_INVOKABLE void menuClosed();
    // True when a snapshot was read.
    QCoro::Task<bool> refreshPlayback();
    Q_INVOKABLE void togglePlayPause();
    Q_INVOKABLE void next();
    Q_INVOKABLE void previous();
    Q_INVOKABLE void play();
    Q_INVOKABLE void pause();
    Q_INVOKABLE void stop();
    Q_INVOKABLE void seek(int seconds);
    // While the slider is dragged: shown at once, sent on release.
    Q_INVOKABLE void previewVolume(int volume);
    // Kept, unclamped, until the panel closes: the slider shows what the
    // user chose, not the next poll's reading.
    Q_INVOKABLE void commitVolume(int volume);
    // From outside the panel (media keys, the desktop's media widget): the
    // group volume, without the slider's pending value.
    void setGroupVolume(int volume);
    // Rooms (PlayerStoreRooms.cpp), by name. The selected group gains or
    // loses a room; the panel shows the result at once and the next
    // topology read confirms it. A group of one keeps its room.
    Q_INVOKABLE void addRoom(const QString &name);
    Q_INVOKABLE void removeRoom(const QString &name);
    // A room slider: shown at once, sent on release, kept until the panel
    // closes, as the group slider.
    Q_INVOKABLE void previewRoomVolume(const QString &name, int volume);
    Q_INVOKABLE void setRoomVolume(const QString &name, int volume);
    Q_INVOKABLE void setRoomMuted(const QString &name, bool muted);
    // Opens or closes the Rooms list; opened, it reads each member's level.
    Q_INVOKABLE void setShowsRooms(bool shows);

    // The topology, then the selected group's playback, once: what plays
    // shows before the panel was ever opened.
    QCoro::Task<void> refreshAll();

    // Favorites, Sonos Playlists and service names of the selected group,
    // the three at once; never fails. Every call reloads.
    Q_INVOKABLE void refreshFavorites();
    QCoro::Task<void> loadFavorites();

    // Choices, playing and track lists.
    Q_INVOKABLE void selectGroup(const QString &groupID);
    // An empty provider shows every provider.
    Q_INVOKABLE void selectProvider(const QString &provider);
    Q_INVOKABLE void selectItem(const QString &itemID);
    void play(const SonosKit::ContentItem &item);
    Q_INVOKABLE void playSelectedItem();
    Q_INVOKABLE void showTracks();
    Q_INVOKABLE void playTrackAt(int position);
    QCoro::Task<void> loadTracks();

    // The footer's "Tips": the shell shows the welcome window.
    Q_INVOKABLE void requestWelcome() { Q_EMIT welcomeRequested(); }
    void setHasSeenWelcome(bool seen) { m_preferences.setHasSeenWelcome(seen); }

Q_SIGNALS:
    void welcomeRequested();

private:
    Household *householdObject() { return &m_household; }
    NowPlaying *nowPlayingObject() { return &m_nowPlaying; }
    Library *libraryObject() { return &m_library; }
    TrackList *trackListObject() { return &m_trackList; }
    Preferences *preferencesObject() { return &m_preferences; }
    LiveUpdates *liveUpdatesObject() { return &m_liveUpdates; }
    ConnectionCheck *connectionCheckObject() { return &m_connectionCheck; }
    Rooms *roomsObject() { return &m_rooms; }

    // The one place where a failed task becomes state: a cancellation is no
    // failure, anything else is the status line.
    void report(const Failure &failure);
    template<typename T>
    QCoro::Task<T> guarded(QCoro::Task<T> task) const
    {
        return m_tasks.guarded(std::move(task));
    }
    void setSelectedRoomName(std::optional<QString> room);
    void selectedGroupChanged();

    // Discovery (PlayerStoreDiscovery.cpp).
    QCoro::Task<QList<SonosKit::ZoneGroup>> discoverGroups();
    QCoro::Task<void> retryTask();
    // Why the search found nothing, for the setup screen.
    QCoro::Task<void> diagnoseConnection();

    // Polling and commands (PlayerStorePolling.cpp).
    using Operation = std::function<QCoro::Task<void>(SonosKit::GroupController)>;
    // What a command changed, shown as soon as the players said yes.
    using Applied = std::function<void()>;
    QCoro::Task<void> pollTask(SonosKit::CancellationToken token);
    QCoro::Task<void> pollPause(SonosKit::CancellationToken token);
    QCoro::Task<void> closedPollTask();
    void perform(Operation operation, Applied applied = {});
    QCoro::Task<void> performTask(SonosKit::ZoneGroup group, Operation operation, Applied applied);
    void updateClosedPoll();

    // Rooms (PlayerStoreRooms.cpp).
    void updateRooms();
    QCoro::Task<void> refreshRoomLevels();
    bool wantsRoomLevels() const;
    QCoro::Task<void> regroupTask(SonosKit::ZoneGroup group, Operation operation, QList<SonosKit::ZoneGroup> expected,
        std::optional<QString> rememberedRoom);

    // Events (PlayerStoreEvents.cpp).
    void startEvents();
    void followSelectedGroup();
    QCoro::Task<void> followTask(SonosKit::ZoneGroup group);
    QCoro::Task<void> retryEventsTask();
    QCoro::Task<void> resubscribeTask();
    bool ensureEventListener(const SonosKit::ZoneGroup &group);
    void applyEvent(SonosKit::EventService service, const QString &playerHost, const SonosKit::ServiceEvent &event);
    void eventsLost(SonosKit::EventService service);
    void eventsStateChanged();
    // While events are blocked: the firewall on this computer, found by the
    // doctor's checks of this computer alone.
    QCoro::Task<void> examineFirewall();
    // Unsubscribes within a bound; the store is past its tasks by then.
    void stopEvents();

    // Favorites (PlayerStoreFavorites.cpp).
    QCoro::Task<void> refreshFavoritesTask();

    // Playing and tracks (PlayerStoreTracks.cpp).
    QCoro::Task<void> playTask(SonosKit::ZoneGroup group, SonosKit::ContentItem item);
    QCoro::Task<void> showTracksTask(SonosKit::ZoneGroup group, SonosKit::ContentItem item);
    // The choice a track list belongs to: a listing that finishes after the
    // user chose another entry or provider is dropped, and only the listings
    // for the current choice count as loading. The content directory is the
    // household's, so a directory listing does not depend on the group; a
    // queue does.
    struct TrackChoice {
        QString group;
        QString item;
        QString provider;
        friend bool operator==(const TrackChoice &, const TrackChoice &) = default;
    };
    enum class Listing { Directory, Queue };
    TrackChoice currentTrackChoice(Listing listing) const;
    void beginListing(const TrackChoice &choice);
    void endListing(const TrackChoice &choice);
    void updateLoadingTracks();

    Settings m_settings;
    Preferences m_preferences;
    Household m_household;
    NowPlaying m_nowPlaying;
    Library m_library;
    TrackList m_trackList;
    LiveUpdates m_liveUpdates;
    ConnectionCheck m_connectionCheck;
    Rooms m_rooms;

    std::optional<QString> m_knownHost;
    QList<TrackChoice> m_listings; // in flight
    std::optional<SonosKit::CancellationToken> m_pollToken;
    QTimer m_closedPoll;
    std::chrono::milliseconds m_closedPollInterval{0};
    bool m_pollingWhileClosed = false;
    bool m_closedPollReading = false;

    std::unique_ptr<SonosKit::EventListener> m_eventListener;
    std::unique_ptr<SonosKit::GroupEvents> m_groupEvents;
    QTimer m_eventRetry;
    // The coordinator whose own group volume came in an event: its figure
    // governs over the members' average.
    std::optional<QString> m_groupVolumeReporter;
    PlaybackEvents::Marks m_eventMarks;

    // Ends first when the store goes: every task sees it after each wait.
    TaskGuard m_tasks;

    static QPointer<PlayerStore> s_qmlInstance;
};
