// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"
#include "SonosKit/events/EventService.h"
#include "SonosKit/events/LastChange.h"
#include "SonosKit/events/ServiceEvent.h"

#include <gtest/gtest.h>

using namespace SonosKit;

namespace {

QByteArray propertySet(const QString &name, const QString &value)
{
    return (QStringLiteral("<e:propertyset xmlns:e=\"urn:schemas-upnp-org:event-1-0\"><e:property><") + name + QLatin1Char('>')
        + XMLText::escape(value) + QStringLiteral("</") + name + QStringLiteral("></e:property></e:propertyset>"))
        .toUtf8();
}

QString avt(const QString &variables)
{
    return QStringLiteral("<Event xmlns=\"urn:schemas-upnp-org:metadata-1-0/AVT/\" "
                          "xmlns:r=\"urn:schemas-rinconnetworks-com:metadata-1-0/\"><InstanceID val=\"0\">")
        + variables + QStringLiteral("</InstanceID></Event>");
}

QString val(const QString &name, const QString &value)
{
    return QLatin1Char('<') + name + QStringLiteral(" val=\"") + XMLText::escape(value) + QStringLiteral("\"/>");
}

// The transport event of a LastChange with these variables, sent by `host`.
TransportEvent transportEvent(const QString &variables, const QString &host = {})
{
    return std::get<TransportEvent>(
        parseServiceEvent(EventService::avTransport, propertySet(QStringLiteral("LastChange"), avt(variables)), host));
}

const QString trackDidl = QStringLiteral(
    "<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:upnp=\"urn:schemas-upnp-org:metadata-1-0/upnp/\" "
    "xmlns:r=\"urn:schemas-rinconnetworks-com:metadata-1-0/\" xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\">"
    "<item id=\"-1\" parentID=\"-1\" restricted=\"true\"><res protocolInfo=\"x-file-cifs:*:audio/flac:*\" duration=\"0:04:12\">"
    "x-file-cifs://nas/music/Troen.flac</res><upnp:albumArtURI>/getaa?s=1&amp;u=x-file-cifs%3a%2f%2fnas</upnp:albumArtURI>"
    "<upnp:class>object.item.audioItem.musicTrack</upnp:class><dc:title>Troen &amp; Ingen</dc:title>"
    "<dc:creator>S\u00f8ren Huss</dc:creator><upnp:album>Troen &amp; Ingen</upnp:album></item></DIDL-Lite>");

} // namespace

TEST(EventParsing, TransportEventsCarryWhatTheyHoldThroughEveryEscapingLayerAndNothingElse)
{
    const auto event = transportEvent(val(QStringLiteral("TransportState"), QStringLiteral("PLAYING"))
            + val(QStringLiteral("CurrentTrack"), QStringLiteral("3"))
            + val(QStringLiteral("CurrentTrackDuration"), QStringLiteral("0:04:12"))
            + val(QStringLiteral("CurrentTrackMetaData"), trackDidl)
            + val(QStringLiteral("AVTransportURI"), QStringLiteral("x-rincon-queue:RINCON_1#0"))
            + val(QStringLiteral("SleepTimerGeneration"), QStringLiteral("4"))
            + val(QStringLiteral("CurrentPlayMode"), QStringLiteral("SHUFFLE_REPEAT_ONE"))
            + val(QStringLiteral("CurrentCrossfadeMode"), QStringLiteral("1"))
            + val(QStringLiteral("CurrentValidPlayModes"), QStringLiteral("SHUFFLE,REPEAT,REPEAT_ONE,CROSSFADE"))
            + val(QStringLiteral("QueueUpdateID"), QStringLiteral("4294967295")),
        QStringLiteral("10.0.0.5"));
    EXPECT_EQ(event.transportState, TransportState::playing);
    EXPECT_EQ(event.trackNumber, 3);
    ASSERT_TRUE(event.durationSeconds.has_value());
    EXPECT_EQ(*event.durationSeconds, 252);
    ASSERT_TRUE(event.track.has_value());
    EXPECT_EQ(event.track->title, QStringLiteral("Troen & Ingen"));
    EXPECT_EQ(event.track->artist, QStringLiteral("S\u00f8ren Huss"));
    EXPECT_EQ(event.track->album, QStringLiteral("Troen & Ingen"));
    // Relative art is made fetchable from the coordinator.
    EXPECT_EQ(event.track->albumArtURI, QStringLiteral("http://10.0.0.5:1400/getaa?s=1&u=x-file-cifs%3a%2f%2fnas"));
    EXPECT_EQ(event.transportURI, QStringLiteral("x-rincon-queue:RINCON_1#0"));
    EXPECT_EQ(event.sleepTimerGeneration, 4u);
    EXPECT_EQ(event.queueUpdateID, 4294967295u);
    EXPECT_EQ(event.playMode, (SonosKit::PlayMode{true, SonosKit::Repeat::one}));
    EXPECT_EQ(event.crossfade, true);
    EXPECT_EQ(event.validPlayModes, (SonosKit::ValidPlayModes{true, true, true, true}));

    // What an event lacks stays absent.
    const auto stateOnly = transportEvent(val(QStringLiteral("TransportState"), QStringLiteral("PAUSED_PLAYBACK")));
    EXPECT_EQ(stateOnly.transportState, TransportState::paused);
    EXPECT_FALSE(stateOnly.track.has_value());
    EXPECT_FALSE(stateOnly.durationSeconds.has_value());
    EXPECT_FALSE(stateOnly.trackNumber.has_value());
    EXPECT_FALSE(stateOnly.sleepTimerGeneration || stateOnly.queueUpdateID);
    EXPECT_FALSE(stateOnly.playMode || stateOnly.crossfade || stateOnly.validPlayModes);

    // A station: no track metadata, its title from the media's metadata, and
    // a duration that is present but unknown.
    const QString station = QStringLiteral(
        "<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\">"
        "<item id=\"F00092020s13606\" parentID=\"F00082064\" restricted=\"true\"><dc:title>Radio Paradise</dc:title>"
        "<res>x-sonosapi-stream:s13606?sid=254</res></item></DIDL-Lite>");
    const auto stream = transportEvent(val(QStringLiteral("CurrentTrackDuration"), QStringLiteral("NOT_IMPLEMENTED"))
        + val(QStringLiteral("CurrentTrackMetaData"), QString()) + val(QStringLiteral("AVTransportURIMetaData"), station));
    ASSERT_TRUE(stream.durationSeconds.has_value());
    EXPECT_FALSE(stream.durationSeconds->has_value());
    ASSERT_TRUE(stream.track.has_value());
    EXPECT_EQ(stream.track->title, QStringLiteral("Radio Paradise"));
    EXPECT_FALSE(stream.track->artist.has_value());

    // An unknown state or mode is none; unknown valid modes are skipped.
    EXPECT_FALSE(
        transportEvent(val(QStringLiteral("TransportState"), QStringLiteral("BUFFERING_FOREVER"))).transportState.has_value());
    const auto odd = transportEvent(val(QStringLiteral("CurrentPlayMode"), QStringLiteral("SHUFFLE_SOMETIMES"))
        + val(QStringLiteral("CurrentCrossfadeMode"), QStringLiteral("2"))
        + val(QStringLiteral("CurrentValidPlayModes"), QStringLiteral("FOO,,REPEAT_ONE,shuffle")));
    EXPECT_FALSE(odd.playMode || odd.crossfade);
    EXPECT_EQ(odd.validPlayModes, (SonosKit::ValidPlayModes{false, false, true, false}));
}

TEST(EventParsing, RenderingReadsTheMasterChannelGroupRenderingItsPropertiesAndHostileBodiesAreRefused)
{
    const QString rcs = QStringLiteral(
        "<Event xmlns=\"urn:schemas-upnp-org:metadata-1-0/RCS/\"><InstanceID val=\"0\">"
        "<Volume channel=\"LF\" val=\"100\"/><Volume channel=\"Master\" val=\"30\"/><Mute channel=\"LF\" val=\"1\"/>"
        "<Mute channel=\"Master\" val=\"0\"/><Bass val=\"-3\"/><Treble val=\"11\"/>"
        "<Loudness channel=\"LF\" val=\"0\"/><Loudness channel=\"Master\" val=\"1\"/><NightMode val=\"1\"/>"
        "<DialogLevel val=\"maybe\"/></InstanceID></Event>");
    const auto rendering = std::get<RenderingEvent>(
        parseServiceEvent(EventService::renderingControl, propertySet(QStringLiteral("LastChange"), rcs), {}));
    EXPECT_EQ(rendering.volume, 30);
    EXPECT_EQ(rendering.muted, false);
    // The sound: a treble beyond the scale and a speech level that is no
    // flag are left out, not held.
    EXPECT_EQ(rendering.bass, -3);
    EXPECT_FALSE(rendering.treble || rendering.dialogLevel);
    EXPECT_EQ(rendering.loudness, true);
    EXPECT_EQ(rendering.nightMode, true);

    const QByteArray group = "<e:propertyset xmlns:e=\"urn:schemas-upnp-org:event-1-0\">"
                             "<e:property><GroupMute>1</GroupMute></e:property>"
                             "<e:property><GroupVolume>140</GroupVolume></e:property>"
                             "<e:property><GroupVolumeChangeable>1</GroupVolumeChangeable></e:property></e:propertyset>";
    const auto groupEvent = std::get<GroupRenderingEvent>(parseServiceEvent(EventService::groupRenderingControl, group, {}));
    EXPECT_EQ(groupEvent.volume, 100); // clamped
    EXPECT_EQ(groupEvent.muted, true);

    // Hostile bodies are refused or read literally.
    for (const QByteArray &body : {QByteArray(), QByteArray("not xml at all"), QByteArray("<html><body>hi</body></html>"),
             propertySet(QStringLiteral("LastChange"), QStringLiteral("<Other/>"))})
        EXPECT_THROW(parseServiceEvent(EventService::avTransport, body, {}), SonosError) << body.data();

    // The Queue's version: of queue 0 only, and only a version that fits.
    const auto queueVersion = [](const QString &id, const QString &version) {
        const QString change = QStringLiteral("<Event xmlns=\"urn:schemas-sonos-com:metadata-1-0/Queue/\"><QueueID val=\"%1\">"
                                              "<UpdateID val=\"%2\"/></QueueID></Event>")
                                   .arg(id, version);
        return std::get<QueueEvent>(parseServiceEvent(EventService::queue, propertySet(QStringLiteral("LastChange"), change), {}))
            .updateID;
    };
    EXPECT_EQ(queueVersion(QStringLiteral("0"), QStringLiteral("7")), 7u);
    for (const char *version : {"-1", "4294967296", "7a", ""})
        EXPECT_EQ(queueVersion(QStringLiteral("0"), QString::fromLatin1(version)), std::nullopt) << version;
    EXPECT_EQ(queueVersion(QStringLiteral("1"), QStringLiteral("3")), std::nullopt);

    // The alarms' version: a short text of the event's own, nothing more.
    const auto alarmVersion = [](const QString &version) {
        return std::get<AlarmEvent>(
            parseServiceEvent(EventService::alarmClock, propertySet(QStringLiteral("AlarmListVersion"), version), {}))
            .alarmListVersion;
    };
    EXPECT_EQ(alarmVersion(QStringLiteral(" RINCON_A01400:12 ")), QStringLiteral("RINCON_A01400:12"));
    EXPECT_EQ(alarmVersion(QString()), std::nullopt);
    EXPECT_THROW(alarmVersion(QString(300, u'9')), SonosError);

    // A LastChange for another instance changes nothing shown.
    const LastChange other = LastChange::parse(
        QStringLiteral("<Event><InstanceID val=\"1\"><Volume channel=\"Master\" val=\"5\"/></InstanceID></Event>"));
    EXPECT_FALSE(other.value(u"Volume").has_value());
}
