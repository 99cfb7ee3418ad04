// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// AVTransport and RenderingControl: what a group plays and how loud each
// player is.

#include "Didl.h"
#include "HouseholdState.h"
#include "SoapMessages.h"

namespace playersim {

namespace {

const QString transportUrn = QStringLiteral("urn:schemas-upnp-org:service:AVTransport:1");
const QString renderingUrn = QStringLiteral("urn:schemas-upnp-org:service:RenderingControl:1");

bool hasArgument(const SoapCall &call, const QString &name)
{
    for (const auto &[key, value] : call.arguments)
        if (key == name)
            return true;
    return false;
}

std::optional<qint64> integerArgument(const SoapCall &call, const QString &name)
{
    if (!hasArgument(call, name))
        return std::nullopt;
    bool ok = false;
    const qint64 value = call.argument(name).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

// "H:MM:SS" (hours of any length) in seconds.
std::optional<qint64> secondsOf(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    qint64 total = 0;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const qint64 value = parts[i].toLongLong(&ok);
        if (!ok || value < 0 || parts[i].isEmpty() || (i > 0 && (value > 59 || parts[i].size() != 2)))
            return std::nullopt;
        total = total * 60 + value;
    }
    return total;
}

// A sleep timer's length: "hh:mm:ss" within a day. Empty cancels.
std::optional<std::chrono::seconds> sleepTimerLength(const QString &text)
{
    if (text.isEmpty())
        return std::chrono::seconds::zero();
    // The player's own limit, kept apart from SonosKit's, which it checks.
    constexpr qint64 longestSleepTimer = 24 * 3600 - 1;
    const std::optional<qint64> seconds = secondsOf(text);
    if (!seconds || text.size() != 8 || !text.at(0).isDigit() || *seconds > longestSleepTimer)
        return std::nullopt;
    return std::chrono::seconds(*seconds);
}

Answer done(const QString &urn, const SoapCall &call)
{
    return soapResponse(urn, call.action, {});
}

} // namespace

Answer HouseholdState::answerTransport(int index, const SoapCall &call)
{
    const QString &action = call.action;
    if (call.argument(QStringLiteral("InstanceID")) != u"0")
        return soapFault(402);
    const auto now = Clock::now();
    SimPlayer &self = *players[index];
    SimPlayer &group = coordinatorOfLocked(index);
    group.transport.settle(group.queue, now);
    SimTransport &transport = group.transport;

    // Reads: any member answers for its group.
    if (action == u"GetTransportInfo")
        return soapResponse(transportUrn, action,
            {{QStringLiteral("CurrentTransportState"), transport.stateName(now)},
                {QStringLiteral("CurrentTransportStatus"), QStringLiteral("OK")},
                {QStringLiteral("CurrentSpeed"), QStringLiteral("1")}});
    if (action == u"GetPositionInfo") {
        const std::optional<SimTrack> track = transport.currentTrack(group.queue);
        QString duration = QStringLiteral("0:00:00");
        QString metadata;
        if (track) {
            // A stream has no length; its own title lives in the media's metadata.
            duration = track->isStream() ? QStringLiteral("NOT_IMPLEMENTED") : Didl::duration(track->durationSeconds);
            if (!track->isStream())
                metadata = Didl::document(Didl::trackItem(*track, QStringLiteral("-1"), QStringLiteral("-1")));
        }
        return soapResponse(transportUrn, action,
            {{QStringLiteral("Track"), QString::number(track ? transport.trackNumber() : 0)},
                {QStringLiteral("TrackDuration"), duration}, {QStringLiteral("TrackMetaData"), metadata},
                {QStringLiteral("TrackURI"), track ? track->uri : QString()},
                {QStringLiteral("RelTime"), Didl::duration(transport.positionMilliseconds(now) / 1000)},
                {QStringLiteral("AbsTime"), QStringLiteral("NOT_IMPLEMENTED")},
                {QStringLiteral("RelCount"), QStringLiteral("2147483647")},
                {QStringLiteral("AbsCount"), QStringLiteral("2147483647")}});
    }
    if (action == u"GetMediaInfo") {
        QString uri = transport.uri();
        QString metadata = transport.uriMetadata();
        int tracks = transport.source() == SimTransport::Source::queue
            ? int(group.queue.size())
            : (transport.source() == SimTransport::Source::none ? 0 : 1);
        if (!self.isCoordinator()) {
            uri = QStringLiteral("x-rincon:") + group.record.uuid;
            metadata.clear();
        }
        return soapResponse(transportUrn, action,
            {{QStringLiteral("NrTracks"), QString::number(tracks)},
                {QStringLiteral("MediaDuration"), QStringLiteral("NOT_IMPLEMENTED")}, {QStringLiteral("CurrentURI"), uri},
                {QStringLiteral("CurrentURIMetaData"), metadata}, {QStringLiteral("NextURI"), QString()},
                {QStringLiteral("NextURIMetaData"), QString()},
                {QStringLiteral("PlayMedium"), tracks ? QStringLiteral("NETWORK") : QStringLiteral("NONE")},
                {QStringLiteral("RecordMedium"), QStringLiteral("NOT_IMPLEMENTED")},
                {QStringLiteral("WriteStatus"), QStringLiteral("NOT_IMPLEMENTED")}});
    }
    if (action == u"GetRemainingSleepTimerDuration") {
        const std::optional<qint64> left = transport.sleepSecondsLeft(now);
        return soapResponse(transportUrn, action,
            {{QStringLiteral("RemainingSleepTimerDuration"), left ? Didl::duration(*left) : QString()},
                {QStringLiteral("CurrentSleepTimerGeneration"), QString::number(transport.sleepGeneration())}});
    }
    if (action == u"GetCurrentTransportActions")
        return soapResponse(transportUrn, action, {{QStringLiteral("Actions"), transport.actions()}});
    // Shapes: GetCrossfadeMode as a captured answer (firmware 28.1),
    // GetTransportSettings as the public UPnP AVTransport description has it.
    if (action == u"GetCrossfadeMode")
        return soapResponse(transportUrn, action,
            {{QStringLiteral("CrossfadeMode"), transport.crossfade() ? QStringLiteral("1") : QStringLiteral("0")}});
    if (action == u"GetTransportSettings")
        return soapResponse(transportUrn, action,
            {{QStringLiteral("PlayMode"), transport.playMode()},
                {QStringLiteral("RecQualityMode"), QStringLiteral("NOT_IMPLEMENTED")}});

    // Grouping: sent to the player that moves, whether it leads or not.
    if (action == u"BecomeCoordinatorOfStandaloneGroup") {
        if (const auto refusal = leaveLocked(index))
            return soapFault(*refusal);
        return soapResponse(transportUrn, action,
            {{QStringLiteral("DelegatedGroupCoordinatorID"), QString()},
                {QStringLiteral("NewGroupID"), groupIdLocked(*players[index])}});
    }
    const QString uri = call.argument(QStringLiteral("CurrentURI"));
    if (action == u"SetAVTransportURI" && uri.startsWith(u"x-rincon:")) {
        if (const auto refusal = joinLocked(index, uri.mid(9)))
            return soapFault(*refusal);
        return done(transportUrn, call);
    }

    static const QStringList commands{QStringLiteral("Play"), QStringLiteral("Pause"), QStringLiteral("Stop"),
        QStringLiteral("Next"), QStringLiteral("Previous"), QStringLiteral("Seek"), QStringLiteral("SetAVTransportURI"),
        QStringLiteral("AddURIToQueue"), QStringLiteral("ConfigureSleepTimer"), QStringLiteral("SetPlayMode"),
        QStringLiteral("SetCrossfadeMode")};
    if (!commands.contains(action) && !isQueueEdit(action))
        return soapFault(401, QStringLiteral("Invalid Action"));
    // A grouped member refuses to drive the group's transport.
    if (!self.isCoordinator())
        return soapFault(800);

    auto refused = [&](const std::optional<SimTransport::Refusal> &refusal) {
        return refusal ? soapFault(refusal->code) : done(transportUrn, call);
    };

    if (action == u"Play") {
        const std::optional<SimTrack> track = transport.currentTrack(group.queue);
        // An account the household lost: the URI was accepted, playing it is not.
        if (track && !isAuthorizedLocked(track, transport.uriMetadata()))
            return soapFault(701);
        return refused(transport.play(group.queue, now));
    }
    if (action == u"Pause")
        return refused(transport.pause(now));
    if (action == u"Stop")
        return refused(transport.stop());
    if (action == u"ConfigureSleepTimer") {
        const std::optional<std::chrono::seconds> length = sleepTimerLength(
            call.argument(QStringLiteral("NewSleepTimerDuration")));
        if (!length || !hasArgument(call, QStringLiteral("NewSleepTimerDuration")))
            return soapFault(402);
        transport.setSleepTimer(*length, now);
        return done(transportUrn, call);
    }
    if (action == u"SetPlayMode")
        return refused(transport.setPlayMode(call.argument(QStringLiteral("NewPlayMode"))));
    if (action == u"SetCrossfadeMode") {
        const QString mode = call.argument(QStringLiteral("CrossfadeMode"));
        if (mode != u"0" && mode != u"1")
            return soapFault(402);
        return refused(transport.setCrossfade(mode == u"1"));
    }
    if (action == u"Next")
        return refused(transport.next(group.queue, now));
    if (action == u"Previous")
        return refused(transport.previous(group.queue, now));
    if (action == u"Seek") {
        const QString unit = call.argument(QStringLiteral("Unit"));
        const QString target = call.argument(QStringLiteral("Target"));
        if (unit == u"TRACK_NR") {
            bool ok = false;
            const int number = target.toInt(&ok);
            if (!ok)
                return soapFault(402);
            return refused(transport.seekTrack(group.queue, number, now));
        }
        if (unit == u"REL_TIME") {
            const std::optional<qint64> seconds = secondsOf(target);
            if (!seconds)
                return soapFault(402);
            return refused(transport.seekTime(group.queue, *seconds, now));
        }
        return soapFault(402);
    }
    if (action == u"SetAVTransportURI") {
        if (uri.isEmpty() || !hasArgument(call, QStringLiteral("CurrentURIMetaData")))
            return soapFault(402);
        if (uri.startsWith(u"x-rincon-queue:")) {
            if (uri != group.queueURI())
                return soapFault(402);
            transport.loadQueue(uri);
            return done(transportUrn, call);
        }
        if (uri.startsWith(u"x-rincon-stream:") || uri.startsWith(u"x-sonos-htastream:")) {
            const std::optional<int> refusal = loadInputLocked(group, uri);
            return refusal ? soapFault(*refusal) : done(transportUrn, call);
        }
        // Containers go through the queue; players call that an illegal MIME type.
        if (uri.startsWith(u"x-rincon-cpcontainer:") || uri.startsWith(u"x-rincon-playlist:") || uri.contains(u"savedqueues.rsq"))
            return soapFault(714);
        const QString metadata = call.argument(QStringLiteral("CurrentURIMetaData"));
        transport.loadSingle(trackForLocked(uri, metadata), uri, metadata);
        return done(transportUrn, call);
    }
    if (isQueueEdit(action))
        return answerQueueEdit(group, call, now);
    // AddURIToQueue
    const QString enqueued = call.argument(QStringLiteral("EnqueuedURI"));
    const std::optional<qint64> desired = integerArgument(call, QStringLiteral("DesiredFirstTrackNumberEnqueued"));
    const std::optional<qint64> asNext = integerArgument(call, QStringLiteral("EnqueueAsNext"));
    if (enqueued.isEmpty() || !desired || *desired < 0 || !asNext)
        return soapFault(402);
    int refusal = 701;
    const std::optional<QList<SimTrack>> tracks = tracksBehindLocked(
        enqueued, call.argument(QStringLiteral("EnqueuedURIMetaData")), &refusal);
    if (!tracks)
        return soapFault(refusal);
    qsizetype position = group.queue.size();
    if (*desired > 0 && *desired <= group.queue.size())
        position = *desired - 1;
    else if (*asNext == 1 && transport.source() == SimTransport::Source::queue && !group.queue.isEmpty())
        position = std::min<qsizetype>(group.queue.size(), transport.trackNumber());
    for (qsizetype i = 0; i < tracks->size(); ++i)
        group.queue.insert(position + i, tracks->at(i));
    ++group.queueUpdateId;
    // The track that plays goes on where it is now (an empty queue had none).
    if (const std::optional<int> playing = transport.queueIndex();
        playing && group.queue.size() > tracks->size() && position <= *playing)
        transport.queueTrackMoved(int(*playing + tracks->size()));
    return soapResponse(transportUrn, action,
        {{QStringLiteral("FirstTrackNumberEnqueued"), QString::number(position + 1)},
            {QStringLiteral("NumTracksAdded"), QString::number(tracks->size())},
            {QStringLiteral("NewQueueLength"), QString::number(group.queue.size())}});
}

std::optional<int> HouseholdState::loadInputLocked(SimPlayer &coordinator, const QString &uri)
{
    // A well-formed URI naming an input this group cannot play (an unknown
    // player, one without that input, a soundbar leading another group) is
    // answered like other content the player cannot take, 714; a URI
    // without its parts is a wrong argument, 402. Both assumed.
    const bool tv = uri.startsWith(u"x-sonos-htastream:");
    QString uuid = uri.section(QLatin1Char(':'), 1, 1);
    if (uuid.isEmpty() || (tv && uri.section(QLatin1Char(':'), 2) != u"spdif") || (!tv && uri.count(QLatin1Char(':')) != 1))
        return 402;
    const auto found = indexOfUuid.constFind(uuid);
    if (found == indexOfUuid.cend())
        return 714;
    const SimPlayer &source = *players[*found];
    if (tv ? (!source.record.tv || &source != &coordinator) : !source.record.lineIn)
        return 714;
    coordinator.transport.loadInput(tv ? SimTransport::Source::tv : SimTransport::Source::lineIn, uri);
    return std::nullopt;
}

Answer HouseholdState::answerRendering(int index, const SoapCall &call)
{
    const QString &action = call.action;
    static const QStringList actions{QStringLiteral("GetVolume"), QStringLiteral("SetVolume"),
        QStringLiteral("SetRelativeVolume"), QStringLiteral("GetMute"), QStringLiteral("SetMute")};
    if (!actions.contains(action))
        return soapFault(401, QStringLiteral("Invalid Action"));
    const QString channel = call.argument(QStringLiteral("Channel"));
    if (call.argument(QStringLiteral("InstanceID")) != u"0" || (channel != u"Master" && channel != u"LF" && channel != u"RF"))
        return soapFault(402);
    SimPlayer &self = *players[index];

    if (action == u"GetVolume")
        return soapResponse(renderingUrn, action, {{QStringLiteral("CurrentVolume"), QString::number(self.volume)}});
    if (action == u"GetMute")
        return soapResponse(
            renderingUrn, action, {{QStringLiteral("CurrentMute"), self.muted ? QStringLiteral("1") : QStringLiteral("0")}});
    if (action == u"SetVolume") {
        const std::optional<qint64> volume = integerArgument(call, QStringLiteral("DesiredVolume"));
        if (!volume)
            return soapFault(402);
        self.volume = int(std::clamp<qint64>(*volume, 0, 100));
        return done(renderingUrn, call);
    }
    if (action == u"SetRelativeVolume") {
        const std::optional<qint64> adjustment = integerArgument(call, QStringLiteral("Adjustment"));
        if (!adjustment || *adjustment < -100 || *adjustment > 100)
            return soapFault(402);
        self.volume = int(std::clamp<qint64>(self.volume + *adjustment, 0, 100));
        return soapResponse(renderingUrn, action, {{QStringLiteral("NewVolume"), QString::number(self.volume)}});
    }
    // SetMute
    const QString desired = call.argument(QStringLiteral("DesiredMute"));
    if (desired == u"1" || desired == u"true")
        self.muted = true;
    else if (desired == u"0" || desired == u"false")
        self.muted = false;
    else
        return soapFault(402);
    return done(renderingUrn, call);
}

} // namespace playersim
