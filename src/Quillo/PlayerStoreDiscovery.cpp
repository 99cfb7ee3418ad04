// Finding the household's players and keeping the group list current.
#include "PlayerStore.h"

#include "SonosKit/SonosError.h"
#include "SonosKit/ZoneTopology.h"

using SonosKit::SonosError;
using SonosKit::ZoneGroup;

QCoro::Task<QList<ZoneGroup>> PlayerStore::discoverGroups()
{
    // A typed address wins over everything and is never followed by a
    // search; so is the last player that answered, until it fails once.
    if (m_manualHost && !m_manualHost->isEmpty())
        co_return co_await SonosKit::ZoneTopology(*m_manualHost).groups(m_lifetime.token());
    if (m_knownHost)
        co_return co_await SonosKit::ZoneTopology(*m_knownHost).groups(m_lifetime.token());
    co_return co_await m_environment.findHousehold(m_environment.householdSearchTimeout);
}

QCoro::Task<void> PlayerStore::refreshTopology()
{
    const Lifetime::Watch watch = m_lifetime.watch();
    if (groups().isEmpty())
        setStatus(Status::searching());

    QList<ZoneGroup> found;
    std::optional<SonosError> sonosFailure;
    bool failed = false;
    try {
        found = co_await discoverGroups();
    } catch (const SonosError &error) {
        failed = true;
        sonosFailure = error;
    } catch (...) {
        failed = true;
    }
    if (watch.ended())
        co_return;

    if (!failed) {
        setGroups(found);
        m_knownHost = found.isEmpty() ? std::nullopt : std::optional<QString>(found.front().coordinator.host);
        setStatus(found.isEmpty() ? Status::noPlayersFound() : Status::ready());
        if (!m_selectedRoomName)
            setSelectedRoomName(found.isEmpty() ? std::nullopt : std::optional<QString>(found.front().coordinator.roomName));
        co_return;
    }

    // The group list stays as it was: a player that briefly stops answering
    // does not empty the panel. The reason is shown only for a typed address.
    m_knownHost.reset();
    if (sonosFailure && sonosFailure->kind() == SonosError::Kind::noPlayersFound)
        setStatus(Status::noPlayersFound());
    else if (sonosFailure && m_manualHost)
        setStatus(Status::failed(sonosFailure->errorDescription()));
    else
        setStatus(Status::noPlayersFound());
}

void PlayerStore::retryDiscovery(const QVariant &host)
{
    if (!host.isValid() || host.isNull())
        retryDiscovery(std::optional<QString>());
    else
        retryDiscovery(std::optional<QString>(host.toString()));
}

void PlayerStore::retryDiscovery(std::optional<QString> host)
{
    std::optional<QString> address;
    if (host) {
        // Spaces and tabs only: a line break is no blank here.
        const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
        QStringView text(*host);
        while (!text.isEmpty() && isBlank(text.front()))
            text = text.mid(1);
        while (!text.isEmpty() && isBlank(text.back()))
            text.chop(1);
        if (!text.isEmpty())
            address = text.toString();
    }
    setManualHost(address);
    m_knownHost.reset();
    setGroups({});
    setFavorites({});
    retryTask();
}

QCoro::Task<void> PlayerStore::retryTask()
{
    const Lifetime::Watch watch = m_lifetime.watch();
    co_await refreshTopology();
    if (watch.ended())
        co_return;
    co_await loadFavorites(true);
}
