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

// The service a favorite plays from: the sid= of its URI's query, taken
// literally, else the n of its account token "SA_RINCON<n>_", 256 × the service + 7.
TEST(ContentItem, ServiceIDFromTheLiteralQueryOrTheAccountToken)
{
    const std::pair<const char16_t *, std::optional<qint64>> uris[] = {{u"x-sonosapi-stream:s1?sid=254&flags=8", 254},
        {u"x-sonosapi-stream:s1?flags=8&sid=", std::nullopt}, {u"x?sid=&sid=5", 5}, {u"x?sid=abc&sid=5", std::nullopt},
        {u"x-sonosapi-stream:s1", std::nullopt}, {u"x?&&==sid=12&", 12}, {u"x?sid==12", std::nullopt},
        {u"x?SID=12&%73id=3", std::nullopt}, // neither case-folded nor decoded
        {u"x?sid=-4", -4}, {u"x?sid=99999999999999999999", std::nullopt}};
    for (const auto &[uri, id] : uris)
        EXPECT_EQ(ContentItem::serviceIDFromURI(uri), id) << QString::fromUtf16(uri).toStdString();

    const std::pair<const char16_t *, std::optional<qint64>> tokens[] = {{u"<desc>SA_RINCON2311_X</desc>", 9},
        {u"SA_RINCON519_", 2}, {u"SA_RINCON3079", 12}, {u"SA_RINCON7_", 0}, {u"SA_RINCON2310_", std::nullopt},
        {u"SA_RINCONx2311", std::nullopt}, {u"SA_RINCON99999999999999999999999", std::nullopt}, {u"sa_rincon2311", std::nullopt},
        {u"SA_RINCON_ SA_RINCON2311", std::nullopt}}; // only the first token counts
    for (const auto &[metadata, id] : tokens)
        EXPECT_EQ(ContentItem::serviceIDFromMetadata(metadata), id) << QString::fromUtf16(metadata).toStdString();
}

} // namespace
