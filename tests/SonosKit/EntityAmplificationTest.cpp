// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "TestPrinters.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/MusicServices.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/TrackMetadata.h>
#include <SonosKit/XMLText.h>
#include <SonosKit/ZoneTopology.h>
#include <SonosKit/events/LastChange.h>
#include <SonosKit/events/PropertySet.h>
#include <SonosKit/events/ServiceEvent.h>

#include <gtest/gtest.h>

#include <functional>

using namespace SonosKit;

namespace {

constexpr int references = 20000;

// `document` with a DTD declaring &w; as 40 characters and "@" replaced by
// `references` references to it: 60 KB that would read as 800 000 characters.
QString amplified(const QString &document)
{
    return QStringLiteral("<!DOCTYPE r [<!ENTITY w \"%1\">]>").arg(QString(40, u'w'))
        + QString(document).replace(u'@', QStringLiteral("&w;").repeated(references));
}

QByteArray propertySet(const QString &name, const QString &value)
{
    return (QStringLiteral("<e:propertyset xmlns:e=\"urn:schemas-upnp-org:event-1-0\"><e:property><") + name + QLatin1Char('>')
        + XMLText::escape(value) + QStringLiteral("</") + name + QStringLiteral("></e:property></e:propertyset>"))
        .toUtf8();
}

QString lastChange(const QString &variable, const QString &value)
{
    return QStringLiteral("<Event xmlns=\"urn:schemas-upnp-org:metadata-1-0/AVT/\"><InstanceID val=\"0\"><") + variable
        + QStringLiteral(" val=\"") + XMLText::escape(value) + QStringLiteral("\"/></InstanceID></Event>");
}

TransportEvent transportEvent(const QString &lastChangeText)
{
    return std::get<TransportEvent>(
        parseServiceEvent(EventService::avTransport, propertySet(QStringLiteral("LastChange"), lastChangeText), {}));
}

QString positionInfo(const QString &relTime, const QString &trackMetaData)
{
    return QStringLiteral("<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>"
                          "<u:GetPositionInfoResponse xmlns:u=\"urn:schemas-upnp-org:service:AVTransport:1\"><RelTime>")
        + relTime + QStringLiteral("</RelTime><TrackMetaData>") + XMLText::escape(trackMetaData)
        + QStringLiteral("</TrackMetaData></u:GetPositionInfoResponse></s:Body></s:Envelope>");
}

const QString track = QStringLiteral("<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                                     "xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\"><item id=\"1\">"
                                     "<dc:title>Title</dc:title><dc:creator>@</dc:creator></item></DIDL-Lite>");

// One layer of what players send: a document of that layer, "@" where text
// goes, and what the readers return for it, wrapped in the outer layers.
struct Layer {
    const char *name;
    QString document;
    std::function<QStringList(const QString &document)> read;
};

const Layer layers[] = {
    {"event body",
        QStringLiteral("<e:propertyset xmlns:e=\"urn:schemas-upnp-org:event-1-0\"><e:property><X>@</X>"
                       "</e:property></e:propertyset>"),
        [](const QString &body) { return QStringList{PropertySet::parse(body.toUtf8()).value(u"X").value_or(QString())}; }},
    {"LastChange in an event",
        QStringLiteral("<Event xmlns=\"urn:schemas-upnp-org:metadata-1-0/AVT/\"><InstanceID val=\"0\">"
                       "<AVTransportURI val=\"@\"/></InstanceID></Event>"),
        [](const QString &change) { return QStringList{transportEvent(change).transportURI.value_or(QString())}; }},
    {"the Queue's LastChange",
        QStringLiteral("<Event xmlns=\"urn:schemas-sonos-com:metadata-1-0/Queue/\"><QueueID val=\"0\">"
                       "<UpdateID val=\"@\"/></QueueID></Event>"),
        [](const QString &change) {
            return QStringList{LastChange::parse(change, u"QueueID").value(u"UpdateID").value_or(QString())};
        }},
    {"DIDL-Lite in an event's LastChange", track,
        [](const QString &didl) {
            return QStringList{transportEvent(lastChange(QStringLiteral("CurrentTrackMetaData"), didl))
                                   .track.value()
                                   .artist.value_or(QString())};
        }},
    {"SOAP answer", positionInfo(QStringLiteral("@"), {}),
        [](const QString &answer) {
            return QStringList{XMLText::text(XMLText::document(answer).root(), u"RelTime").value_or(QString())};
        }},
    {"DIDL-Lite in a SOAP answer", track,
        [](const QString &didl) {
            const XMLNode answer = XMLText::document(positionInfo(QStringLiteral("0:00:01"), didl)).root();
            return QStringList{
                TrackMetadata::fromDIDL(XMLText::text(answer, u"TrackMetaData"), {}, {}).artist.value_or(QString())};
        }},
    {"topology attributes",
        QStringLiteral("<ZoneGroupState><ZoneGroups><ZoneGroup Coordinator=\"RINCON_A\" ID=\"g\"><ZoneGroupMember "
                       "UUID=\"RINCON_A\" Location=\"http://10.0.0.5:1400/xml/device_description.xml\" ZoneName=\"@\"/>"
                       "</ZoneGroup></ZoneGroups></ZoneGroupState>"),
        [](const QString &state) {
            const QList<ZoneGroup> groups = ZoneTopology::parseGroups(state);
            return QStringList{groups.value(0).coordinator.roomName};
        }},
    {"content directory result", QString(track).replace(QStringLiteral("Title"), QStringLiteral("@")),
        [](const QString &didl) { return QStringList{ContentDirectory::parseDIDL(didl).value(0).title}; }},
    {"music services", QStringLiteral("<Services><Service Id=\"7\" Name=\"@\"/></Services>"),
        [](const QString &list) { return QStringList{MusicServices::parseServices(list).value(7)}; }},
};

bool refusedForItsDocumentType(const std::function<void()> &parse)
{
    try {
        parse();
    } catch (const SonosError &error) {
        EXPECT_EQ(error.kind(), SonosError::Kind::malformedResponse);
        return error.detail().startsWith(QStringLiteral("document type declaration refused"));
    }
    return false;
}

} // namespace

TEST(EntityAmplification, everyLayerRefusesADocumentTypeAndReadsNoMoreThanItWasSent)
{
    for (const Layer &layer : layers) {
        SCOPED_TRACE(layer.name);
        // Without a DTD the layer reads as usual.
        EXPECT_EQ(layer.read(QString(layer.document).replace(u'@', QStringLiteral("Plain &amp; simple"))),
            QStringList{QStringLiteral("Plain & simple")});

        // With one, the document is refused; a layer that reads refused
        // metadata as none returns nothing longer than it was sent.
        const QString hostile = amplified(layer.document);
        try {
            for (const QString &value : layer.read(hostile))
                EXPECT_LE(value.size(), hostile.size());
        } catch (const SonosError &error) {
            EXPECT_TRUE(error.detail().startsWith(QStringLiteral("document type declaration refused")))
                << error.detail().left(200).toStdString();
        }
    }

    // Any DOCTYPE at all: a bare one, an external one, one loading a
    // parameter entity, a billion laughs, and one the tolerant retry meets.
    QString laughs = QStringLiteral("<!DOCTYPE l [<!ENTITY l0 \"lol\">");
    for (int level = 1; level <= 9; ++level)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">").arg(level).arg(QStringLiteral("&l%1;").arg(level - 1).repeated(10));
    laughs += QStringLiteral("]><l>&l9;</l>");
    const QString documents[] = {
        QStringLiteral("<!DOCTYPE a><a>x</a>"),
        QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE a SYSTEM \"file:///etc/hostname\"><a>x</a>"),
        QStringLiteral("<!DOCTYPE a [<!ENTITY % p SYSTEM \"file:///etc/hostname\"> %p;]><a>x</a>"),
        laughs,
        QStringLiteral("<?xml version=\"1.0\" standalone=\"perhaps\"?><!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;<b></a>"),
    };
    for (const QString &document : documents)
        EXPECT_TRUE(refusedForItsDocumentType([&] { XMLText::document(document); })) << document.left(100).toStdString();

    // Nor is anything else outside the document ever read.
    EXPECT_EQ(XMLText::document(QStringLiteral("<a xmlns:xi=\"http://www.w3.org/2001/XInclude\">"
                                               "<xi:include href=\"file:///etc/hostname\" parse=\"text\"/></a>"))
                  .root()
                  .stringValue(),
        QString());
}
