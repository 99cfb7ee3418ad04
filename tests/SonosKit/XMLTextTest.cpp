#include <SonosKit/SonosError.h>
#include <SonosKit/XMLText.h>

#include <gtest/gtest.h>

using namespace SonosKit;

TEST(XMLText, smoke)
{
    auto doc = XMLText::document(QStringLiteral("<a><s:Body xmlns:s='x'><b>hi</b></s:Body></a>"));
    auto body = XMLText::firstDescendant(doc.root(), u"Body");
    ASSERT_TRUE(body);
    EXPECT_EQ(body->name(), QStringLiteral("s:Body"));
    EXPECT_EQ(XMLText::text(doc.root(), u"b"), QStringLiteral("hi"));
}
