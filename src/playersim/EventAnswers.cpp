// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Events: the subscriptions on each player's event URLs and the bodies of
// the NOTIFYs they get, sent whenever what a body would say has changed.

#include "Didl.h"
#include "HouseholdState.h"
#include "SoapMessages.h"

namespace playersim {

namespace {

const QString transportPath = QStringLiteral("/MediaRenderer/AVTransport/Event");
const QString renderingPath = QStringLiteral("/MediaRenderer/RenderingControl/Event");
const QString groupRenderingPath = QStringLiteral("/MediaRenderer/GroupRenderingControl/Event");
const QString topologyPath = QStringLiteral("/ZoneGroupTopology/Event");
const QString contentPath = QStringLiteral("/MediaServer/ContentDirectory/Event");
const QString queuePath = QStringLiteral("/MediaRenderer/Queue/Event");
const QString alarmPath = QStringLiteral("/AlarmClock/Event");

const QStringList &eventPaths()
{
    static const QStringList paths{
        transportPath, renderingPath, groupRenderingPath, topologyPath, contentPath, queuePath, alarmPath};
    return paths;
}

QString variable(const QString &name, const QString &value)
{
    return QLatin1Char('<') + name + QStringLiteral(" val=\"") + Didl::escapeAttribute(value) + QStringLiteral("\"/>");
}

QString channelVariable(const QString &name, const QString &channel, const QString &value)
{
    return QLatin1Char('<') + name + QStringLiteral(" channel=\"") + channel + QStringLiteral("\" val=\"")
        + Didl::escapeAttribute(value) + QStringLiteral("\"/>");
}

QString lastChange(const QString &metadataNamespace, const QString &variables)
{
    return QStringLiteral("<Event xmlns=\"urn:schemas-upnp-org:metadata-1-0/") + metadataNamespace
        + QStringLiteral("/\"><InstanceID val=\"0\">") + variables + QStringLiteral("</InstanceID></Event>");
}

QByteArray propertySet(const Arguments &properties)
{
    QString body = QStringLiteral("<e:propertyset xmlns:e=\"urn:schemas-upnp-org:event-1-0\">");
    for (const auto &[name, value] : properties)
        body += QStringLiteral("<e:property><") + name + QLatin1Char('>') + escapeText(value) + QStringLiteral("</") + name
            + QStringLiteral("></e:property>");
    body += QStringLiteral("</e:propertyset>");
    return body.toUtf8();
}

} // namespace

Answer HouseholdState::answerEvent(int index, const EventRequest &request)
{
    const QString path = QString::fromUtf8(request.path);
    if (!eventPaths().contains(path))
        return Answer{404, {}, {}, {}};
    std::lock_guard lock(mutex);
    const SimPlayer &player = *players[index];
    const EventPublisher::Outcome outcome = events->handle(index, player.address, player.record.uuid, request);
    if (outcome.created) {
        // The first event holds everything, whatever was sent before.
        const QByteArray body = eventBodyLocked(index, path);
        lastPublished.insert({index, path}, body);
        events->publishTo(*outcome.created, body);
    }
    return outcome.answer;
}

QByteArray HouseholdState::eventBodyLocked(int index, const QString &path)
{
    SimPlayer &self = *players[index];
    if (path == transportPath) {
        SimPlayer &group = coordinatorOfLocked(index);
        const auto now = Clock::now();
        group.transport.settle(group.queue, now);
        const SimTransport &transport = group.transport;
        const std::optional<SimTrack> track = transport.currentTrack(group.queue);
        QString duration = QStringLiteral("0:00:00");
        QString metadata;
        if (track) {
            duration = track->isStream() ? QStringLiteral("NOT_IMPLEMENTED") : Didl::duration(track->durationSeconds);
            if (!track->isStream())
                metadata = Didl::document(Didl::trackItem(*track, QStringLiteral("-1"), QStringLiteral("-1")));
        }
        QString uri = transport.uri();
        QString uriMetadata = transport.uriMetadata();
        if (!self.isCoordinator()) {
            uri = QStringLiteral("x-rincon:") + group.record.uuid;
            uriMetadata.clear();
        }
        const int tracks = transport.source() == SimTransport::Source::queue
            ? int(group.queue.size())
            : (transport.source() == SimTransport::Source::none ? 0 : 1);
        const QString variables = variable(QStringLiteral("TransportState"), transport.stateName(now))
            + variable(QStringLiteral("CurrentPlayMode"), transport.playMode())
            + variable(QStringLiteral("CurrentCrossfadeMode"), transport.crossfade() ? QStringLiteral("1") : QStringLiteral("0"))
            + variable(QStringLiteral("CurrentValidPlayModes"), transport.validPlayModes())
            + variable(QStringLiteral("NumberOfTracks"), QString::number(tracks))
            + variable(QStringLiteral("CurrentTrack"), QString::number(track ? transport.trackNumber() : 0))
            + variable(QStringLiteral("CurrentSection"), QStringLiteral("0"))
            + variable(QStringLiteral("CurrentTrackURI"), track ? track->uri : QString())
            + variable(QStringLiteral("CurrentTrackDuration"), duration)
            + variable(QStringLiteral("CurrentTrackMetaData"), metadata) + variable(QStringLiteral("AVTransportURI"), uri)
            + variable(QStringLiteral("AVTransportURIMetaData"), uriMetadata)
            + variable(QStringLiteral("CurrentTransportActions"), transport.actions())
            + variable(QStringLiteral("SleepTimerGeneration"), QString::number(transport.sleepGeneration()))
            + variable(QStringLiteral("QueueUpdateID"), QString::number(group.queueUpdateId));
        return propertySet({{QStringLiteral("LastChange"), lastChange(QStringLiteral("AVT"), variables)}});
    }
    if (path == renderingPath) {
        const QString variables = channelVariable(
                                      QStringLiteral("Volume"), QStringLiteral("Master"), QString::number(self.volume))
            + channelVariable(QStringLiteral("Volume"), QStringLiteral("LF"), QStringLiteral("100"))
            + channelVariable(QStringLiteral("Volume"), QStringLiteral("RF"), QStringLiteral("100"))
            + channelVariable(
                QStringLiteral("Mute"), QStringLiteral("Master"), self.muted ? QStringLiteral("1") : QStringLiteral("0"))
            + channelVariable(QStringLiteral("Mute"), QStringLiteral("LF"), QStringLiteral("0"))
            + channelVariable(QStringLiteral("Mute"), QStringLiteral("RF"), QStringLiteral("0"))
            + variable(QStringLiteral("Bass"), QString::number(self.bass))
            + variable(QStringLiteral("Treble"), QString::number(self.treble))
            + channelVariable(
                QStringLiteral("Loudness"), QStringLiteral("Master"), self.loudness ? QStringLiteral("1") : QStringLiteral("0"))
            // Only home-theatre players have these, and only they tell them.
            + (self.record.tv ? variable(QStringLiteral("NightMode"), self.nightMode ? QStringLiteral("1") : QStringLiteral("0"))
                        + variable(QStringLiteral("DialogLevel"), self.dialogLevel ? QStringLiteral("1") : QStringLiteral("0"))
                              : QString());
        return propertySet({{QStringLiteral("LastChange"), lastChange(QStringLiteral("RCS"), variables)}});
    }
    if (path == groupRenderingPath) {
        const SimPlayer &coordinator = coordinatorOfLocked(index);
        return propertySet(
            {{QStringLiteral("GroupMute"), isGroupMutedLocked(coordinator) ? QStringLiteral("1") : QStringLiteral("0")},
                {QStringLiteral("GroupVolume"), QString::number(groupVolumeLocked(coordinator))},
                {QStringLiteral("GroupVolumeChangeable"), QStringLiteral("1")}});
    }
    if (path == topologyPath)
        return propertySet({{QStringLiteral("ZoneGroupState"), zoneGroupStateLocked()}});
    // The household's list, the same from every player: its version, beside
    // the clock's settings players send with it.
    if (path == alarmPath)
        return propertySet({{QStringLiteral("TimeGeneration"), QStringLiteral("1")},
            {QStringLiteral("AlarmListVersion"), alarmListVersionLocked()},
            {QStringLiteral("DailyIndexRefreshTime"), QStringLiteral("02:00:00")}});
    if (path == queuePath) {
        // The group's queue, under its own namespace and QueueID 0 rather
        // than an InstanceID.
        const SimPlayer &group = coordinatorOfLocked(index);
        return propertySet({{QStringLiteral("LastChange"),
            QStringLiteral("<Event xmlns=\"urn:schemas-sonos-com:metadata-1-0/Queue/\"><QueueID val=\"0\">")
                + variable(QStringLiteral("UpdateID"), QString::number(group.queueUpdateId))
                + QStringLiteral("</QueueID></Event>")}});
    }
    // Each container with its update id, paired as players write them: the
    // favorites, the Sonos Playlists, then the group's queue.
    const SimPlayer &group = coordinatorOfLocked(index);
    const QString containers
        = QStringLiteral("FV:2,%1,SQ:,%2,Q:0,%3").arg(favoritesUpdateId).arg(playlistsUpdateId).arg(group.queueUpdateId);
    return propertySet({{QStringLiteral("ContainerUpdateIDs"), containers},
        {QStringLiteral("FavoritesUpdateID"), QString::number(favoritesUpdateId)},
        {QStringLiteral("SavedQueuesUpdateID"), QString::number(playlistsUpdateId)}});
}

void HouseholdState::publishChangesLocked()
{
    if (!events)
        return;
    for (int index = 0; index < int(players.size()); ++index) {
        for (const QString &path : eventPaths()) {
            if (!events->hasSubscribers(index, path))
                continue;
            const QByteArray body = eventBodyLocked(index, path);
            auto &last = lastPublished[{index, path}];
            if (body == last)
                continue;
            last = body;
            events->publish(index, path, body);
        }
    }
}

void HouseholdState::nextTrackLater(int index, std::chrono::milliseconds delay)
{
    events->schedule(Clock::now() + delay, [this, index] {
        std::lock_guard lock(mutex);
        SimPlayer &group = coordinatorOfLocked(index);
        group.transport.settle(group.queue, Clock::now());
        group.transport.next(group.queue, Clock::now());
        publishChangesLocked();
    });
}

} // namespace playersim
