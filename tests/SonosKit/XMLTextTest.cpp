// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "TestPrinters.h"

#include <SonosKit/SonosError.h>
#include <SonosKit/XMLText.h>

#include <gtest/gtest.h>

using namespace SonosKit;

namespace {

QString malformedDetail(const QString &text)
{
    try {
        XMLText::document(text);
    } catch (const SonosError &error) {
        EXPECT_EQ(error.kind(), SonosError::Kind::malformedResponse);
        return error.detail();
    }
    ADD_FAILURE() << "document() accepted " << text.toStdString();
    return {};
}

} // namespace

TEST(XMLTextParsing, blankRepairableAndUnreadableInput)
{
    EXPECT_EQ(malformedDetail(QStringLiteral("   \n\t ")), QStringLiteral("empty document"));
    EXPECT_EQ(malformedDetail(QString()), QStringLiteral("empty document"));
    // Leading blank lines before the declaration would be an error without the trim.
    EXPECT_EQ(XMLText::document(QStringLiteral("\n\n  <?xml version=\"1.0\"?><root/>\n")).root().name(), QStringLiteral("root"));

    // The tolerant retry repairs markup silently.
    const XMLDocument repaired = XMLText::document(QStringLiteral("<a><b>x</a>"));
    EXPECT_EQ(repaired.root().name(), QStringLiteral("a"));
    EXPECT_EQ(XMLText::text(repaired.root(), u"b"), QStringLiteral("x"));

    // What can't be read reports the strict parser and an excerpt.
    const QString detail = malformedDetail(QStringLiteral("Service Unavailable"));
    EXPECT_TRUE(detail.startsWith(QStringLiteral("Start tag expected"))) << detail.toStdString();
    EXPECT_TRUE(detail.endsWith(QStringLiteral(" in: Service Unavailable"))) << detail.toStdString();
    const QString longDetail = malformedDetail(QStringLiteral("x").repeated(1000));
    EXPECT_TRUE(longDetail.endsWith(QStringLiteral(" in: ") + QStringLiteral("x").repeated(300))) << longDetail.toStdString();
}

TEST(XMLTextParsing, elementKeepsItsDocumentAlive)
{
    std::optional<XMLNode> element;
    {
        const XMLDocument document = XMLText::document(
            QStringLiteral("<s:Envelope xmlns:s=\"e\"><s:Body><r><v>42</v></r></s:Body></s:Envelope>"));
        element = XMLText::firstDescendant(document.root(), u"r");
    }
    ASSERT_TRUE(element);
    EXPECT_EQ(XMLText::text(*element, u"v"), QStringLiteral("42"));
    EXPECT_EQ(element->serialized(), QStringLiteral("<r><v>42</v></r>"));
}

TEST(XMLTextSearch, firstDescendantIsBreadthFirstAndMatchesLocalNames)
{
    const XMLDocument document = XMLText::document(QStringLiteral(
        "<root><a><b><ZoneGroupMember id=\"deep\"/></b></a><c><z:ZoneGroupMember xmlns:z=\"u\" id=\"shallow\"/></c></root>"));
    const auto found = XMLText::firstDescendant(document.root(), u"ZoneGroupMember");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->attribute(u"id"), QStringLiteral("shallow"));
    EXPECT_EQ(found->name(), QStringLiteral("z:ZoneGroupMember"));
    // Prefixes on either side are ignored; letter case is not.
    EXPECT_TRUE(XMLText::firstDescendant(document.root(), u"q:ZoneGroupMember"));
    EXPECT_FALSE(XMLText::firstDescendant(document.root(), u"zonegroupmember"));

    // A prefix without a namespace declaration stays part of the element name.
    const XMLDocument undeclared = XMLText::document(
        QStringLiteral("<s:Envelope><s:Body><u:R><V>1</V></u:R></s:Body></s:Envelope>"));
    const auto body = XMLText::firstDescendant(undeclared.root(), u"Body");
    ASSERT_TRUE(body);
    EXPECT_EQ(body->name(), QStringLiteral("s:Body"));
    EXPECT_EQ(body->firstElementChild().name(), QStringLiteral("u:R"));
}

TEST(XMLTextSearch, descendantsInDocumentOrderOuterBeforeInner)
{
    const XMLDocument document = XMLText::document(
        QStringLiteral("<d><item id=\"1\"><item id=\"2\"/></item><x><item id=\"3\"/></x></d>"));
    QStringList ids;
    for (const XMLNode &item : XMLText::descendants(document.root(), u"item"))
        ids << item.attribute(u"id").value_or(QString());
    EXPECT_EQ(ids, QStringList({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    // Neither search ever returns the node it starts from.
    const XMLDocument single = XMLText::document(QStringLiteral("<item><x/></item>"));
    EXPECT_FALSE(XMLText::firstDescendant(single.root(), u"item"));
    EXPECT_TRUE(XMLText::descendants(single.root(), u"item").empty());
}

TEST(XMLTextSearch, textIsAbsentWhenEmptyAndUntrimmedOtherwise)
{
    const QString title = QStringLiteral("Caf\u00e9 \u97f3\u697d \U0001F3B6");
    const XMLDocument document = XMLText::document(
        QStringLiteral("<r><CurrentURI></CurrentURI><a>  </a><b>%1</b><v>&lt;a&gt; &amp; &#x263A;</v></r>").arg(title));
    EXPECT_EQ(XMLText::text(document.root(), u"CurrentURI"), std::nullopt);
    EXPECT_EQ(XMLText::text(document.root(), u"Missing"), std::nullopt);
    EXPECT_EQ(XMLText::text(document.root(), u"a"), QStringLiteral("  "));
    EXPECT_EQ(XMLText::text(document.root(), u"b"), title);
    // References are resolved by the parser.
    EXPECT_EQ(XMLText::text(document.root(), u"v"), QStringLiteral("<a> & \u263A"));
}

TEST(XMLTextEscaping, unescapeResolvesKnownReferencesOnly)
{
    EXPECT_EQ(XMLText::unescape(QStringLiteral("a &amp; b")), QStringLiteral("a & b"));
    EXPECT_EQ(XMLText::unescape(QStringLiteral("&#x41;&#66;&nbsp;")), QStringLiteral("AB\u00a0"));
    EXPECT_EQ(XMLText::unescape(QStringLiteral("&#x1F600;")), QStringLiteral("\U0001F600"));
    EXPECT_EQ(XMLText::unescape(QStringLiteral("&#0;")), QString(QChar(0)));
    // Surrogates, unknown names, wrong case and out-of-range numbers stay as written.
    for (const QString &kept : {QStringLiteral("&#xD800;"), QStringLiteral("&foo;"), QStringLiteral("&AMP;"),
             QStringLiteral("&#x110000;"), QStringLiteral("&#99999999999;"), QStringLiteral("&#xZZ;"), QStringLiteral("&#;"),
             QStringLiteral("& plain"), QStringLiteral("&verylongname;"), QStringLiteral("no references"),
             // A reference runs from '&' to the first ';', so "&&amp;" names "&amp".
             QStringLiteral("&&amp;"), QStringLiteral("& &lt;"), QStringLiteral("&abcdefghi;")})
        EXPECT_EQ(XMLText::unescape(kept), kept) << kept.toStdString();
    EXPECT_EQ(XMLText::unescape(QStringLiteral("&#38;&lt;")), QStringLiteral("&<"));
}

TEST(XMLTextDurations, readsHoursMinutesAndWholeSecondsAndNeverWraps)
{
    using XMLText::seconds;
    const std::pair<const char *, qint64> readable[] = {{"0:03:25", 205}, {"1:02:03.750", 3723}, {"::1:2:3", 3723},
        {"0:75:00", 4500}, {"-1:00:00", -3600}, {"2562047788015215:30:07", 9223372036854775807LL}};
    for (const auto &[text, value] : readable)
        EXPECT_EQ(seconds(QString::fromLatin1(text)), value) << text;
    // Overflow gives nothing instead of wrapping.
    for (const QString &unreadable : {QStringLiteral("12:34"), QStringLiteral("NOT_IMPLEMENTED"), QString(),
             QStringLiteral("0:00:x"), QStringLiteral("0:00:."), QStringLiteral(" 0:00:01"), QStringLiteral("1:2:3:4"),
             QStringLiteral("42"), QStringLiteral("9223372036854775807:00:00"), QStringLiteral("2562047788015215:59:59"),
             QStringLiteral("99999999999999999999:00:00")})
        EXPECT_EQ(seconds(unreadable), std::nullopt) << unreadable.toStdString();
    EXPECT_EQ(seconds(std::nullopt), std::nullopt);
}
