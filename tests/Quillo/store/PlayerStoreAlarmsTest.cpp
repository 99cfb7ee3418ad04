// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The household's alarms in the store over the simulated household: listed
// earliest first with an alarm of a room not visible kept, one switched on
// with every other alarm left alone, a second alarm at a taken time refused
// with its words and nothing lost, one saved from the editor keeping what
// another app changed meanwhile, another household's list replacing the
// last one's, a change made in another controller reaching the list through
// the events, and the next alarm moving on once it rang.
#include "StoreTestSupport.h"

#include "SonosKit/AlarmClock.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::PlayerStoreAlarms;
const QString living = QStringLiteral("Living Room");

// The store's household with these alarms; its players' IDs begin with
// `uuids` (another household's differ).
playersim::Household householdWith(const QJsonArray &alarms, int slot, const QByteArray &uuids = "RINCON_")
{
    QJsonObject root = QJsonDocument::fromJson(storetest::householdJson()).object();
    root.insert(QStringLiteral("alarms"), alarms);
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Compact).replace("RINCON_", uuids);
    return testsupport::startedHousehold(playersim::Household::fromJson(json, testsupport::firstAddress(block, slot)));
}

QJsonObject alarm(int id, const QString &time, const QString &recurrence, bool enabled, const QString &room)
{
    return {{"id", id}, {"startTime", time}, {"recurrence", recurrence}, {"enabled", enabled}, {"roomUUID", room}};
}

QStringList summaries(const AlarmListModel &list)
{
    QStringList rows;
    for (int row = 0; row < list.rowCount(); ++row)
        rows.append(list.index(row).data(AlarmListModel::SummaryRole).toString());
    return rows;
}

} // namespace

TEST(PlayerStoreAlarms,
    ListedByTimeAnUnknownRoomKeptOneSwitchedOnATakenTimeRefusedWithNothingLostAndAnotherHouseholdsListInItsPlace)
{
    QJsonObject weekdays = alarm(2, "07:00:00", "WEEKDAYS", true, "RINCON_L01400");
    for (const auto &[key, value] :
        {std::pair("duration", QJsonValue("24:30:00")), {"playMode", "REPEAT_ALL"}, {"includeLinkedZones", true}})
        weekdays.insert(QLatin1String(key), value);
    playersim::Household household = householdWith({alarm(1, "09:30:00", "WEEKENDS", false, "RINCON_K01400"), weekdays,
                                                       alarm(3, "06:15:00", "ON_135", true, "RINCON_GONE01400")},
        0);
    storetest::StoreRig rig(household);
    auto store = rig.makeStore();
    storetest::testListModels(*store);
    testsupport::await(store->refreshAll());
    storetest::selectGroupLedBy(*store, living);
    Alarms &alarms = store->alarms();
    ASSERT_TRUE(waitUntil([&] { return alarms.list().count() == 3; }));
    EXPECT_EQ(summaries(alarms.list()),
        QStringList({QStringLiteral("06:15 · Room not available · Mon, Wed, Fri · Chime"),
            QStringLiteral("07:00 · Living Room · Weekdays · Chime"), QStringLiteral("09:30 · Kitchen · Weekends · Chime")}));
    EXPECT_EQ(alarms.list().index(2).data(AlarmListModel::SwitchNameRole).toString(), u"09:30 Kitchen alarm");

    // Switched on: that alarm alone changes, in the household and the row.
    const QList<playersim::SimAlarm> before = household.alarms();
    alarms.setEnabled(QStringLiteral("1"), true);
    ASSERT_TRUE(waitUntil([&] { return !alarms.isBusy() && alarms.list().items().at(2).enabled; }));
    QList<playersim::SimAlarm> expected = before;
    for (playersim::SimAlarm &held : expected)
        held.enabled = held.enabled || held.id == 1;
    EXPECT_EQ(household.alarms(), expected);

    // A second alarm at 07:00 in the Living Room: refused in the user's
    // words, the editor still open with its values, the list unchanged.
    alarms.add();
    AlarmDraft &draft = alarms.draft();
    ASSERT_TRUE(draft.isOpen());
    draft.setHour(7);
    draft.setMinute(0);
    draft.setPreset(AlarmDraft::Preset::EveryDay);
    draft.setVolume(35);
    alarms.save();
    ASSERT_TRUE(waitUntil([&] { return !alarms.isBusy() && !alarms.failureText().isEmpty(); }));
    EXPECT_EQ(alarms.failureText(), u"Another alarm is already set for that time in that room.");
    EXPECT_TRUE(draft.isOpen());
    EXPECT_EQ(
        std::tuple(draft.hour(), draft.minute(), draft.days(), draft.volume()), std::tuple(7, 0, AlarmDraft::everyDayBits, 35));
    EXPECT_EQ(alarms.list().count(), 3);
    EXPECT_EQ(household.alarms(), expected);

    // Moved by five minutes, it is added and the editor closes.
    draft.setMinute(5);
    alarms.save();
    ASSERT_TRUE(waitUntil([&] { return !draft.isOpen() && alarms.list().count() == 4; }));
    EXPECT_EQ(summaries(alarms.list()).at(2), u"07:05 · Living Room · Every day · Chime");
    EXPECT_TRUE(alarms.failureText().isEmpty());
    EXPECT_EQ(household.alarms().size(), 4);

    // Saved from the editor with only its volume changed, after another app
    // switched it off: that alone changes, its long duration included.
    alarms.edit(QStringLiteral("2"));
    expected = household.alarms();
    for (playersim::SimAlarm &held : expected)
        held.enabled = held.enabled && held.id != 2;
    household.setAlarms(expected);
    alarms.reload();
    ASSERT_TRUE(waitUntil([&] { return !alarms.list().items().at(1).enabled; }));
    draft.setVolume(45);
    alarms.save();
    ASSERT_TRUE(waitUntil([&] { return !alarms.isBusy() && !draft.isOpen(); }));
    for (playersim::SimAlarm &held : expected)
        held.volume = held.id == 2 ? 45 : held.volume;
    EXPECT_EQ(household.alarms(), expected);

    // Another household: its own alarms alone, and the editor on one of the
    // last one's closed (the same ID names another alarm there).
    playersim::Household other = householdWith({alarm(2, "05:00:00", "DAILY", true, "RINCON_L01400")}, 2, "RINCON_B");
    alarms.edit(QStringLiteral("2"));
    ASSERT_TRUE(draft.isOpen());
    store->household().retry(other.addresses().constFirst());
    ASSERT_TRUE(waitUntil([&] { return alarms.list().count() == 1; }));
    EXPECT_EQ(summaries(alarms.list()), QStringList(QStringLiteral("05:00 · Living Room · Every day · Chime")));
    EXPECT_FALSE(draft.isOpen());
}

TEST(PlayerStoreAlarms, AChangeInAnotherControllerReachesTheListAndTheNextAlarmMovesOnOnceItRang)
{
    // Rings in a few seconds, then again in an hour.
    const QTime soon = QTime::currentTime().addSecs(4);
    const QTime later = QTime::currentTime().addSecs(3600);
    playersim::Household household = householdWith({alarm(1, soon.toString(u"HH:mm:ss"), "DAILY", true, "RINCON_L01400"),
                                                       alarm(2, later.toString(u"HH:mm:ss"), "DAILY", true, "RINCON_K01400")},
        1);
    storetest::StoreRig rig(household);
    auto store = rig.makeFollowingStore(block, living);
    ASSERT_TRUE(store);
    Alarms &alarms = store->alarms();
    ASSERT_TRUE(waitUntil([&] { return alarms.list().count() == 2; }));
    // A busy machine may have come this far only after it rang.
    if (QTime::currentTime() < soon) {
        EXPECT_EQ(alarms.nextAlarmText(), QStringLiteral("Alarm %1 · Living Room").arg(soon.toString(u"HH:mm")));
    }

    // Switched off elsewhere: the row follows within a second, nothing polled.
    household.log()->clear();
    const SonosKit::AlarmClock elsewhere(household.addresses().constFirst());
    SonosKit::Alarm kitchen = alarms.alarms().at(1);
    ASSERT_EQ(kitchen.id, u"2");
    kitchen.enabled = false;
    testsupport::await(elsewhere.update(kitchen));
    EXPECT_TRUE(waitUntil([&] { return !alarms.list().items().at(1).enabled; }, 1s));
    kitchen.enabled = true;
    testsupport::await(elsewhere.update(kitchen));
    ASSERT_TRUE(waitUntil([&] { return alarms.list().items().at(1).enabled; }, 1s));

    // Once the first rang, the next is the Kitchen's.
    EXPECT_TRUE(waitUntil(
        [&] { return alarms.nextAlarmText() == QStringLiteral("Alarm %1 · Kitchen").arg(later.toString(u"HH:mm")); }, 8s));
    // One read for each change elsewhere, none while nothing changed.
    EXPECT_EQ(household.log()->calls(QStringLiteral("ListAlarms")).size(), 2U);
}
