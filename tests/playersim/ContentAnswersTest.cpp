// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "AsyncTestSupport.h"
#include "PlayerSimTestSupport.h"

#include <gtest/gtest.h>

using namespace playersimtest;
using playersim::Household;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerSimContent;

struct Page {
    int returned = -1;
    int total = -1;
    QString result;
};

SonosKit::SOAPClient::Arguments browsing(const QString &id, int start = 0, int count = 100)
{
    return {{"ObjectID", id}, {"BrowseFlag", "BrowseDirectChildren"}, {"Filter", "*"}, {"StartingIndex", QString::number(start)},
        {"RequestedCount", QString::number(count)}, {"SortCriteria", ""}};
}

Page browse(const QString &address, const QString &id, int start, int count)
{
    const SonosKit::XMLNode answer = call(
        address, Service::contentDirectory, QStringLiteral("Browse"), browsing(id, start, count));
    Page page;
    page.returned = text(answer, QStringLiteral("NumberReturned")).toInt();
    page.total = text(answer, QStringLiteral("TotalMatches")).toInt();
    page.result = text(answer, QStringLiteral("Result"));
    EXPECT_FALSE(text(answer, QStringLiteral("UpdateID")).isEmpty());
    return page;
}

QString browseFault(const QString &address, const QString &id)
{
    const auto code = faultCode(address, Service::contentDirectory, QStringLiteral("Browse"), browsing(id));
    return code ? QString::number(*code) : QStringLiteral("none");
}

} // namespace

// Paging by start and count is read through the client (GroupControllerCommands'
// long playlist); here, what only the simulator's answers show.
TEST(ContentAnswers, FavoritesCarryAbsoluteArtAndUnlistedContainersAreRefused)
{
    Household household = startedHousehold(Household::defaultHousehold(firstAddress(block)));
    const QString address = household.addresses()[1];
    // Each favorite read and played through the client (GroupControllerCommands,
    // the store's favorites test, zonescout's control test reading a station's
    // title from the metadata its r:resMD carried) shows how the items are
    // escaped and what they carry.
    const Page page = browse(address, QStringLiteral("FV:2"), 0, 100);
    EXPECT_TRUE(page.result.contains(QStringLiteral("<dc:title>Café del Mar — Chillout</dc:title>")));
    // Station art is absolute on the answering player.
    EXPECT_TRUE(page.result.contains(QStringLiteral("<upnp:albumArtURI>http://%1:1400/getaa?s=1&amp;u=s13606<").arg(address)));

    // A grouped member shows its group's queue; what the players don't list
    // is refused as they refuse it.
    const QString coordinator = household.addresses().first();
    const int queue = browse(coordinator, QStringLiteral("Q:0"), 0, 100).total;
    EXPECT_GT(queue, 0);
    EXPECT_EQ(browse(household.addresses()[1], QStringLiteral("Q:0"), 0, 100).total, queue);
    for (const playersim::SimFavorite &favorite : household.favorites()) {
        if (favorite.kind == playersim::FavoriteKind::streamingContainer) {
            EXPECT_EQ(browseFault(coordinator, favorite.itemId), QStringLiteral("701")) << favorite.title.toStdString();
        }
    }
    EXPECT_EQ(browseFault(coordinator, QStringLiteral("R:0/0")), QStringLiteral("701"));
    EXPECT_EQ(browseFault(coordinator, QStringLiteral("SQ:99")), QStringLiteral("701"));
}
