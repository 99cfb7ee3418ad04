// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include <SonosKit/ContentItem.h>

#include <gtest/gtest.h>

using namespace SonosKit;

namespace {

std::optional<QString> browseID(const QString &metadata)
{
    ContentItem item;
    item.metadata = metadata;
    return item.browseID();
}

TEST(ContentItem, BrowseIDIsTheFirstLowerCaseIdAttribute)
{
    EXPECT_EQ(browseID(QStringLiteral("<item parentID=\"FV:2\" id=\"SQ:3\" restricted=\"true\">")), u"SQ:3");
    EXPECT_EQ(browseID(QStringLiteral("<container id=\"1004206cplaylist%3a123\" parentID=\"x\">")), u"1004206cplaylist%3a123");
    // Percent escapes and non-ASCII stay exactly as written.
    EXPECT_EQ(browseID(QStringLiteral("<item id=\"S://srv/Musik/Café 🎧\">")), u"S://srv/Musik/Café 🎧");
    EXPECT_FALSE(browseID(QStringLiteral("<item id=\"unterminated")));
    EXPECT_FALSE(browseID(QStringLiteral("<item id=\"\">")));
    EXPECT_FALSE(browseID(QStringLiteral("<item parentID=\"FV:2\">")));
    EXPECT_FALSE(browseID(QStringLiteral("<item ID=\"FV:2\">")));
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

} // namespace
