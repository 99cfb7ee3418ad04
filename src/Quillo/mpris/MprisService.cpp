// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/mpris/MprisService.h"

#include "Quillo/app/Logging.h"

#include "Quillo/mpris/ArtworkCache.h"
#include "Quillo/mpris/MprisAdaptors.h"
#include "Quillo/store/PlayerStore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QHash>
#include <QTimer>

#include <cmath>

using SonosKit::PlaybackState;

namespace {

constexpr qint64 microseconds = 1000000;
// A poll that finds the position this far from where it should be tells
// clients that the track jumped.
constexpr qint64 jumpMicroseconds = 2 * microseconds;

} // namespace

MprisService::MprisService(PlayerStore *store, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_artwork(new ArtworkCache(ArtworkCache::defaultDirectory(), this))
{
    new MprisRootAdaptor(this);
    m_player = new MprisPlayerAdaptor(this);

    connect(&store->nowPlaying(), &NowPlaying::playbackChanged, this, &MprisService::noteChanged);
    connect(&store->nowPlaying(), &NowPlaying::volumeChanged, this, &MprisService::noteChanged);
    connect(&store->household(), &Household::selectedGroupChanged, this, &MprisService::noteChanged);
    connect(&store->transportAbilities(), &TransportAbilities::changed, this, &MprisService::noteChanged);
    connect(&store->nowPlaying(), &NowPlaying::playbackRead, this, &MprisService::playbackRead);
    connect(&store->nowPlaying(), &NowPlaying::transportEvented, this, &MprisService::transportEvented);
    // What the last group played says nothing of where the next one is.
    connect(&store->nowPlaying(), &NowPlaying::playbackChanged, this, [this] {
        if (m_store && !m_store->nowPlaying().playback())
            m_anchorPosition.reset();
    });
    connect(m_artwork, &ArtworkCache::stored, this, &MprisService::noteChanged);
    connect(&store->playModes(), &PlayModes::shuffleChanged, this, &MprisService::noteChanged);
    connect(&store->playModes(), &PlayModes::repeatChanged, this, &MprisService::noteChanged);
}

MprisService::~MprisService()
{
    if (m_registered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(objectPath);
        bus.unregisterService(busName);
    }
}

bool MprisService::registerOnBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcMpris) << "No session bus: the desktop's media controls do not see Quillo";
        return false;
    }
    if (!bus.registerObject(objectPath, this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcMpris).noquote() << "Could not offer the media controls:" << bus.lastError().message();
        return false;
    }
    if (!bus.registerService(busName)) {
        qCWarning(lcMpris).noquote() << "Could not take the bus name" << busName << ":" << bus.lastError().message();
        bus.unregisterObject(objectPath);
        return false;
    }
    m_registered = true;
    // What is shown now is what the first change is measured against.
    m_lastStatus = playbackStatus();
    m_lastMetadata = metadata();
    m_lastShuffle = shuffle();
    m_lastLoopStatus = loopStatus();
    m_lastVolume = volume();
    m_lastAbilities = abilities();
    m_lastCanSeek = canSeek();
    return true;
}

// --- What the player reports ----------------------------------------------

QString MprisService::playbackStatus() const
{
    if (!m_store || !m_store->nowPlaying().playback())
        return QStringLiteral("Stopped");
    const SonosKit::TransportState state = m_store->nowPlaying().playback()->transportState;
    if (SonosKit::isPlaying(state))
        return QStringLiteral("Playing");
    if (state == SonosKit::TransportState::paused)
        return QStringLiteral("Paused");
    return QStringLiteral("Stopped");
}

QDBusObjectPath MprisService::trackIDFor(const std::optional<PlaybackState> &playback, const QString &groupID)
{
    if (!playback || (!playback->title && !playback->artist && !playback->album))
        return QDBusObjectPath(noTrack);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString &part : {groupID, playback->title.value_or(QString()), playback->artist.value_or(QString()),
             playback->album.value_or(QString()), QString::number(playback->durationSeconds.value_or(-1))}) {
        hash.addData(part.toUtf8());
        hash.addData(QByteArrayView("\x1f", 1));
    }
    // Object path elements take letters, digits and underscores only.
    return QDBusObjectPath(
        QStringLiteral("/io/github/quillo/Quillo/track/t") + QString::fromLatin1(hash.result().toHex().left(24)));
}

QDBusObjectPath MprisService::trackID() const
{
    if (!m_store)
        return QDBusObjectPath(noTrack);
    const auto group = m_store->household().selectedGroup();
    return trackIDFor(m_store->nowPlaying().playback(), group ? group->id : QString());
}

QVariantMap MprisService::metadata() const
{
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(trackID()));
    if (!m_store || !m_store->nowPlaying().playback())
        return map;
    const PlaybackState &playback = *m_store->nowPlaying().playback();
    if (playback.title)
        map.insert(QStringLiteral("xesam:title"), *playback.title);
    if (playback.artist)
        map.insert(QStringLiteral("xesam:artist"), QStringList{*playback.artist});
    if (playback.album)
        map.insert(QStringLiteral("xesam:album"), *playback.album);
    if (playback.durationSeconds && *playback.durationSeconds > 0)
        map.insert(QStringLiteral("mpris:length"), qlonglong(*playback.durationSeconds * microseconds));
    if (playback.albumArtURI) {
        const QUrl local = m_artwork->localURL(QUrl(*playback.albumArtURI));
        if (!local.isEmpty())
            map.insert(QStringLiteral("mpris:artUrl"), local.toString());
    }
    return map;
}

double MprisService::volume() const
{
    return m_store ? std::clamp(m_store->nowPlaying().volume(), 0, 100) / 100.0 : 0.0;
}

bool MprisService::shuffle() const
{
    return m_store && m_store->playModes().shuffle();
}

QString MprisService::loopStatus() const
{
    switch (m_store ? m_store->playModes().repeat() : PlayModes::Repeat::Off) {
    case PlayModes::Repeat::All:
        return QStringLiteral("Playlist");
    case PlayModes::Repeat::One:
        return QStringLiteral("Track");
    case PlayModes::Repeat::Off:
        break;
    }
    return QStringLiteral("None");
}

qint64 MprisService::positionMicroseconds() const
{
    if (!m_anchorPosition)
        return 0;
    qint64 position = *m_anchorPosition;
    // Between reads and events the position moves on as clients expect at
    // rate 1, up to the end of the track: what comes next is an event.
    if (m_playingAtAnchor && m_sinceAnchor.isValid())
        position += m_sinceAnchor.elapsed() * 1000;
    const qint64 length = m_store && m_store->nowPlaying().playback()
        ? m_store->nowPlaying().playback()->durationSeconds.value_or(0) * microseconds
        : 0;
    return length > 0 ? std::min(position, length) : position;
}

bool MprisService::hasGroup() const
{
    return m_store && m_store->household().selectedGroup().has_value();
}

bool MprisService::canSeek() const
{
    // A station never ends: nothing to seek in.
    return can(SonosKit::TransportAction::seek) && m_store->nowPlaying().playback()
        && m_store->nowPlaying().playback()->durationSeconds.value_or(0) > 0;
}

bool MprisService::can(SonosKit::TransportAction action) const
{
    return hasGroup() && m_store->transportAbilities().actions().testFlag(action);
}

bool MprisService::canPlay() const
{
    // Desktop clients (playerctl among them) take CanPlay false for a player
    // with nothing loaded and hide it: a TV that plays and refuses Play still
    // has something to show.
    return can(SonosKit::TransportAction::play)
        || (hasGroup() && m_store->nowPlaying().playback()
            && SonosKit::isPlaying(m_store->nowPlaying().playback()->transportState));
}

QVariantMap MprisService::abilities() const
{
    using SonosKit::TransportAction;
    return {{QStringLiteral("CanGoNext"), can(TransportAction::next)},
        {QStringLiteral("CanGoPrevious"), can(TransportAction::previous)}, {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), can(TransportAction::pause)}};
}

// --- Change announcements ---------------------------------------------------

void MprisService::playbackRead()
{
    const std::optional<PlaybackState> playback = m_store ? m_store->nowPlaying().playback() : std::nullopt;
    const std::optional<qint64> read = playback && playback->positionSeconds
        ? std::optional<qint64>(*playback->positionSeconds * microseconds)
        : std::nullopt;
    const bool jumped = read && m_anchorPosition && std::llabs(*read - positionMicroseconds()) > jumpMicroseconds;
    m_anchorPosition = read;
    m_playingAtAnchor = playback && SonosKit::isPlaying(playback->transportState);
    m_sinceAnchor.start();
    if (jumped && m_registered)
        Q_EMIT Seeked(*read);
}

void MprisService::transportEvented(bool trackChanged)
{
    if (!m_store || !m_store->nowPlaying().playback())
        return;
    const PlaybackState &playback = *m_store->nowPlaying().playback();
    // No event carries the position: a paused or stopped group holds it
    // where it got to, a playing one goes on from there, another track
    // starts from zero.
    if (trackChanged)
        m_anchorPosition = 0;
    else if (m_anchorPosition)
        m_anchorPosition = positionMicroseconds();
    m_playingAtAnchor = SonosKit::isPlaying(playback.transportState);
    m_sinceAnchor.start();
    if (trackChanged && m_registered)
        Q_EMIT Seeked(0);
}

void MprisService::noteChanged()
{
    // Everything that changed within one turn of the event loop goes out
    // as one signal.
    if (!m_announcing) {
        m_announcing = true;
        QTimer::singleShot(0, this, &MprisService::announceChanges);
    }
}

void MprisService::announceChanges()
{
    m_announcing = false;
    if (!m_registered)
        return;
    QVariantMap changed;
    const QString status = playbackStatus();
    if (status != m_lastStatus)
        changed.insert(QStringLiteral("PlaybackStatus"), m_lastStatus = status);
    const QVariantMap data = metadata();
    if (data != m_lastMetadata)
        changed.insert(QStringLiteral("Metadata"), m_lastMetadata = data);
    const double level = volume();
    if (level != m_lastVolume)
        changed.insert(QStringLiteral("Volume"), m_lastVolume = level);
    const QVariantMap able = abilities();
    for (auto it = able.cbegin(); it != able.cend(); ++it)
        if (m_lastAbilities.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    m_lastAbilities = able;
    const bool seekable = canSeek();
    if (seekable != m_lastCanSeek)
        changed.insert(QStringLiteral("CanSeek"), m_lastCanSeek = seekable);
    const bool shuffled = shuffle();
    if (shuffled != m_lastShuffle)
        changed.insert(QStringLiteral("Shuffle"), m_lastShuffle = shuffled);
    const QString loop = loopStatus();
    if (loop != m_lastLoopStatus)
        changed.insert(QStringLiteral("LoopStatus"), m_lastLoopStatus = loop);
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        objectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

// --- Commands ---------------------------------------------------------------

void MprisService::command(std::function<void()> action)
{
    if (!m_store)
        return;
    if (!m_store->household().groups().isEmpty()) {
        action();
        return;
    }
    // A desktop widget may ask before anything was found: the commands wait
    // for one search, however many arrive meanwhile.
    m_waitingCommands.append(std::move(action));
    if (m_waitingCommands.size() == 1)
        TaskGuard::start(searchThenRun(this, m_store));
}

QCoro::Task<void> MprisService::searchThenRun(QPointer<MprisService> self, QPointer<PlayerStore> store)
{
    co_await store->household().refresh();
    if (!self)
        co_return;
    const QList<std::function<void()>> commands = std::exchange(self->m_waitingCommands, {});
    for (const std::function<void()> &command : commands)
        command();
}

void MprisService::raise()
{
    Q_EMIT raiseRequested();
}

void MprisService::quit()
{
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}

void MprisService::next()
{
    command([store = m_store] {
        if (store)
            store->nowPlaying().next();
    });
}

void MprisService::previous()
{
    command([store = m_store] {
        if (store)
            store->nowPlaying().previous();
    });
}

void MprisService::play()
{
    command([store = m_store] {
        if (store)
            store->nowPlaying().play();
    });
}

void MprisService::pause()
{
    command([store = m_store] {
        if (store)
            store->nowPlaying().pause();
    });
}

void MprisService::playPause()
{
    command([store = m_store] {
        if (store)
            store->nowPlaying().togglePlayPause();
    });
}

void MprisService::stop()
{
    command([store = m_store] {
        if (store)
            store->nowPlaying().stop();
    });
}

void MprisService::seekBy(qint64 offsetMicroseconds)
{
    if (!canSeek())
        return;
    const qint64 target = std::max<qint64>(0, positionMicroseconds() + offsetMicroseconds);
    const qint64 length = m_store->nowPlaying().playback()->durationSeconds.value_or(0) * microseconds;
    // Past the end means the next track, as MPRIS clients expect.
    if (length > 0 && target >= length) {
        next();
        return;
    }
    const int seconds = int(target / microseconds);
    m_store->nowPlaying().seek(seconds);
    m_anchorPosition = qint64(seconds) * microseconds;
    m_sinceAnchor.start();
    Q_EMIT Seeked(*m_anchorPosition);
}

void MprisService::setPosition(const QDBusObjectPath &track, qint64 positionMicroseconds)
{
    if (!canSeek() || track != trackID() || positionMicroseconds < 0)
        return;
    const qint64 length = m_store->nowPlaying().playback()->durationSeconds.value_or(0) * microseconds;
    if (positionMicroseconds > length)
        return;
    const int seconds = int(positionMicroseconds / microseconds);
    m_store->nowPlaying().seek(seconds);
    m_anchorPosition = qint64(seconds) * microseconds;
    m_sinceAnchor.start();
    Q_EMIT Seeked(*m_anchorPosition);
}

void MprisService::setVolume(double level)
{
    if (!std::isfinite(level))
        return;
    const int volume = int(std::lround(std::clamp(level, 0.0, 1.0) * 100));
    command([store = m_store, volume] {
        if (store)
            store->nowPlaying().setGroupVolume(volume);
    });
}

void MprisService::setShuffle(bool on)
{
    // As the panel's disabled toggle: a source that allows no shuffle
    // (radio, an input) would only refuse it.
    command([store = m_store, on] {
        if (store && store->playModes().canShuffle())
            store->playModes().setShuffle(on);
    });
}

void MprisService::setLoopStatus(const QString &status)
{
    static const QHash<QString, PlayModes::Repeat> repeats{{QStringLiteral("None"), PlayModes::Repeat::Off},
        {QStringLiteral("Playlist"), PlayModes::Repeat::All}, {QStringLiteral("Track"), PlayModes::Repeat::One}};
    const auto repeat = repeats.constFind(status);
    if (repeat == repeats.cend())
        return;
    command([store = m_store, value = *repeat] {
        if (store && store->playModes().canRepeat())
            store->playModes().setRepeat(value);
    });
}

void MprisService::refuseOpenUri()
{
    if (calledFromDBus())
        sendErrorReply(QDBusError::NotSupported, QStringLiteral("Quillo plays what the household has saved; it opens no URIs."));
}
