// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
//
// Every reader of what a player sends, run on each input. What a reader
// returns was read from the input as written, so none of it may be longer
// than the input: an expanded entity would be, on any layer. A new reader is
// one more line in `readers`.
#include "FuzzInput.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/MusicServices.h>
#include <SonosKit/SOAPClient.h>
#include <SonosKit/SonosDiscoveryDetail.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/TrackMetadata.h>
#include <SonosKit/XMLText.h>
#include <SonosKit/ZoneTopology.h>
#include <SonosKit/events/LastChange.h>
#include <SonosKit/events/ServiceEvent.h>

#include <QByteArray>

#include <algorithm>
#include <cstdlib>
#include <variant>

namespace {

using namespace SonosKit;

const QString coordinatorHost = QStringLiteral("10.0.0.5");

// The most a reader adds of its own: "http://10.0.0.5:1400/" before a
// relative artwork path, "Untitled" for an item without a title.
constexpr qsizetype readerOwnCharacters = 32;
// XML written back out (an item's metadata) escapes what it copies: a '"'
// read from an attribute is written as "&quot;".
constexpr qsizetype escapedCharacters = 6;

// The longest text and the most records one reader returned.
class Returned
{
public:
    void text(const QString &value) { m_longestText = std::max(m_longestText, value.size()); }
    void text(const std::optional<QString> &value)
    {
        if (value)
            text(*value);
    }
    void written(const QString &xml) { m_longestWritten = std::max(m_longestWritten, xml.size()); }
    void records(qsizetype count) { m_records = std::max(m_records, count); }

    void track(const std::optional<TrackMetadata> &track)
    {
        if (!track)
            return;
        text(track->title);
        text(track->artist);
        text(track->album);
        text(track->albumArtURI);
    }
    void items(const QList<ContentItem> &items)
    {
        records(items.size());
        for (const ContentItem &item : items) {
            text(item.id);
            text(item.title);
            text(item.uri);
            text(item.albumArtURI);
            text(item.artist);
            written(item.metadata);
        }
    }
    void groups(const std::optional<QList<ZoneGroup>> &groups)
    {
        if (!groups)
            return;
        records(groups->size());
        for (const ZoneGroup &group : *groups) {
            text(group.id);
            records(group.members.size());
            for (const SonosDevice &member : group.members) {
                text(member.host);
                text(member.uuid);
                text(member.roomName);
                text(member.modelName);
            }
        }
    }
    void event(const ServiceEvent &event)
    {
        std::visit(
            [this](const auto &read) {
                using Event = std::decay_t<decltype(read)>;
                if constexpr (std::is_same_v<Event, TransportEvent>) {
                    track(read.track);
                    text(read.trackURI);
                    text(read.transportURI);
                } else if constexpr (std::is_same_v<Event, TopologyEvent>) {
                    groups(read.groups);
                } else if constexpr (std::is_same_v<Event, ContentDirectoryEvent>) {
                    text(read.containerUpdateIDs);
                    text(read.favoritesUpdateID);
                    text(read.savedQueuesUpdateID);
                }
            },
            event);
    }

    bool fitsInto(qsizetype inputBytes) const
    {
        // A character decoded from UTF-8 takes at least one byte.
        return m_longestText <= inputBytes + readerOwnCharacters && m_records <= inputBytes
            && m_longestWritten <= escapedCharacters * inputBytes + readerOwnCharacters;
    }

private:
    qsizetype m_longestText = 0;
    qsizetype m_longestWritten = 0;
    qsizetype m_records = 0;
};

using Reader = void (*)(const QString &text, const QByteArray &bytes, Returned &returned);

const Reader readers[] = {
    // Any document, walked the way the readers walk it.
    [](const QString &text, const QByteArray &, Returned &returned) {
        const XMLNode root = XMLText::document(text).root();
        returned.text(root.stringValue());
        returned.text(XMLText::text(root, u"Body"));
        returned.written(root.serialized());
        for (const XMLNode &node : XMLText::descendants(root, u"item"))
            returned.text(node.attribute(u"id"));
    },
    // A SOAP answer: GetPositionInfo with the track's DIDL-Lite escaped inside.
    [](const QString &text, const QByteArray &, Returned &returned) {
        const XMLNode root = XMLText::document(text).root();
        returned.text(XMLText::text(root, u"RelTime"));
        returned.track(
            TrackMetadata::fromDIDL(XMLText::text(root, u"TrackMetaData"), XMLText::text(root, u"URIMetaData"), coordinatorHost));
    },
    [](const QString &text, const QByteArray &, Returned &returned) {
        returned.text(SOAPClient::parseFault(text, QStringLiteral("Play")).faultDescription());
    },
    // A NOTIFY body for each service, with every layer escaped inside it.
    [](const QString &, const QByteArray &bytes, Returned &returned) {
        for (EventService service :
            {EventService::avTransport, EventService::renderingControl, EventService::groupRenderingControl,
                EventService::zoneGroupTopology, EventService::contentDirectory, EventService::queue}) {
            try {
                returned.event(parseServiceEvent(service, bytes, coordinatorHost));
            } catch (const SonosError &) {
            }
        }
    },
    [](const QString &text, const QByteArray &, Returned &returned) {
        const LastChange change = LastChange::parse(text);
        returned.records(change.variables.size());
        for (const LastChange::Variable &variable : change.variables) {
            returned.text(variable.value);
            returned.text(variable.channel);
        }
    },
    [](const QString &text, const QByteArray &, Returned &returned) { returned.items(ContentDirectory::parseDIDL(text)); },
    [](const QString &text, const QByteArray &, Returned &returned) { returned.groups(ZoneTopology::parseGroups(text)); },
    [](const QString &text, const QByteArray &, Returned &returned) {
        const QSet<QString> hosts = SonosDiscovery::detail::memberHosts(text);
        returned.records(hosts.size());
        for (const QString &host : hosts)
            returned.text(host);
    },
    // An SSDP answer's household header.
    [](const QString &, const QByteArray &bytes, Returned &returned) {
        returned.text(SonosDiscovery::detail::householdOfAnswer(bytes));
    },
    [](const QString &text, const QByteArray &, Returned &returned) {
        const QHash<qint64, QString> services = MusicServices::parseServices(text);
        returned.records(services.size());
        for (const QString &name : services)
            returned.text(name);
    },
    [](const QString &text, const QByteArray &, Returned &returned) {
        returned.text(XMLText::unescape(text));
        // Escaping then unescaping gives back any text.
        if (XMLText::unescape(XMLText::escape(text)) != text)
            std::abort();
    },
    [](const QString &text, const QByteArray &, Returned &) { (void)XMLText::seconds(text); },
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = fuzzText(data, size);
    for (const Reader read : readers) {
        Returned returned;
        try {
            read(text, bytes, returned);
        } catch (const SonosError &error) {
            (void)error.errorDescription();
        }
        if (!returned.fitsInto(bytes.size()))
            __builtin_trap();
    }
    return 0;
}
