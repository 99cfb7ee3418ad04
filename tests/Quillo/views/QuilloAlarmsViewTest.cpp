// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The Alarms window as the user drives it: an alarm switched by its name,
// the editor saving on Return, the list driven by its keys, and Escape
// leaving the editor.
#include "StoreTestSupport.h"
#include "ViewTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QTest>

#include <gtest/gtest.h>

using namespace viewtest;
using testsupport::waitUntil;

TEST(QuilloViews, TheAlarmsWindowSwitchesAnAlarmByNameAndItsEditorSavesOnReturnAndLeavesOnEscape)
{
    QJsonObject root = QJsonDocument::fromJson(storetest::householdJson()).object();
    root.insert(QStringLiteral("alarms"),
        QJsonArray{QJsonObject{
            {"id", 1}, {"startTime", "07:00:00"}, {"recurrence", "WEEKDAYS"}, {"enabled", true}, {"roomUUID", "RINCON_L01400"}}});
    playersim::Household household = testsupport::startedHousehold(playersim::Household::fromJson(
        QJsonDocument(root).toJson(QJsonDocument::Compact), testsupport::firstAddress(testsupport::Suite::QuilloViews)));
    storetest::StoreRig rig(household);
    rig.writeSettingsText("selectedRoomName=Living Room\n");
    StoreHandle store = rig.makeStore();
    testsupport::await(store->refreshAll());
    ViewWindow view(*store, QUrl(QStringLiteral("qrc:/Quillo/qml/AlarmsView.qml")));
    const QString alarmSwitch = QStringLiteral("07:00 Living Room alarm");
    ASSERT_TRUE(view.waitForNode(QAccessible::CheckBox, alarmSwitch)) << view.tree();
    view.click(QAccessible::CheckBox, alarmSwitch);
    ASSERT_TRUE(waitUntil([&] { return !household.alarms().constFirst().enabled; }));
    EXPECT_TRUE(waitUntil([&] { return !view.node(QAccessible::CheckBox, alarmSwitch)->state().checked; }));

    view.click(QAccessible::Button, QStringLiteral("Add Alarm…"));
    ASSERT_TRUE(view.waitForNode(QAccessible::SpinBox, QStringLiteral("Minute"))) << view.tree();
    // An hour typed over the one shown counts as soon as Return saves.
    QTest::keyClick(&view.window(), Qt::Key_A, Qt::ControlModifier);
    view.type(QStringLiteral("6"));
    view.node(QAccessible::SpinBox, QStringLiteral("Minute"))->valueInterface()->setCurrentValue(30);
    QTest::keyClick(&view.window(), Qt::Key_Return);
    ASSERT_TRUE(view.waitForNode(QAccessible::CheckBox, QStringLiteral("06:30 Living Room alarm"))) << view.tree();
    EXPECT_EQ(household.alarms().size(), 2);

    // The list is one Tab stop: Space switches its current row, Down and
    // Return edit the next, and back from the editor the keys are on that row.
    QTest::keyClick(&view.window(), Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(&view.window(), Qt::Key_Space);
    const QString early = QStringLiteral("06:30 Living Room alarm");
    ASSERT_TRUE(waitUntil([&] { return !view.node(QAccessible::CheckBox, early)->state().checked; })) << view.tree();
    QTest::keyClick(&view.window(), Qt::Key_Down);
    QTest::keyClick(&view.window(), Qt::Key_Return);
    ASSERT_EQ(store->alarms().draft().alarmID(), u"1");
    QTest::keyClick(&view.window(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return view.window().activeFocusItem()->property("alarmID").toString() == u"1"; }));

    view.click(QAccessible::Button, QStringLiteral("Add Alarm…"));
    ASSERT_TRUE(view.waitForNode(QAccessible::SpinBox, QStringLiteral("Hour")));
    QTest::keyClick(&view.window(), Qt::Key_Escape);
    EXPECT_TRUE(view.waitForNode(QAccessible::Button, QStringLiteral("Add Alarm…")));
    EXPECT_FALSE(store->alarms().draft().isOpen());
}
