// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/ContentItem.h"

#include "SonosKit/Hashing.h"
#include "SonosKit/Text.h"

namespace SonosKit {

std::optional<QString> ContentItem::browseID() const
{
    // A literal search on purpose: "parentID=" must not match, and the
    // metadata may be a fragment that no XML parser would accept.
    static constexpr QStringView opener = u"id=\"";
    const qsizetype start = metadata.indexOf(opener);
    if (start < 0)
        return std::nullopt;
    const qsizetype valueStart = start + opener.size();
    const qsizetype end = metadata.indexOf(u'"', valueStart);
    if (end <= valueStart)
        return std::nullopt;
    return metadata.mid(valueStart, end - valueStart);
}

std::optional<qint64> ContentItem::serviceIDFromURI(QStringView uri)
{
    // The query is split literally and never percent-decoded: players write
    // "sid" plainly, and decoding would let "%73id" pose as it.
    const qsizetype question = uri.indexOf(u'?');
    if (question < 0)
        return std::nullopt;
    const QStringView query = uri.mid(question + 1);
    for (const QStringView piece : query.tokenize(u'&', Qt::SkipEmptyParts)) {
        qsizetype keyStart = 0;
        while (keyStart < piece.size() && piece[keyStart] == u'=')
            ++keyStart;
        const qsizetype equals = piece.indexOf(u'=', keyStart);
        if (equals < 0 || equals + 1 >= piece.size())
            continue;
        if (piece.mid(keyStart, equals - keyStart) != u"sid")
            continue;
        return Text::parseInteger(piece.mid(equals + 1));
    }
    return std::nullopt;
}

std::optional<qint64> ContentItem::serviceIDFromMetadata(QStringView metadata)
{
    // Account tokens read "SA_RINCON<n>_..." where n = service * 256 + 7.
    static constexpr QStringView marker = u"SA_RINCON";
    const qsizetype start = metadata.indexOf(marker);
    if (start < 0)
        return std::nullopt;
    const qsizetype digitsStart = start + marker.size();
    qsizetype digitsEnd = digitsStart;
    while (digitsEnd < metadata.size() && metadata[digitsEnd] >= u'0' && metadata[digitsEnd] <= u'9')
        ++digitsEnd;
    if (digitsEnd == digitsStart)
        return std::nullopt;
    const std::optional<qint64> n = Text::parseInteger(metadata.mid(digitsStart, digitsEnd - digitsStart));
    if (!n || *n < 7 || *n % 256 != 7)
        return std::nullopt;
    return (*n - 7) / 256;
}

QString ContentItem::providerName(const QHash<qint64, QString> &serviceNames) const
{
    if (serviceID) {
        const auto found = serviceNames.constFind(*serviceID);
        if (found != serviceNames.cend())
            return *found;
        return QStringLiteral("Service ") + QString::number(*serviceID);
    }
    if (uri.contains(u"savedqueues.rsq"))
        return QStringLiteral("Sonos Playlists");
    if (uri.startsWith(u"x-file-cifs:") || uri.startsWith(u"x-rincon-mp3radio:"))
        return QStringLiteral("Local Library");
    return QStringLiteral("Other");
}

size_t qHash(const ContentItem &item, size_t seed)
{
    seed = qHashMulti(seed, item.id, item.title, item.uri, item.metadata);
    seed = hashOptional(item.albumArtURI, seed);
    seed = hashOptional(item.artist, seed);
    seed = qHashMulti(seed, item.isContainer);
    return hashOptional(item.serviceID, seed);
}

} // namespace SonosKit
