// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Household.h"

#include "DefaultHousehold.h"
#include "HouseholdJson.h"
#include "HouseholdState.h"
#include "SecondHousehold.h"

namespace playersim {

Household::Household(HouseholdData data, const QString &firstAddress, quint16 port)
{
    try {
        d = std::make_unique<HouseholdState>(std::move(data), firstAddress, port);
    } catch (const std::invalid_argument &error) {
        throw HouseholdError(error.what());
    }
}

Household::~Household() = default;
Household::Household(Household &&) noexcept = default;
Household &Household::operator=(Household &&) noexcept = default;

Household Household::defaultHousehold(const QString &firstAddress, quint16 port)
{
    return Household(defaultHouseholdData(), firstAddress, port);
}

Household Household::secondHousehold(const QString &firstAddress, quint16 port)
{
    return Household(secondHouseholdData(), firstAddress, port);
}

Household Household::fromJson(const QByteArray &json, const QString &firstAddress, quint16 port)
{
    QString error;
    std::optional<HouseholdData> data = HouseholdJson::parse(json, &error);
    if (!data)
        throw HouseholdError(error.toStdString());
    return Household(std::move(*data), firstAddress, port);
}

Household Household::generate(const GeneratorOptions &options)
{
    return Household(generateHousehold(options), options.firstAddress, options.port);
}

QByteArray Household::toJson() const
{
    return HouseholdJson::serialize(data());
}

HouseholdData Household::data() const
{
    std::lock_guard lock(d->mutex);
    return d->snapshotLocked();
}

bool Household::start(QString *error)
{
    for (auto &player : d->players) {
        if (!player->server->start(error)) {
            stop();
            return false;
        }
    }
    return true;
}

void Household::stop()
{
    for (auto &player : d->players)
        player->server->stop();
}

QStringList Household::addresses() const
{
    QStringList list;
    for (const auto &player : d->players)
        list.append(player->address);
    return list;
}

QString Household::householdId() const
{
    return d->content.householdId; // never changes
}

QList<SsdpPlayer> Household::ssdpPlayers() const
{
    QList<SsdpPlayer> players;
    for (const auto &player : d->players) {
        const SimPlayerRecord &r = player->record;
        players.append(
            {player->address, r.uuid, QStringLiteral("ZP") + r.modelNumber, r.softwareVersion, d->content.householdId});
    }
    return players;
}

QList<DnssdPlayer> Household::dnssdPlayers() const
{
    QList<DnssdPlayer> players;
    for (const auto &player : d->players)
        players.append(
            {player->address, player->record.uuid, player->record.roomName, true, std::nullopt, d->content.householdId});
    return players;
}

quint16 Household::port() const
{
    return d->port;
}

int Household::indexOf(const QString &address) const
{
    const auto it = d->indexOfAddress.constFind(address);
    if (it == d->indexOfAddress.constEnd())
        throw std::out_of_range(QStringLiteral("no player at %1").arg(address).toStdString());
    return *it;
}

SimServer &Household::server(const QString &address)
{
    return *d->players[indexOf(address)]->server;
}

std::shared_ptr<RequestLog> Household::log() const
{
    return d->log;
}

QString Household::uuidOf(const QString &address) const
{
    return d->players[indexOf(address)]->record.uuid;
}

QString Household::roomOf(const QString &address) const
{
    return d->players[indexOf(address)]->record.roomName;
}

QString Household::addressOfRoom(const QString &room) const
{
    for (const auto &player : d->players)
        if (player->record.roomName == room && !player->record.invisible)
            return player->address;
    return {};
}

int Household::volume(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    return d->players[index]->volume;
}

bool Household::isMuted(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    return d->players[index]->muted;
}

QString Household::transportState(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    SimPlayer &group = d->coordinatorOfLocked(index);
    const auto now = SimTransport::Clock::now();
    group.transport.settle(group.queue, now);
    return group.transport.stateName(now);
}

qint64 Household::positionSeconds(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    SimPlayer &group = d->coordinatorOfLocked(index);
    const auto now = SimTransport::Clock::now();
    group.transport.settle(group.queue, now);
    return group.transport.positionMilliseconds(now) / 1000;
}

int Household::trackNumber(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    SimPlayer &group = d->coordinatorOfLocked(index);
    group.transport.settle(group.queue, SimTransport::Clock::now());
    return group.transport.trackNumber();
}

QString Household::currentURI(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    return d->coordinatorOfLocked(index).transport.uri();
}

QStringList Household::queueTitles(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    QStringList titles;
    for (const SimTrack &track : d->coordinatorOfLocked(index).queue)
        titles.append(track.title);
    return titles;
}

QStringList Household::queueURIs(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    QStringList uris;
    for (const SimTrack &track : d->coordinatorOfLocked(index).queue)
        uris.append(track.uri);
    return uris;
}

QList<GroupSnapshot> Household::groups() const
{
    std::lock_guard lock(d->mutex);
    QList<GroupSnapshot> groups;
    for (const auto &coordinator : d->players) {
        if (!coordinator->isCoordinator())
            continue;
        GroupSnapshot group{coordinator->address, {coordinator->address}};
        for (const auto &member : d->players)
            if (member != coordinator && member->coordinator == coordinator->record.uuid)
                group.members.append(member->address);
        groups.append(group);
    }
    return groups;
}

QList<SimFavorite> Household::favorites() const
{
    std::lock_guard lock(d->mutex);
    return d->content.favorites;
}

QList<SimPlaylist> Household::playlists() const
{
    std::lock_guard lock(d->mutex);
    return d->content.playlists;
}

QString Household::zoneGroupState() const
{
    std::lock_guard lock(d->mutex);
    return d->zoneGroupStateLocked();
}

void Household::setVolume(const QString &address, int volume)
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    d->players[index]->volume = std::clamp(volume, 0, 100);
    d->publishChangesLocked();
}

void Household::setMuted(const QString &address, bool muted)
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    d->players[index]->muted = muted;
    d->publishChangesLocked();
}

bool Household::join(const QString &address, const QString &coordinatorAddress)
{
    const int index = indexOf(address);
    const int target = indexOf(coordinatorAddress);
    std::lock_guard lock(d->mutex);
    const bool joined = !d->joinLocked(index, d->players[target]->record.uuid);
    d->publishChangesLocked();
    return joined;
}

bool Household::leave(const QString &address)
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    const bool left = !d->leaveLocked(index);
    d->publishChangesLocked();
    return left;
}

void Household::setServiceAuthorized(int serviceId, bool authorized)
{
    std::lock_guard lock(d->mutex);
    for (SimService &service : d->content.services)
        if (service.id == serviceId)
            service.authorized = authorized;
}

void Household::setTopologyForm(TopologyForm form)
{
    std::lock_guard lock(d->mutex);
    d->content.topologyForm = form;
}

} // namespace playersim

namespace playersim {

void Household::nextTrackAfter(const QString &address, std::chrono::milliseconds delay)
{
    d->nextTrackLater(indexOf(address), delay);
}

void Household::setDropNotifications(bool drop)
{
    d->events->setDropNotifications(drop);
}

void Household::setRefuseRenewals(bool refuse)
{
    d->events->setRefuseRenewals(refuse);
}

void Household::setRefuseSubscriptionsTo(const QString &path)
{
    d->events->setRefusedPath(path);
}

void Household::restartPlayer(const QString &address)
{
    d->events->forgetPlayer(indexOf(address));
}

void Household::setSilent(const QString &address, bool silent)
{
    const int index = indexOf(address);
    server(address).setSilent(silent);
    d->events->setSilent(index, silent);
    if (!silent)
        d->events->forgetPlayer(index);
}

void Household::setRefuseGrouping(bool refuse)
{
    std::lock_guard lock(d->mutex);
    d->refuseGrouping = refuse;
}

int Household::subscriptionCount() const
{
    return d->events->subscriptionCount();
}

void Household::setFavorites(QList<SimFavorite> favorites)
{
    std::lock_guard lock(d->mutex);
    d->content.favorites = std::move(favorites);
    ++d->favoritesUpdateId;
    d->publishChangesLocked();
}

void Household::setPlaylists(QList<SimPlaylist> playlists)
{
    std::lock_guard lock(d->mutex);
    d->content.playlists = std::move(playlists);
    ++d->playlistsUpdateId;
    d->publishChangesLocked();
}

void Household::setQueue(const QString &address, QList<SimTrack> tracks)
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    SimPlayer &group = d->coordinatorOfLocked(index);
    group.queue = std::move(tracks);
    ++group.queueUpdateId;
    const SimTransport::Source source = group.transport.source();
    if (source == SimTransport::Source::none || source == SimTransport::Source::queue) {
        if (group.queue.isEmpty())
            group.transport.queueCleared();
        else
            group.transport.loadQueue(group.queueURI());
    }
    d->publishChangesLocked();
}

quint32 Household::queueUpdateId(const QString &address) const
{
    const int index = indexOf(address);
    std::lock_guard lock(d->mutex);
    return d->coordinatorOfLocked(index).queueUpdateId;
}

QList<std::pair<QString, int>> Household::notificationAnswers() const
{
    return d->events->deliveries();
}

} // namespace playersim
