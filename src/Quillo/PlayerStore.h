#pragma once

#include "ContentItemListModel.h"
#include "GroupListModel.h"
#include "Lifetime.h"
#include "StoreStatus.h"

#include "SonosKit/CancellationToken.h"
#include "SonosKit/ContentItem.h"
#include "SonosKit/GroupController.h"
#include "SonosKit/PlaybackState.h"
#include "SonosKit/ZoneGroup.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QSettings>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QJSEngine;
class QQmlEngine;

// The application model: everything the tray panel shows, and the one place
// where user actions become calls on SonosKit. Main-thread only. Every setter
// compares before it stores, so observers hear of real changes only.
//
// The behaviour is split by concern over PlayerStore*.cpp:
//   PlayerStore.cpp           state, preferences, derived values
//   PlayerStoreDiscovery.cpp  finding the household, topology refresh
//   PlayerStorePolling.cpp    panel open/close, polling, commands, volume
//   PlayerStoreFavorites.cpp  favorites, providers, the chosen entry
//   PlayerStoreTracks.cpp     selection, playing, track lists
class PlayerStore : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(GroupListModel *groups READ groupsModel CONSTANT)
    Q_PROPERTY(int groupCount READ groupCount NOTIFY groupsChanged)
    Q_PROPERTY(ContentItemListModel *favorites READ favoritesModel CONSTANT)
    Q_PROPERTY(int favoriteCount READ favoriteCount NOTIFY favoritesChanged)
    Q_PROPERTY(QVariant playback READ playbackValue NOTIFY playbackChanged)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(StoreStatus::Kind statusKind READ statusKind NOTIFY statusChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusChanged)
    Q_PROPERTY(bool isSearching READ isSearching NOTIFY statusChanged)
    Q_PROPERTY(QStringList unplayableFavoriteIDs READ unplayableFavoriteIDList NOTIFY unplayableFavoriteIDsChanged)
    Q_PROPERTY(QVariant pendingVolume READ pendingVolumeValue WRITE setPendingVolumeValue NOTIFY pendingVolumeChanged)
    Q_PROPERTY(QString selectedProvider READ selectedProvider WRITE setSelectedProvider NOTIFY selectedProviderChanged)
    Q_PROPERTY(ContentItemListModel *tracks READ tracksModel CONSTANT)
    Q_PROPERTY(int trackCount READ trackCount NOTIFY tracksChanged)
    Q_PROPERTY(QVariant tracksMessage READ tracksMessageValue NOTIFY tracksMessageChanged)
    Q_PROPERTY(bool isLoadingTracks READ isLoadingTracks NOTIFY isLoadingTracksChanged)
    Q_PROPERTY(bool isRefreshingFavorites READ isRefreshingFavorites NOTIFY isRefreshingFavoritesChanged)
    Q_PROPERTY(TrackSource tracksSource READ tracksSource NOTIFY tracksSourceChanged)
    Q_PROPERTY(bool canLoadTracksFromQueue READ canLoadTracksFromQueue NOTIFY canLoadTracksFromQueueChanged)
    Q_PROPERTY(QVariant selectedItemID READ selectedItemIDValue WRITE setSelectedItemIDValue NOTIFY selectedItemIDChanged)
    Q_PROPERTY(QVariant selectedRoomName READ selectedRoomNameValue NOTIFY selectedRoomNameChanged)
    Q_PROPERTY(QVariant manualHost READ manualHostValue NOTIFY manualHostChanged)
    Q_PROPERTY(bool hasSeenWelcome READ hasSeenWelcome WRITE setHasSeenWelcome NOTIFY hasSeenWelcomeChanged)
    Q_PROPERTY(bool canRequestWelcome READ canRequestWelcome NOTIFY requestWelcomeChanged)
    // Derived.
    Q_PROPERTY(QVariant selectedGroup READ selectedGroupValue NOTIFY selectedGroupChanged)
    Q_PROPERTY(int selectedGroupIndex READ selectedGroupIndex NOTIFY selectedGroupChanged)
    Q_PROPERTY(int volume READ volume NOTIFY volumeChanged)
    Q_PROPERTY(QStringList availableProviders READ availableProviders NOTIFY availableProvidersChanged)
    Q_PROPERTY(ContentItemListModel *visibleFavorites READ visibleFavoritesModel CONSTANT)
    Q_PROPERTY(int visibleFavoriteCount READ visibleFavoriteCount NOTIFY visibleFavoritesChanged)
    Q_PROPERTY(QVariant selectedItem READ selectedItemValue NOTIFY selectedItemChanged)
    Q_PROPERTY(int selectedItemIndex READ selectedItemIndex NOTIFY selectedItemChanged)
    // Why the chosen entry is dimmed; empty when it is not.
    Q_PROPERTY(QString selectedItemHelpText READ selectedItemHelpText NOTIFY selectedItemHelpTextChanged)

public:
    using Status = StoreStatus;
    enum class TrackSource { Directory, Queue };
    Q_ENUM(TrackSource)

    static inline const QString allProviders = QStringLiteral("All Providers");

    // What the store asks of the world beyond one known player. Tests replace
    // the household search so that nothing leaves loopback.
    struct Environment {
        std::function<QCoro::Task<QList<SonosKit::ZoneGroup>>(double timeout)> findHousehold;
        std::chrono::milliseconds pollPause{1500};
        double householdSearchTimeout = 3.0;
    };
    static Environment defaultEnvironment();

    // `settings` holds the four preferences; null means the user's own file.
    // No default for it: QML prefers a default constructor to create(), and
    // must never build a store of its own.
    explicit PlayerStore(std::unique_ptr<QSettings> settings, Environment environment = defaultEnvironment(),
                         QObject *parent = nullptr);
    ~PlayerStore() override;

    // QML never makes a store of its own: it is handed the program's.
    static void provideToQml(PlayerStore *store);
    static PlayerStore *create(QQmlEngine *, QJSEngine *);

    // Stored state.
    const QList<SonosKit::ZoneGroup> &groups() const { return m_groups.items(); }
    const QList<SonosKit::ContentItem> &favorites() const { return m_favorites.items(); }
    const std::optional<SonosKit::PlaybackState> &playback() const { return m_playback; }
    const Status &status() const { return m_status; }
    const QSet<QString> &unplayableFavoriteIDs() const { return m_unplayableFavoriteIDs; }
    std::optional<int> pendingVolume() const { return m_pendingVolume; }
    QString selectedProvider() const { return m_selectedProvider; }
    const QList<SonosKit::ContentItem> &tracks() const { return m_tracks.items(); }
    const std::optional<QString> &tracksMessage() const { return m_tracksMessage; }
    bool isLoadingTracks() const { return m_isLoadingTracks; }
    bool isRefreshingFavorites() const { return m_isRefreshingFavorites; }
    TrackSource tracksSource() const { return m_tracksSource; }
    bool canLoadTracksFromQueue() const { return m_canLoadTracksFromQueue; }
    const std::optional<QString> &selectedItemID() const { return m_selectedItemID; }
    const std::optional<QString> &selectedRoomName() const { return m_selectedRoomName; }
    const std::optional<QString> &manualHost() const { return m_manualHost; }
    bool hasSeenWelcome() const { return m_hasSeenWelcome; }
    const QHash<qint64, QString> &serviceNames() const { return m_serviceNames; }
    const std::optional<QString> &knownHost() const { return m_knownHost; }
    bool isPolling() const { return m_pollToken.has_value(); }
    bool isPollingWhileClosed() const;

    // Derived state.
    std::optional<SonosKit::ZoneGroup> selectedGroup() const;
    int volume() const;
    QStringList availableProviders() const { return m_availableProviders; }
    const QList<SonosKit::ContentItem> &visibleFavorites() const { return m_visibleFavorites.items(); }
    std::optional<SonosKit::ContentItem> selectedItem() const;

    // Written by the interface.
    void setPendingVolume(std::optional<int> volume);
    void setSelectedProvider(const QString &provider);
    void setSelectedItemID(std::optional<QString> id);
    void setHasSeenWelcome(bool seen);
    // Installed by the shell; the footer's "Tips" calls it.
    void setRequestWelcome(std::function<void()> action);
    Q_INVOKABLE void requestWelcome();

    // Discovery and topology.
    QCoro::Task<void> refreshTopology();
    Q_INVOKABLE void retryDiscovery(const QVariant &host);
    void retryDiscovery(std::optional<QString> host);

    // The panel's cycle, playback and commands.
    Q_INVOKABLE void menuOpened();
    Q_INVOKABLE void menuClosed();
    QCoro::Task<void> refreshPlayback();
    Q_INVOKABLE void togglePlayPause();
    Q_INVOKABLE void next();
    Q_INVOKABLE void previous();
    Q_INVOKABLE void play();
    Q_INVOKABLE void pause();
    Q_INVOKABLE void stop();
    Q_INVOKABLE void seek(int seconds);
    Q_INVOKABLE void commitVolume(int volume);
    // From outside the panel (media keys, the desktop's media widget): the
    // group volume, without the slider's pending value.
    void setGroupVolume(int volume);
    // The topology, then the selected group's playback, once: what plays
    // shows before the panel was ever opened.
    QCoro::Task<void> refreshAll();

    // While the panel is closed and the group plays, read playback at this
    // pace, so that a desktop media widget stays current; zero turns it off.
    // It stops by itself once the group is paused or stopped.
    void setClosedPollInterval(std::chrono::milliseconds interval);

    // Favorites.
    Q_INVOKABLE void refreshFavorites();
    // Favorites, Sonos Playlists and service names of the selected group,
    // the three at once; never fails. Every call reloads.
    QCoro::Task<void> loadFavorites(bool force);

    // Selection, playing and track lists.
    void selectGroup(const SonosKit::ZoneGroup &group);
    Q_INVOKABLE void selectGroupWithID(const QString &id);
    Q_INVOKABLE void selectItem(const QString &itemID);
    void play(const SonosKit::ContentItem &item);
    Q_INVOKABLE void playSelectedItem();
    Q_INVOKABLE void showTracks();
    void playTrack(const SonosKit::ContentItem &track, int position);
    Q_INVOKABLE void playTrackAt(int position);
    QCoro::Task<void> loadTracks();

    // QML-facing forms of the optional values (null when absent).
    GroupListModel *groupsModel() { return &m_groups; }
    int groupCount() const { return int(m_groups.items().size()); }
    ContentItemListModel *favoritesModel() { return &m_favorites; }
    int favoriteCount() const { return int(m_favorites.items().size()); }
    QVariant playbackValue() const;
    bool isPlaying() const;
    StoreStatus::Kind statusKind() const { return m_status.kind; }
    QString statusMessage() const { return m_status.message; }
    bool isSearching() const { return m_status.kind == StoreStatus::Kind::Searching; }
    QStringList unplayableFavoriteIDList() const;
    QVariant pendingVolumeValue() const;
    void setPendingVolumeValue(const QVariant &volume);
    ContentItemListModel *tracksModel() { return &m_tracks; }
    int trackCount() const { return int(m_tracks.items().size()); }
    QVariant tracksMessageValue() const;
    QVariant selectedItemIDValue() const;
    void setSelectedItemIDValue(const QVariant &id);
    QVariant selectedRoomNameValue() const;
    QVariant manualHostValue() const;
    bool canRequestWelcome() const { return bool(m_requestWelcome); }
    QVariant selectedGroupValue() const;
    int selectedGroupIndex() const;
    ContentItemListModel *visibleFavoritesModel() { return &m_visibleFavorites; }
    int visibleFavoriteCount() const { return int(m_visibleFavorites.items().size()); }
    QVariant selectedItemValue() const;
    int selectedItemIndex() const;
    QString selectedItemHelpText() const { return m_selectedItemHelpText; }

Q_SIGNALS:
    void groupsChanged();
    void favoritesChanged();
    void playbackChanged();
    void isPlayingChanged();
    void statusChanged();
    void unplayableFavoriteIDsChanged();
    void pendingVolumeChanged();
    void selectedProviderChanged();
    void tracksChanged();
    void tracksMessageChanged();
    void isLoadingTracksChanged();
    void isRefreshingFavoritesChanged();
    void tracksSourceChanged();
    void canLoadTracksFromQueueChanged();
    void selectedItemIDChanged();
    void selectedRoomNameChanged();
    void manualHostChanged();
    void hasSeenWelcomeChanged();
    void requestWelcomeChanged();
    void selectedGroupChanged();
    void volumeChanged();
    void availableProvidersChanged();
    void visibleFavoritesChanged();
    void selectedItemChanged();
    void selectedItemHelpTextChanged();
    // Every playback snapshot read, equal or not; a clock for listeners that
    // extrapolate the position.
    void playbackRead();

private:
    // State and preferences (PlayerStore.cpp).
    void setGroups(QList<SonosKit::ZoneGroup> groups);
    void setFavorites(QList<SonosKit::ContentItem> favorites);
    void setPlayback(std::optional<SonosKit::PlaybackState> playback);
    void setStatus(Status status);
    void setFailed(const std::exception &error);
    void markUnplayable(const QString &id);
    void unmarkUnplayable(const QString &id);
    void setServiceNames(QHash<qint64, QString> names);
    void setTracks(QList<SonosKit::ContentItem> tracks);
    void setTracksMessage(std::optional<QString> message);
    void setRefreshingFavorites(bool refreshing);
    void setTracksSource(TrackSource source);
    void setCanLoadTracksFromQueue(bool can);
    void setSelectedRoomName(std::optional<QString> room);
    void setManualHost(std::optional<QString> host);
    void writePreference(const QString &key, const std::optional<QVariant> &value);
    void readPreferences();
    // Each recomputes derived values from their inputs and notifies those
    // that changed.
    void updateSelectedGroup();
    void updateVolume();
    void updateFavoritesDerived();
    void updateSelectedItem();
    void updateMarks();
    void updateSelectedItemHelpText();
    static QStringList providersOf(const QList<SonosKit::ContentItem> &items, const QHash<qint64, QString> &names);

    // Discovery (PlayerStoreDiscovery.cpp).
    QCoro::Task<QList<SonosKit::ZoneGroup>> discoverGroups();
    QCoro::Task<void> retryTask();

    // Polling and commands (PlayerStorePolling.cpp).
    using Operation = std::function<QCoro::Task<void>(SonosKit::GroupController)>;
    QCoro::Task<void> pollTask(SonosKit::CancellationToken token);
    QCoro::Task<void> pollPause(SonosKit::CancellationToken token);
    void perform(Operation operation);
    QCoro::Task<void> performTask(SonosKit::ZoneGroup group, Operation operation);
    void updateClosedPoll();

    // Favorites (PlayerStoreFavorites.cpp).
    QCoro::Task<void> refreshFavoritesTask();

    // Selection and tracks (PlayerStoreTracks.cpp).
    QCoro::Task<void> playTask(SonosKit::ZoneGroup group, SonosKit::ContentItem item);
    QCoro::Task<void> showTracksTask(SonosKit::ZoneGroup group, SonosKit::ContentItem item);
    QCoro::Task<void> refreshPlaybackTask();
    // The choice a track list belongs to: a listing that finishes after the
    // user chose another entry, provider or group is dropped, and only the
    // listings for the current choice count as loading.
    struct TrackChoice {
        QString group;
        QString item;
        QString provider;
        friend bool operator==(const TrackChoice &, const TrackChoice &) = default;
    };
    TrackChoice currentTrackChoice() const;
    void beginListing(const TrackChoice &choice);
    void endListing(const TrackChoice &choice);
    void updateLoadingTracks();

    std::unique_ptr<QSettings> m_settings;
    Environment m_environment;

    GroupListModel m_groups;
    ContentItemListModel m_favorites;
    std::optional<SonosKit::PlaybackState> m_playback;
    Status m_status;
    QSet<QString> m_unplayableFavoriteIDs;
    std::optional<int> m_pendingVolume;
    QHash<qint64, QString> m_serviceNames;
    QString m_selectedProvider = allProviders;
    ContentItemListModel m_tracks;
    std::optional<QString> m_tracksMessage;
    QList<TrackChoice> m_listings; // in flight
    bool m_isLoadingTracks = false;
    bool m_isRefreshingFavorites = false;
    TrackSource m_tracksSource = TrackSource::Directory;
    bool m_canLoadTracksFromQueue = false;
    std::optional<QString> m_selectedItemID;
    std::optional<QString> m_selectedRoomName;
    std::optional<QString> m_manualHost;
    bool m_hasSeenWelcome = false;
    std::function<void()> m_requestWelcome;
    std::optional<SonosKit::CancellationToken> m_pollToken;
    std::chrono::milliseconds m_closedPollInterval{0};
    std::unique_ptr<QTimer> m_closedPoll;
    std::optional<QString> m_knownHost;

    // Derived values as last published, to notify only on change.
    std::optional<SonosKit::ZoneGroup> m_selectedGroup;
    int m_volume = 0;
    bool m_isPlaying = false;
    QStringList m_availableProviders{allProviders};
    ContentItemListModel m_visibleFavorites;
    std::optional<SonosKit::ContentItem> m_selectedItem;
    QString m_selectedItemHelpText;

    // Cancelled when the store goes; tasks check it after every wait.
    Lifetime m_lifetime;

    static QPointer<PlayerStore> s_qmlInstance;
};
