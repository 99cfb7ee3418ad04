// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Up Next as shipped over a real store and a simulated 10,000-entry queue:
// it opens at the playing entry making and reading only what shows, plays,
// moves and removes by name and by key, keeps its place when the queue is
// read again, clears after asking once, and saves under a title it asks for.
#include "StoreTestSupport.h"
#include "ViewTestSupport.h"

#include "SonosKit/GroupController.h"

#include <QQuickItem>
#include <QTest>

#include <gtest/gtest.h>

using namespace viewtest;
using storetest::callCount;
using testsupport::waitUntil;

namespace {

const QUrl menuView(QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml"));
constexpr auto Button = QAccessible::Button;
constexpr int length = 10'000;

} // namespace

TEST(QuilloViews, UpNextOpensALongQueueAtThePlayingEntryAndEditsItInPlace)
{
    playersim::Household household = testsupport::startedHousehold(playersim::Household::fromJson(
        storetest::householdWithQueue(length), testsupport::firstAddress(testsupport::Suite::QuilloViews, 1)));
    storetest::StoreRig rig(household);
    rig.writeSettingsText("selectedRoomName=Living Room\n");
    StoreHandle store = rig.makeStore();
    testsupport::await(store->refreshAll());
    testsupport::await(SonosKit::GroupController(*store->household().selectedGroup()).playQueueTrack(4999));
    ViewWindow view(*store, menuView);
    ASSERT_TRUE(waitUntil([&] { return store->queue().currentIndex() == 4999; }));

    household.log()->clear();
    view.click(QAccessible::CheckBox, QStringLiteral("Up Next"));
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("Remove Track 5000"))) << view.tree();
    EXPECT_EQ(view.node(Button, QStringLiteral("Track 5000"))->text(QAccessible::Description), u"Playing");
    // Only the rows in view were made, and only their pages read.
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("Track 5002"))) << view.tree();
    EXPECT_LT(view.names(Button).filter(QStringLiteral("Remove Track")).size(), 20);
    const auto browses = household.log()->calls(QStringLiteral("Browse"));
    EXPECT_EQ(std::count_if(browses.cbegin(), browses.cend(),
                  [](const playersim::SoapCall &call) { return call.argument(QStringLiteral("ObjectID")) == u"Q:0"; }),
        2)
        << "the playing entry's page and the next";
    QQuickItem *list = ViewWindow::itemOf(view.node(QAccessible::List, QStringLiteral("Up Next")));
    ASSERT_TRUE(list);
    const qreal place = list->property("contentY").toReal();
    EXPECT_GT(place, 0);

    // A click plays an entry; its own button removes it, and the list
    // stays where it was with the next entry in its place.
    view.click(Button, QStringLiteral("Track 5002"));
    ASSERT_TRUE(waitUntil([&] { return store->queue().currentIndex() == 5001; }));
    view.click(Button, QStringLiteral("Remove Track 5001"));
    ASSERT_TRUE(waitUntil([&] { return store->queue().count() == length - 1 && !store->queue().isBusy(); }));
    ASSERT_TRUE(waitUntil([&] { return !view.node(Button, QStringLiteral("Track 5001")); })) << view.tree();
    EXPECT_EQ(list->property("contentY").toReal(), place);

    // The keyboard: Alt+Down moves the current entry, Delete removes it.
    list->forceActiveFocus();
    const int current = list->property("currentIndex").toInt();
    QTest::keyClick(&view.window(), Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return callCount(household, QStringLiteral("ReorderTracksInQueue")) == 1; }));
    EXPECT_EQ(list->property("currentIndex").toInt(), current + 1);
    ASSERT_TRUE(waitUntil([&] { return !store->queue().isBusy(); }));
    QTest::keyClick(&view.window(), Qt::Key_Delete);
    ASSERT_TRUE(waitUntil([&] { return store->queue().count() == length - 2 && !store->queue().isBusy(); }));

    // Dragged two rows down, "Track 4998" lands there.
    QQuickItem *dragged = ViewWindow::itemOf(view.node(Button, QStringLiteral("Track 4998")));
    ASSERT_TRUE(dragged);
    const QPoint from = dragged->mapToScene(QPointF(dragged->width() / 3, dragged->height() / 2)).toPoint();
    QTest::mousePress(&view.window(), Qt::LeftButton, {}, from);
    for (int step = 1; step <= 8; ++step)
        QTest::mouseMove(&view.window(), from + QPoint(0, int(dragged->height() * step / 4)));
    QTest::mouseRelease(&view.window(), Qt::LeftButton, {}, from + QPoint(0, int(dragged->height() * 2)));
    EXPECT_TRUE(waitUntil([&] {
        return store->queue().entries().item(4999) && store->queue().entries().item(4999)->title == u"Track 4998";
    })) << view.tree();

    // Saved under the title asked for; the result shows.
    view.click(Button, QStringLiteral("Save as Playlist…"));
    view.type(QStringLiteral("Road Trip"));
    view.click(Button, QStringLiteral("Save"));
    ASSERT_TRUE(view.waitForNode(QAccessible::StaticText, QStringLiteral("Saved as the playlist “Road Trip”."))) << view.tree();

    // Clearing asks once.
    view.click(Button, QStringLiteral("Clear Queue"));
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("Clear"))) << view.tree();
    EXPECT_EQ(callCount(household, QStringLiteral("RemoveAllTracksFromQueue")), 0);
    view.click(Button, QStringLiteral("Clear"));
    ASSERT_TRUE(view.waitForNode(QAccessible::StaticText, QStringLiteral("The queue is empty"))) << view.tree();

    // A station has no queue: the button says so and stays shut.
    store->library().play(store->library().favorites().at(0));
    ASSERT_TRUE(waitUntil([&] { return !view.isEnabled(QAccessible::CheckBox, QStringLiteral("Up Next")); }));
    EXPECT_EQ(view.node(QAccessible::CheckBox, QStringLiteral("Up Next"))->text(QAccessible::Description),
        u"A station or stream plays; it has no queue.");
}
