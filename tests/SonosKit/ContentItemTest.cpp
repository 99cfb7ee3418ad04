// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include <SonosKit/ContentItem.h>

#include <QSet>

#include <gtest/gtest.h>

using namespace SonosKit;

namespace {

ContentItem itemWith(QString uri, QString metadata = {}, std::optional<qint64> serviceID = std::nullopt)
{
    ContentItem item;
    item.id = QStringLiteral("FV:2/1");
    item.title = QStringLiteral("Title");
    item.uri = std::move(uri);
    item.metadata = std::move(metadata);
    item.serviceID = serviceID;
    return item;
}

TEST(ContentItem, PlayableWhenItHasAnyURI)
{
    EXPECT_FALSE(itemWith({}).isPlayable());
    EXPECT_TRUE(itemWith(QStringLiteral(" ")).isPlayable());
}

TEST(ContentItem, BrowseIDIsTheFirstLowerCaseIdAttribute)
{
    EXPECT_EQ(itemWith({}, QStringLiteral("<item parentID=\"FV:2\" id=\"SQ:3\" restricted=\"true\">")).browseID(), u"SQ:3");
    EXPECT_EQ(itemWith({}, QStringLiteral("<container id=\"1004206cplaylist%3a123\" parentID=\"x\">")).browseID(),
        u"1004206cplaylist%3a123");
    // Percent escapes and non-ASCII stay exactly as written.
    EXPECT_EQ(itemWith({}, QStringLiteral("<item id=\"S://srv/Musik/Café 🎧\">")).browseID(), u"S://srv/Musik/Café 🎧");
    EXPECT_FALSE(itemWith({}, QStringLiteral("<item id=\"unterminated")).browseID());
    EXPECT_FALSE(itemWith({}, QStringLiteral("<item id=\"\">")).browseID());
    EXPECT_FALSE(itemWith({}, QStringLiteral("<item parentID=\"FV:2\">")).browseID());
    EXPECT_FALSE(itemWith({}, QStringLiteral("<item ID=\"FV:2\">")).browseID());
}

TEST(ContentItem, ServiceIDFromTheLiteralQuery)
{
    const auto sid = [](const char16_t *uri) { return ContentItem::serviceIDFromURI(uri); };
    EXPECT_EQ(sid(u"x-sonosapi-stream:s1?sid=254&flags=8"), 254);
    EXPECT_EQ(sid(u"x-sonosapi-stream:s1?flags=8&sid="), std::nullopt);
    EXPECT_EQ(sid(u"x?sid=&sid=5"), 5);
    EXPECT_EQ(sid(u"x?sid=abc&sid=5"), std::nullopt);
    EXPECT_EQ(sid(u"x-sonosapi-stream:s1"), std::nullopt);
    EXPECT_EQ(sid(u"x?&&==sid=12&"), 12);
    EXPECT_EQ(sid(u"x?sid==12"), std::nullopt);
    EXPECT_EQ(sid(u"x?SID=12&%73id=3"), std::nullopt); // neither case-folded nor decoded
    EXPECT_EQ(sid(u"x?sid=-4"), -4);
    EXPECT_EQ(sid(u"x?sid=99999999999999999999"), std::nullopt);
}

TEST(ContentItem, ServiceIDFromTheAccountToken)
{
    const auto sid = [](const char16_t *metadata) { return ContentItem::serviceIDFromMetadata(metadata); };
    EXPECT_EQ(sid(u"<desc>SA_RINCON2311_X</desc>"), 9);
    EXPECT_EQ(sid(u"SA_RINCON519_"), 2);
    EXPECT_EQ(sid(u"SA_RINCON3079"), 12);
    EXPECT_EQ(sid(u"SA_RINCON7_"), 0);
    EXPECT_EQ(sid(u"SA_RINCON2310_"), std::nullopt);
    EXPECT_EQ(sid(u"SA_RINCONx2311"), std::nullopt);
    EXPECT_EQ(sid(u"SA_RINCON99999999999999999999999"), std::nullopt);
    EXPECT_EQ(sid(u"sa_rincon2311"), std::nullopt);
    // Only the first token counts.
    EXPECT_EQ(sid(u"SA_RINCON_ SA_RINCON2311"), std::nullopt);
}

TEST(ContentItem, ProviderNames)
{
    const QHash<qint64, QString> services{{9, QStringLiteral("Spotify")}};
    EXPECT_EQ(itemWith(QStringLiteral("x?sid=9"), {}, 9).providerName(services), u"Spotify");
    EXPECT_EQ(itemWith(QStringLiteral("x?sid=9"), {}, 9).providerName({}), u"Service 9");
    EXPECT_EQ(itemWith(QStringLiteral("file:///jffs/settings/savedqueues.rsq#3")).providerName(services), u"Sonos Playlists");
    EXPECT_EQ(itemWith(QStringLiteral("x-file-cifs://nas/a.flac")).providerName(services), u"Local Library");
    EXPECT_EQ(itemWith(QStringLiteral("x-rincon-mp3radio://s/x")).providerName(services), u"Local Library");
    EXPECT_EQ(itemWith(QStringLiteral("X-FILE-CIFS://nas/a.flac")).providerName(services), u"Other");
    EXPECT_EQ(itemWith({}).providerName(services), u"Other");
}

TEST(ContentItem, EqualityCoversEveryField)
{
    const ContentItem base = itemWith(QStringLiteral("x"));
    ContentItem retitled = base;
    retitled.title = QStringLiteral("Other");
    ContentItem emptyArtist = base;
    emptyArtist.artist = QString();
    ContentItem noService = base, serviceZero = base;
    serviceZero.serviceID = 0;
    EXPECT_NE(base, retitled);
    EXPECT_NE(base, emptyArtist);
    EXPECT_NE(noService, serviceZero);
    EXPECT_EQ(QSet<ContentItem>({base, retitled, emptyArtist, serviceZero, ContentItem(base)}).size(), 4);
}

} // namespace
