#include "PlayerStore.h"

#include "GroupRecord.h"
#include "ItemRecord.h"
#include "PlaybackRecord.h"

#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/SonosError.h"

#include <QCollator>
#include <QJSEngine>
#include <QLocale>
#include <QSettings>

#include <algorithm>

using SonosKit::ContentItem;
using SonosKit::PlaybackState;
using SonosKit::ZoneGroup;

QPointer<PlayerStore> PlayerStore::s_qmlInstance;

namespace {

const QString selectedRoomNameKey = QStringLiteral("selectedRoomName");
const QString selectedProviderKey = QStringLiteral("selectedProvider");
const QString manualHostKey = QStringLiteral("manualHost");
const QString hasSeenWelcomeKey = QStringLiteral("hasSeenWelcome");

// A preference of the wrong type (a list where a text belongs, say) reads as
// no preference at all rather than as whatever Qt would convert it to.
std::optional<QString> storedText(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<bool> storedBoolean(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString();
    if (text == u"true")
        return true;
    if (text == u"false")
        return false;
    return std::nullopt;
}

QVariant optionalText(const std::optional<QString> &value)
{
    return value ? QVariant(*value) : QVariant();
}

// Sorting as a file browser sorts names. Under the C locale QCollator drops
// numeric ordering, so fall back to an explicit locale there.
QCollator providerCollator()
{
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

} // namespace

PlayerStore::Environment PlayerStore::defaultEnvironment()
{
    Environment environment;
    environment.findHousehold = [](double timeout) { return SonosKit::SonosDiscovery::findHousehold(timeout); };
    environment.householdSearchTimeout = SonosKit::SonosDiscovery::householdSearchTimeout;
    return environment;
}

PlayerStore::PlayerStore(std::unique_ptr<QSettings> settings, Environment environment, QObject *parent)
    : QObject(parent)
    , m_settings(settings ? std::move(settings) : std::make_unique<QSettings>(QStringLiteral("Quillo"), QStringLiteral("Quillo")))
    , m_environment(std::move(environment))
{
    if (!m_environment.findHousehold)
        m_environment.findHousehold = defaultEnvironment().findHousehold;
    readPreferences();
    updateSelectedGroup();
}

PlayerStore::~PlayerStore()
{
    // Tasks still waiting on the network resume into a store that is gone:
    // they see the ended lifetime and return without touching it.
    m_lifetime.end();
    if (m_pollToken)
        m_pollToken->cancel();
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

// --- Preferences -----------------------------------------------------------

void PlayerStore::readPreferences()
{
    // A file that cannot be read or parsed leaves every preference absent.
    if (m_settings->status() != QSettings::NoError)
        return;
    m_selectedRoomName = storedText(*m_settings, selectedRoomNameKey);
    if (const std::optional<QString> provider = storedText(*m_settings, selectedProviderKey))
        m_selectedProvider = *provider;
    m_manualHost = storedText(*m_settings, manualHostKey);
    m_hasSeenWelcome = storedBoolean(*m_settings, hasSeenWelcomeKey).value_or(false);
}

void PlayerStore::writePreference(const QString &key, const std::optional<QVariant> &value)
{
    if (value)
        m_settings->setValue(key, *value);
    else
        m_settings->remove(key);
    // On disk at once, so a program killed right after a choice keeps it.
    m_settings->sync();
}

// --- Stored state ----------------------------------------------------------

void PlayerStore::setGroups(QList<ZoneGroup> groups)
{
    if (!m_groups.setItems(std::move(groups)))
        return;
    Q_EMIT groupsChanged();
    updateSelectedGroup();
}

void PlayerStore::setFavorites(QList<ContentItem> favorites)
{
    if (!m_favorites.setItems(std::move(favorites)))
        return;
    Q_EMIT favoritesChanged();
    updateFavoritesDerived();
}

void PlayerStore::setPlayback(std::optional<PlaybackState> playback)
{
    if (playback == m_playback)
        return;
    m_playback = std::move(playback);
    Q_EMIT playbackChanged();
    updateVolume();
}

void PlayerStore::setStatus(Status status)
{
    if (status == m_status)
        return;
    m_status = std::move(status);
    Q_EMIT statusChanged();
}

void PlayerStore::setFailed(const std::exception &error)
{
    if (const auto *sonosError = dynamic_cast<const SonosKit::SonosError *>(&error))
        setStatus(Status::failed(sonosError->errorDescription()));
    else
        setStatus(Status::failed(QString::fromLocal8Bit(error.what())));
}

// Marking always notifies, even when the mark was already there.
void PlayerStore::markUnplayable(const QString &id)
{
    m_unplayableFavoriteIDs.insert(id);
    updateMarks();
    Q_EMIT unplayableFavoriteIDsChanged();
}

void PlayerStore::unmarkUnplayable(const QString &id)
{
    m_unplayableFavoriteIDs.remove(id);
    updateMarks();
    Q_EMIT unplayableFavoriteIDsChanged();
}

void PlayerStore::updateMarks()
{
    m_favorites.setMarkedIDs(m_unplayableFavoriteIDs);
    m_visibleFavorites.setMarkedIDs(m_unplayableFavoriteIDs);
    m_tracks.setMarkedIDs(m_unplayableFavoriteIDs);
    updateSelectedItemHelpText();
}

void PlayerStore::updateSelectedItemHelpText()
{
    QString text;
    if (m_selectedItem && m_unplayableFavoriteIDs.contains(m_selectedItem->id))
        text = ContentItemListModel::unplayableHelp(*m_selectedItem);
    if (text == m_selectedItemHelpText)
        return;
    m_selectedItemHelpText = std::move(text);
    Q_EMIT selectedItemHelpTextChanged();
}

void PlayerStore::setServiceNames(QHash<qint64, QString> names)
{
    if (names == m_serviceNames)
        return;
    m_serviceNames = std::move(names);
    updateFavoritesDerived();
}

void PlayerStore::setTracks(QList<ContentItem> tracks)
{
    if (m_tracks.setItems(std::move(tracks)))
        Q_EMIT tracksChanged();
}

void PlayerStore::setTracksMessage(std::optional<QString> message)
{
    if (message == m_tracksMessage)
        return;
    m_tracksMessage = std::move(message);
    Q_EMIT tracksMessageChanged();
}

void PlayerStore::setRefreshingFavorites(bool refreshing)
{
    if (refreshing == m_isRefreshingFavorites)
        return;
    m_isRefreshingFavorites = refreshing;
    Q_EMIT isRefreshingFavoritesChanged();
}

void PlayerStore::setTracksSource(TrackSource source)
{
    if (source == m_tracksSource)
        return;
    m_tracksSource = source;
    Q_EMIT tracksSourceChanged();
}

void PlayerStore::setCanLoadTracksFromQueue(bool can)
{
    if (can == m_canLoadTracksFromQueue)
        return;
    m_canLoadTracksFromQueue = can;
    Q_EMIT canLoadTracksFromQueueChanged();
}

// Written on every assignment, changed or not; observers only on change.
void PlayerStore::setSelectedRoomName(std::optional<QString> room)
{
    writePreference(selectedRoomNameKey, room ? std::optional<QVariant>(*room) : std::nullopt);
    if (room == m_selectedRoomName)
        return;
    m_selectedRoomName = std::move(room);
    Q_EMIT selectedRoomNameChanged();
    updateSelectedGroup();
}

void PlayerStore::setManualHost(std::optional<QString> host)
{
    writePreference(manualHostKey, host ? std::optional<QVariant>(*host) : std::nullopt);
    if (host == m_manualHost)
        return;
    m_manualHost = std::move(host);
    Q_EMIT manualHostChanged();
}

void PlayerStore::setHasSeenWelcome(bool seen)
{
    writePreference(hasSeenWelcomeKey, QVariant(seen));
    if (seen == m_hasSeenWelcome)
        return;
    m_hasSeenWelcome = seen;
    Q_EMIT hasSeenWelcomeChanged();
}

void PlayerStore::setPendingVolume(std::optional<int> volume)
{
    if (volume == m_pendingVolume)
        return;
    m_pendingVolume = volume;
    Q_EMIT pendingVolumeChanged();
    updateVolume();
}

void PlayerStore::setSelectedProvider(const QString &provider)
{
    if (provider == m_selectedProvider)
        return;
    m_selectedProvider = provider;
    writePreference(selectedProviderKey, QVariant(provider));
    Q_EMIT selectedProviderChanged();
    setSelectedItemID(std::nullopt);
    updateFavoritesDerived();
    loadTracks();
}

void PlayerStore::setSelectedItemID(std::optional<QString> id)
{
    if (id == m_selectedItemID)
        return;
    m_selectedItemID = std::move(id);
    Q_EMIT selectedItemIDChanged();
    updateSelectedItem();
}

void PlayerStore::setRequestWelcome(std::function<void()> action)
{
    // An action has no equality: every assignment notifies.
    m_requestWelcome = std::move(action);
    Q_EMIT requestWelcomeChanged();
}

void PlayerStore::requestWelcome()
{
    if (m_requestWelcome)
        m_requestWelcome();
}

// --- Derived state ---------------------------------------------------------

std::optional<ZoneGroup> PlayerStore::selectedGroup() const
{
    return m_selectedGroup;
}

int PlayerStore::volume() const
{
    return m_volume;
}

std::optional<ContentItem> PlayerStore::selectedItem() const
{
    return m_selectedItem;
}

void PlayerStore::updateSelectedGroup()
{
    std::optional<ZoneGroup> group;
    if (m_selectedRoomName)
        group = SonosKit::groupForRoom(groups(), *m_selectedRoomName);
    if (!group && !groups().isEmpty())
        group = groups().front();
    if (group == m_selectedGroup)
        return;
    m_selectedGroup = std::move(group);
    Q_EMIT selectedGroupChanged();
    updateLoadingTracks();
}

void PlayerStore::updateVolume()
{
    const int volume = m_pendingVolume ? *m_pendingVolume : m_playback ? m_playback->volume : 0;
    if (volume != m_volume) {
        m_volume = volume;
        Q_EMIT volumeChanged();
    }
    const bool playing = m_playback && SonosKit::isPlaying(m_playback->transportState);
    if (playing != m_isPlaying) {
        m_isPlaying = playing;
        Q_EMIT isPlayingChanged();
        updateClosedPoll();
    }
}

QStringList PlayerStore::providersOf(const QList<ContentItem> &items, const QHash<qint64, QString> &names)
{
    QStringList providers;
    QSet<QString> seen;
    for (const ContentItem &item : items) {
        QString provider = item.providerName(names);
        if (!seen.contains(provider)) {
            seen.insert(provider);
            providers.append(std::move(provider));
        }
    }
    const QCollator collator = providerCollator();
    std::stable_sort(providers.begin(), providers.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    providers.prepend(allProviders);
    return providers;
}

void PlayerStore::updateFavoritesDerived()
{
    // Each item's provider once per change, not once per read.
    QStringList providers = providersOf(favorites(), m_serviceNames);
    if (providers != m_availableProviders) {
        m_availableProviders = std::move(providers);
        Q_EMIT availableProvidersChanged();
    }

    QList<ContentItem> visible;
    if (m_selectedProvider == allProviders) {
        visible = favorites();
    } else {
        for (const ContentItem &item : favorites()) {
            if (item.providerName(m_serviceNames) == m_selectedProvider)
                visible.append(item);
        }
    }
    m_visibleFavorites.setMarkedIDs(m_unplayableFavoriteIDs);
    m_favorites.setMarkedIDs(m_unplayableFavoriteIDs);
    if (m_visibleFavorites.setItems(std::move(visible)))
        Q_EMIT visibleFavoritesChanged();
    updateSelectedItem();
}

void PlayerStore::updateSelectedItem()
{
    const QList<ContentItem> &visible = visibleFavorites();
    std::optional<ContentItem> chosen;
    if (m_selectedItemID) {
        const auto match = std::find_if(visible.cbegin(), visible.cend(),
                                        [this](const ContentItem &item) { return item.id == *m_selectedItemID; });
        if (match != visible.cend())
            chosen = *match;
    }
    if (!chosen) {
        const auto playable = std::find_if(visible.cbegin(), visible.cend(),
                                           [](const ContentItem &item) { return item.isPlayable(); });
        if (playable != visible.cend())
            chosen = *playable;
        else if (!visible.isEmpty())
            chosen = visible.front();
    }
    if (chosen != m_selectedItem) {
        m_selectedItem = std::move(chosen);
        Q_EMIT selectedItemChanged();
        updateSelectedItemHelpText();
    }
    updateLoadingTracks();
}

// --- QML-facing forms ------------------------------------------------------

QVariant PlayerStore::playbackValue() const
{
    return m_playback ? QVariant::fromValue(PlaybackRecord(*m_playback)) : QVariant();
}

bool PlayerStore::isPlaying() const
{
    return m_isPlaying;
}

QStringList PlayerStore::unplayableFavoriteIDList() const
{
    QStringList ids(m_unplayableFavoriteIDs.cbegin(), m_unplayableFavoriteIDs.cend());
    ids.sort();
    return ids;
}

QVariant PlayerStore::pendingVolumeValue() const
{
    return m_pendingVolume ? QVariant(*m_pendingVolume) : QVariant();
}

void PlayerStore::setPendingVolumeValue(const QVariant &volume)
{
    if (!volume.isValid() || volume.isNull()) {
        setPendingVolume(std::nullopt);
        return;
    }
    bool ok = false;
    const double value = volume.toDouble(&ok);
    if (ok && std::isfinite(value))
        setPendingVolume(int(std::clamp(value, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()))));
}

QVariant PlayerStore::tracksMessageValue() const
{
    return optionalText(m_tracksMessage);
}

QVariant PlayerStore::selectedItemIDValue() const
{
    return optionalText(m_selectedItemID);
}

void PlayerStore::setSelectedItemIDValue(const QVariant &id)
{
    if (!id.isValid() || id.isNull())
        setSelectedItemID(std::nullopt);
    else
        setSelectedItemID(id.toString());
}

QVariant PlayerStore::selectedRoomNameValue() const
{
    return optionalText(m_selectedRoomName);
}

QVariant PlayerStore::manualHostValue() const
{
    return optionalText(m_manualHost);
}

QVariant PlayerStore::selectedGroupValue() const
{
    return m_selectedGroup ? QVariant::fromValue(GroupRecord(*m_selectedGroup)) : QVariant();
}

int PlayerStore::selectedGroupIndex() const
{
    if (!m_selectedGroup)
        return -1;
    const QList<ZoneGroup> &all = groups();
    for (int row = 0; row < all.size(); ++row) {
        if (all[row].id == m_selectedGroup->id)
            return row;
    }
    return -1;
}

QVariant PlayerStore::selectedItemValue() const
{
    return m_selectedItem ? QVariant::fromValue(ItemRecord(*m_selectedItem)) : QVariant();
}

int PlayerStore::selectedItemIndex() const
{
    if (!m_selectedItem)
        return -1;
    const QList<ContentItem> &visible = visibleFavorites();
    for (int row = 0; row < visible.size(); ++row) {
        if (visible[row].id == m_selectedItem->id)
            return row;
    }
    return -1;
}
