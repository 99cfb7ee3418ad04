// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "HouseholdState.h"

#include "Artwork.h"
#include "Didl.h"
#include "LoopbackAddresses.h"
#include "SoapMessages.h"

#include <QUrlQuery>

#include <stdexcept>

namespace playersim {

namespace {

// The service of a SOAPAction URN: "AVTransport" of
// "urn:schemas-upnp-org:service:AVTransport:1", and of the serviceId form
// "urn:upnp-org:serviceId:AVTransport" that players accept as well.
QString serviceTypeOf(const SoapCall &call)
{
    QStringList parts = call.serviceUrn.split(QLatin1Char(':'));
    bool numeric = false;
    if (!parts.isEmpty())
        parts.last().toInt(&numeric);
    if (numeric)
        parts.removeLast();
    return parts.isEmpty() ? QString() : parts.last();
}

// What a player answers to a join or leave it cannot carry out.
constexpr int groupingRefusedFault = 800;

QString attribute(const QString &name, const QString &value)
{
    return QLatin1Char(' ') + name + QStringLiteral("=\"") + Didl::escapeAttribute(value) + QLatin1Char('"');
}

} // namespace

HouseholdState::HouseholdState(HouseholdData data, const QString &firstAddress, quint16 port)
    : content(std::move(data))
    , port(port)
{
    for (int i = 0; i < content.players.size(); ++i) {
        const SimPlayerRecord &record = content.players.at(i);
        const std::optional<QString> address = loopbackAddress(firstAddress, i);
        if (!address)
            throw std::invalid_argument(
                QStringLiteral("no loopback address %1 places after %2").arg(i).arg(firstAddress).toStdString());
        auto player = std::make_unique<SimPlayer>();
        player->record = record;
        player->address = *address;
        player->coordinator = record.uuid;
        player->volume = std::clamp(record.volume, 0, 100);
        player->muted = record.muted;
        player->queue = record.queue;
        indexOfUuid.insert(record.uuid, i);
        indexOfAddress.insert(*address, i);
        players.push_back(std::move(player));
    }
    for (const SimGroupRecord &group : std::as_const(content.groups))
        for (const QString &member : group.members)
            if (indexOfUuid.contains(member) && indexOfUuid.contains(group.coordinator))
                players[indexOfUuid.value(member)]->coordinator = group.coordinator;
    // A satellite always plays where the player it is bonded to plays.
    for (auto &player : players) {
        if (!player->record.bondedTo.isEmpty() && indexOfUuid.contains(player->record.bondedTo))
            player->coordinator = players[indexOfUuid.value(player->record.bondedTo)]->coordinator;
    }
    for (auto &player : players) {
        if (player->isCoordinator() && !player->queue.isEmpty())
            player->transport.loadQueue(player->queueURI());
    }
    events = std::make_unique<EventPublisher>([this] {
        std::lock_guard lock(mutex);
        publishChangesLocked();
    });
    for (int i = 0; i < int(players.size()); ++i) {
        SimPlayer &player = *players[i];
        player.server = std::make_unique<SimServer>(player.address, port, log);
        player.server->setServerHeader(QStringLiteral("Linux UPnP/1.0 Sonos/%1 (ZP%2)")
                                           .arg(player.record.softwareVersion, player.record.modelNumber)
                                           .toUtf8());
        player.server->setSoapHandler([this, i](const SoapCall &call) { return answer(i, call); });
        player.server->setGetHandler(
            [this, i](const QByteArray &path, const QByteArray &query) { return answerGet(i, path, query); });
        player.server->setEventHandler([this, i](const EventRequest &request) { return answerEvent(i, request); });
    }
}

HouseholdState::~HouseholdState()
{
    // The servers' threads and the event thread call into this object: they
    // go first.
    for (auto &player : players)
        player->server->stop();
    events->stop();
}

SimPlayer &HouseholdState::coordinatorOfLocked(int player)
{
    SimPlayer &self = *players[player];
    const int index = indexOfUuid.value(self.coordinator, player);
    return *players[index];
}

QString HouseholdState::groupIdLocked(const SimPlayer &coordinator) const
{
    return coordinator.record.uuid + QLatin1Char(':') + QString::number(coordinator.groupSerial);
}

void HouseholdState::handOverLocked(SimPlayer &leaving)
{
    // Whoever stays behind keeps playing: the first remaining visible member
    // takes over the transport and the queue, as players hand a group over.
    SimPlayer *heir = nullptr;
    for (auto &player : players) {
        if (player.get() == &leaving || player->coordinator != leaving.record.uuid
            || player->record.bondedTo == leaving.record.uuid)
            continue;
        if (!heir && !player->record.invisible && player->record.bondedTo.isEmpty())
            heir = player.get();
    }
    if (!heir)
        return;
    heir->transport = leaving.transport;
    heir->queue = leaving.queue;
    // A version no controller of either queue has seen yet.
    heir->queueUpdateId = std::max(heir->queueUpdateId, leaving.queueUpdateId) + 1;
    // Same position and play state; only the queue's owner changes.
    heir->transport.renameQueue(heir->queueURI());
    ++heir->groupSerial;
    for (auto &player : players)
        if (player.get() != &leaving && player->coordinator == leaving.record.uuid
            && player->record.bondedTo != leaving.record.uuid)
            player->coordinator = heir->record.uuid;
}

std::optional<int> HouseholdState::joinLocked(int index, const QString &coordinatorUuid)
{
    SimPlayer &player = *players[index];
    // A satellite moves with the player it is bonded to, never alone.
    if (refuseGrouping || !player.record.bondedTo.isEmpty())
        return groupingRefusedFault;
    if (!indexOfUuid.contains(coordinatorUuid))
        return 402;
    const QString target = players[indexOfUuid.value(coordinatorUuid)]->coordinator;
    if (target == player.coordinator)
        return std::nullopt;
    const QString previous = player.coordinator;
    if (player.isCoordinator())
        handOverLocked(player);
    else
        ++players[indexOfUuid.value(previous)]->groupSerial;
    player.transport.unload();
    player.coordinator = target;
    for (auto &satellite : players)
        if (satellite->record.bondedTo == player.record.uuid)
            satellite->coordinator = target;
    ++players[indexOfUuid.value(target)]->groupSerial;
    return std::nullopt;
}

std::optional<int> HouseholdState::leaveLocked(int index)
{
    SimPlayer &player = *players[index];
    // A satellite moves with the player it is bonded to, never alone.
    if (refuseGrouping || !player.record.bondedTo.isEmpty())
        return groupingRefusedFault;
    bool hasOthers = false;
    for (auto &other : players)
        if (other.get() != &player && other->coordinator == player.coordinator && other->record.bondedTo != player.record.uuid)
            hasOthers = true;
    if (!hasOthers)
        return std::nullopt;
    if (player.isCoordinator()) {
        handOverLocked(player);
        // A TV refuses Stop; leaving ends it all the same.
        if (player.transport.stop())
            player.transport.unload();
    } else {
        ++players[indexOfUuid.value(player.coordinator)]->groupSerial;
        player.coordinator = player.record.uuid;
        for (auto &satellite : players)
            if (satellite->record.bondedTo == player.record.uuid)
                satellite->coordinator = player.record.uuid;
        if (player.queue.isEmpty())
            player.transport.unload();
        else
            player.transport.loadQueue(player.queueURI());
    }
    ++player.groupSerial;
    return std::nullopt;
}

QString HouseholdState::zoneGroupStateLocked() const
{
    QString groups = QStringLiteral("<ZoneGroups>");
    for (const auto &coordinator : players) {
        if (!coordinator->isCoordinator())
            continue;
        groups += QStringLiteral("<ZoneGroup") + attribute(QStringLiteral("Coordinator"), coordinator->record.uuid)
            + attribute(QStringLiteral("ID"), groupIdLocked(*coordinator)) + QLatin1Char('>');
        QList<const SimPlayer *> members{coordinator.get()};
        for (const auto &member : players)
            if (member.get() != coordinator.get() && member->coordinator == coordinator->record.uuid)
                members.append(member.get());
        for (const SimPlayer *member : std::as_const(members)) {
            groups += QStringLiteral("<ZoneGroupMember") + attribute(QStringLiteral("UUID"), member->record.uuid)
                + attribute(QStringLiteral("Location"),
                    QStringLiteral("http://%1:%2/xml/device_description.xml").arg(member->address).arg(port))
                + attribute(QStringLiteral("ZoneName"), member->record.roomName)
                + attribute(QStringLiteral("Icon"), QStringLiteral("x-rincon-roomicon:living"))
                + attribute(QStringLiteral("Configuration"), QStringLiteral("1"))
                + attribute(QStringLiteral("SoftwareVersion"), member->record.softwareVersion)
                + attribute(QStringLiteral("SWGen"), QString::number(content.softwareGeneration))
                + attribute(QStringLiteral("MinCompatibleVersion"),
                    content.softwareGeneration == 1 ? QStringLiteral("55.0-00000") : QStringLiteral("78.0-00000"))
                + attribute(QStringLiteral("LegacyCompatibleVersion"),
                    content.softwareGeneration == 1 ? QStringLiteral("36.0-00000") : QStringLiteral("58.0-00000"))
                + attribute(QStringLiteral("BootSeq"), QStringLiteral("42"))
                + attribute(QStringLiteral("TVConfigurationError"), QStringLiteral("0"))
                + attribute(QStringLiteral("HdmiCecAvailable"), QStringLiteral("0"))
                + attribute(QStringLiteral("WirelessMode"), QStringLiteral("0"))
                + attribute(QStringLiteral("WirelessLeafOnly"), QStringLiteral("0"))
                + attribute(QStringLiteral("ChannelFreq"), QStringLiteral("2437"))
                + attribute(QStringLiteral("BehindWifiExtender"), QStringLiteral("0"))
                + attribute(QStringLiteral("WifiEnabled"), QStringLiteral("1"))
                + attribute(QStringLiteral("EthLink"), QStringLiteral("0"))
                + attribute(QStringLiteral("Orientation"), QStringLiteral("0"))
                + attribute(QStringLiteral("RoomCalibrationStatus"), QStringLiteral("4"))
                + attribute(QStringLiteral("SecureRegState"), QStringLiteral("3"))
                + attribute(QStringLiteral("VoiceConfigState"), QStringLiteral("0"))
                + attribute(QStringLiteral("MicEnabled"), QStringLiteral("0"))
                + attribute(QStringLiteral("AirPlayEnabled"), QStringLiteral("1"))
                + attribute(QStringLiteral("IdleState"), QStringLiteral("1")) + attribute(QStringLiteral("MoreInfo"), QString());
            if (member->record.invisible)
                groups += attribute(QStringLiteral("Invisible"), QStringLiteral("1"));
            groups += attribute(QStringLiteral("SSLPort"), QStringLiteral("1443"))
                + attribute(QStringLiteral("HHSSLPort"), QStringLiteral("1843")) + QStringLiteral("/>");
        }
        groups += QStringLiteral("</ZoneGroup>");
    }
    groups += QStringLiteral("</ZoneGroups>");
    if (content.topologyForm == TopologyForm::legacy)
        return groups;
    return QStringLiteral("<ZoneGroupState>") + groups + QStringLiteral("<VanishedDevices></VanishedDevices></ZoneGroupState>");
}

HouseholdData HouseholdState::snapshotLocked() const
{
    HouseholdData data = content;
    data.players.clear();
    data.groups.clear();
    for (const auto &player : players) {
        SimPlayerRecord record = player->record;
        record.volume = player->volume;
        record.muted = player->muted;
        record.queue = player->queue;
        data.players.append(record);
        if (!player->isCoordinator())
            continue;
        SimGroupRecord group{player->record.uuid, {player->record.uuid}};
        for (const auto &member : players)
            if (member.get() != player.get() && member->coordinator == player->record.uuid)
                group.members.append(member->record.uuid);
        data.groups.append(group);
    }
    return data;
}

std::optional<int> HouseholdState::serviceIdOf(const QString &uri, const QString &metadata) const
{
    const qsizetype question = uri.indexOf(QLatin1Char('?'));
    if (question >= 0) {
        const QUrlQuery query(uri.mid(question + 1));
        bool ok = false;
        const int sid = query.queryItemValue(QStringLiteral("sid")).toInt(&ok);
        if (ok)
            return sid;
    }
    const qsizetype token = metadata.indexOf(QStringLiteral("SA_RINCON"));
    if (token >= 0) {
        qsizetype end = token + 9;
        while (end < metadata.size() && metadata.at(end).isDigit())
            ++end;
        bool ok = false;
        const qint64 n = metadata.mid(token + 9, end - token - 9).toLongLong(&ok);
        if (ok && n >= 7 && n % 256 == 7)
            return int((n - 7) / 256);
    }
    return std::nullopt;
}

bool HouseholdState::isAuthorizedLocked(const std::optional<SimTrack> &track, const QString &metadata) const
{
    if (!track)
        return true;
    const std::optional<int> sid = serviceIdOf(track->uri, metadata);
    if (!sid)
        return true;
    for (const SimService &service : content.services)
        if (service.id == *sid)
            return service.authorized;
    return true;
}

Answer HouseholdState::answer(int player, const SoapCall &call)
{
    // Players serve each service on its own control path and nowhere else:
    // answering by the SOAPAction alone would hide a client that posts to the
    // wrong path.
    static const QHash<QString, QString> serviceOfPath{
        {QStringLiteral("/MediaRenderer/AVTransport/Control"), QStringLiteral("AVTransport")},
        {QStringLiteral("/MediaRenderer/RenderingControl/Control"), QStringLiteral("RenderingControl")},
        {QStringLiteral("/MediaRenderer/GroupRenderingControl/Control"), QStringLiteral("GroupRenderingControl")},
        {QStringLiteral("/MediaServer/ContentDirectory/Control"), QStringLiteral("ContentDirectory")},
        {QStringLiteral("/ZoneGroupTopology/Control"), QStringLiteral("ZoneGroupTopology")},
        {QStringLiteral("/MusicServices/Control"), QStringLiteral("MusicServices")},
        {QStringLiteral("/DeviceProperties/Control"), QStringLiteral("DeviceProperties")},
        // Listed for its events; every action is refused.
        {QStringLiteral("/MediaRenderer/Queue/Control"), QStringLiteral("Queue")},
    };
    const auto served = serviceOfPath.constFind(call.controlPath);
    if (served == serviceOfPath.constEnd())
        return Answer{404, "<html><body><h1>404 Not Found</h1></body></html>", "text/html", {}};
    std::lock_guard lock(mutex);
    const QString service = serviceTypeOf(call);
    if (service != *served)
        return soapFault(401, QStringLiteral("Invalid Action"));
    Answer answered = soapFault(401);
    if (service == u"ZoneGroupTopology")
        return answerTopology(player, call);
    if (service == u"MusicServices")
        return answerMusicServices(call);
    if (service == u"ContentDirectory")
        answered = answerContentDirectory(player, call);
    else if (service == u"AVTransport")
        answered = answerTransport(player, call);
    else if (service == u"RenderingControl")
        answered = answerRendering(player, call);
    else if (service == u"GroupRenderingControl")
        answered = answerGroupRendering(player, call);
    else if (service == u"DeviceProperties")
        return answerDeviceProperties(player, call);
    publishChangesLocked();
    return answered;
}

Answer HouseholdState::answerTopology(int player, const SoapCall &call)
{
    const QString urn = QStringLiteral("urn:schemas-upnp-org:service:ZoneGroupTopology:1");
    if (call.action == u"GetZoneGroupState")
        return soapResponse(urn, call.action, {{QStringLiteral("ZoneGroupState"), zoneGroupStateLocked()}});
    if (call.action == u"GetZoneGroupAttributes") {
        SimPlayer &coordinator = coordinatorOfLocked(player);
        QStringList members;
        for (const auto &member : players)
            if (member->coordinator == coordinator.record.uuid)
                members.append(member->record.uuid);
        return soapResponse(urn, call.action,
            {{QStringLiteral("CurrentZoneGroupName"), coordinator.record.roomName},
                {QStringLiteral("CurrentZoneGroupID"), groupIdLocked(coordinator)},
                {QStringLiteral("CurrentZonePlayerUUIDsInGroup"), members.join(QLatin1Char(','))},
                {QStringLiteral("CurrentMuseHouseholdId"), content.householdId + QStringLiteral(".0")}});
    }
    return soapFault(401);
}

Answer HouseholdState::answerDeviceProperties(int player, const SoapCall &call)
{
    const QString urn = QStringLiteral("urn:schemas-upnp-org:service:DeviceProperties:1");
    const SimPlayer &self = *players[player];
    if (call.action == u"GetHouseholdID")
        return soapResponse(urn, call.action, {{QStringLiteral("CurrentHouseholdID"), content.householdId}});
    if (call.action == u"GetZoneAttributes")
        return soapResponse(urn, call.action,
            {{QStringLiteral("CurrentZoneName"), self.record.roomName},
                {QStringLiteral("CurrentIcon"), QStringLiteral("x-rincon-roomicon:living")},
                {QStringLiteral("CurrentConfiguration"), QStringLiteral("1")},
                {QStringLiteral("CurrentTargetRoomName"), self.record.roomName}});
    return soapFault(401);
}

std::optional<Answer> HouseholdState::answerGet(int player, const QByteArray &path, const QByteArray &query)
{
    if (path == "/getaa")
        return Answer{200, artworkPng(query), "image/png", {}};
    if (path == "/xml/device_description.xml") {
        std::lock_guard lock(mutex);
        return Answer{200, deviceDescriptionLocked(*players[player]).toUtf8(), "text/xml", {}};
    }
    return std::nullopt;
}

QString HouseholdState::deviceDescriptionLocked(const SimPlayer &player) const
{
    const SimPlayerRecord &r = player.record;
    auto element = [](const QString &name, const QString &value) {
        return QLatin1Char('<') + name + QLatin1Char('>') + escapeText(value) + QStringLiteral("</") + name + QLatin1Char('>');
    };
    auto service = [&](const QString &type, const QString &path) {
        return QStringLiteral("<service>")
            + element(QStringLiteral("serviceType"), QStringLiteral("urn:schemas-upnp-org:service:%1:1").arg(type))
            + element(QStringLiteral("serviceId"), QStringLiteral("urn:upnp-org:serviceId:") + type)
            + element(QStringLiteral("controlURL"), path + QStringLiteral("/Control"))
            + element(QStringLiteral("eventSubURL"), path + QStringLiteral("/Event"))
            + element(QStringLiteral("SCPDURL"), QStringLiteral("/xml/%1%2.xml").arg(type).arg(1)) + QStringLiteral("</service>");
    };
    // Sonos's own services carry its URNs.
    auto sonosService = [&](const QString &type, const QString &path) {
        return QStringLiteral("<service>")
            + element(QStringLiteral("serviceType"), QStringLiteral("urn:schemas-sonos-com:service:%1:1").arg(type))
            + element(QStringLiteral("serviceId"), QStringLiteral("urn:sonos-com:serviceId:") + type)
            + element(QStringLiteral("controlURL"), path + QStringLiteral("/Control"))
            + element(QStringLiteral("eventSubURL"), path + QStringLiteral("/Event"))
            + element(QStringLiteral("SCPDURL"), QStringLiteral("/xml/%1%2.xml").arg(type).arg(1)) + QStringLiteral("</service>");
    };
    const QString mac = r.uuid.mid(7, 12);
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<root xmlns=\"urn:schemas-upnp-org:device-1-0\">"
                                 "<specVersion><major>1</major><minor>0</minor></specVersion><device>");
    xml += element(QStringLiteral("deviceType"), QStringLiteral("urn:schemas-upnp-org:device:ZonePlayer:1"));
    xml += element(QStringLiteral("friendlyName"), QStringLiteral("%1 - %2 - %3").arg(player.address, r.modelName, r.uuid));
    xml += element(QStringLiteral("manufacturer"), QStringLiteral("Sonos, Inc."));
    xml += element(QStringLiteral("manufacturerURL"), QStringLiteral("http://www.sonos.com"));
    xml += element(QStringLiteral("modelNumber"), r.modelNumber);
    xml += element(QStringLiteral("modelDescription"), r.modelName);
    xml += element(QStringLiteral("modelName"), r.modelName);
    xml += element(QStringLiteral("modelURL"), QStringLiteral("http://www.sonos.com/products/zoneplayers/") + r.modelNumber);
    xml += element(QStringLiteral("softwareVersion"), r.softwareVersion);
    xml += element(QStringLiteral("swGen"), QString::number(content.softwareGeneration));
    xml += element(QStringLiteral("hardwareVersion"), QStringLiteral("1.26.1.6-2.2"));
    xml += element(QStringLiteral("serialNum"), QStringLiteral("%1:A").arg(mac));
    xml += element(QStringLiteral("MACAddress"), mac);
    xml += element(QStringLiteral("UDN"), QStringLiteral("uuid:") + r.uuid);
    xml += element(QStringLiteral("roomName"), r.roomName);
    xml += element(QStringLiteral("displayName"), r.modelName.section(QLatin1Char(' '), 1));
    xml += element(QStringLiteral("zoneType"), QStringLiteral("25"));
    xml += element(QStringLiteral("feature1"), QStringLiteral("0x00000000"));
    xml += QStringLiteral("<serviceList>") + service(QStringLiteral("AlarmClock"), QStringLiteral("/AlarmClock"))
        + service(QStringLiteral("MusicServices"), QStringLiteral("/MusicServices"))
        + service(QStringLiteral("DeviceProperties"), QStringLiteral("/DeviceProperties"))
        + service(QStringLiteral("ZoneGroupTopology"), QStringLiteral("/ZoneGroupTopology"));
    // Players list their inputs' services beside the others.
    if (r.lineIn)
        xml += service(QStringLiteral("AudioIn"), QStringLiteral("/AudioIn"));
    if (r.tv)
        xml += service(QStringLiteral("HTControl"), QStringLiteral("/HTControl"));
    xml += QStringLiteral("</serviceList>");
    xml += QStringLiteral("<deviceList><device>")
        + element(QStringLiteral("deviceType"), QStringLiteral("urn:schemas-upnp-org:device:MediaServer:1"))
        + element(QStringLiteral("UDN"), QStringLiteral("uuid:%1_MS").arg(r.uuid)) + QStringLiteral("<serviceList>")
        + service(QStringLiteral("ContentDirectory"), QStringLiteral("/MediaServer/ContentDirectory"))
        + QStringLiteral("</serviceList></device><device>")
        + element(QStringLiteral("deviceType"), QStringLiteral("urn:schemas-upnp-org:device:MediaRenderer:1"))
        + element(QStringLiteral("UDN"), QStringLiteral("uuid:%1_MR").arg(r.uuid)) + QStringLiteral("<serviceList>")
        + service(QStringLiteral("RenderingControl"), QStringLiteral("/MediaRenderer/RenderingControl"))
        + service(QStringLiteral("AVTransport"), QStringLiteral("/MediaRenderer/AVTransport"))
        + service(QStringLiteral("GroupRenderingControl"), QStringLiteral("/MediaRenderer/GroupRenderingControl"))
        + sonosService(QStringLiteral("Queue"), QStringLiteral("/MediaRenderer/Queue"))
        + QStringLiteral("</serviceList></device></deviceList>");
    return xml + QStringLiteral("</device></root>");
}

} // namespace playersim
