// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SharedHousehold.h"

#include <SonosKit/AlarmClock.h>
#include <SonosKit/NextAlarm.h>
#include <SonosKit/SonosError.h>
#include <playersim/SoapMessages.h>

#include <gtest/gtest.h>

#include <QTimeZone>

using namespace SonosKit;
using testsupport::await;
using testsupport::failureOf;
using namespace Qt::Literals::StringLiterals;

namespace {

using Alarms = testsupport::SharedHousehold<testsupport::Suite::Alarms>;

playersim::SimAlarm simAlarm(
    int id, const QString &time, const QString &room, const QString &recurrence = QStringLiteral("DAILY"))
{
    playersim::SimAlarm alarm;
    alarm.id = id;
    alarm.startTime = time;
    alarm.roomUUID = room;
    alarm.recurrence = recurrence;
    return alarm;
}

QStringList argumentsOf(const playersim::SoapCall &call)
{
    QStringList texts;
    for (const auto &[name, value] : call.arguments)
        texts.append(name + QLatin1Char('=') + value);
    return texts;
}

} // namespace

// Switching one alarm on sends every other field back exactly as the list
// gave it, and leaves the other alarms alone.
TEST_F(Alarms, SwitchingOneOnRewritesOnlyThatAlarm)
{
    const QString host = household.addresses().first();
    playersim::SimAlarm odd = simAlarm(4, QStringLiteral("06:05:00"), household.uuidOf(host), QStringLiteral("ON_135"));
    odd.enabled = false;
    odd.duration = QStringLiteral("00:45:00");
    odd.programURI = QStringLiteral("x-sonosapi-stream:s13606?sid=254&flags=8224&sn=0");
    odd.programMetaData = QStringLiteral("<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><item id=\"F&amp;1\">"
                                         "<dc:title>Café &lt;Paradise&gt; 📻</dc:title></item></DIDL-Lite>");
    odd.includeLinkedZones = true;
    const playersim::SimAlarm other = simAlarm(9, QStringLiteral("22:00:00"), household.uuidOf(host));
    household.setAlarms({other, odd});

    const AlarmClock clock(host);
    const AlarmList list = await(clock.list());
    ASSERT_EQ(list.alarms.size(), 2);
    EXPECT_EQ(list.version, household.alarmListVersion());
    Alarm alarm = list.alarms.at(1);
    EXPECT_EQ(alarm.programTitle(), QStringLiteral("Café <Paradise> 📻"));
    EXPECT_EQ(alarm.recurrence.displayText(QLocale(QLocale::English)), QStringLiteral("Mon, Wed, Fri"));
    alarm.enabled = true;
    await(clock.update(alarm));

    const std::vector<playersim::SoapCall> sent = household.log()->calls(QStringLiteral("UpdateAlarm"));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(argumentsOf(sent.front()),
        (QStringList{u"ID=4"_s, u"StartLocalTime=06:05:00"_s, u"Duration=00:45:00"_s, u"Recurrence=ON_135"_s, u"Enabled=1"_s,
            u"RoomUUID="_s + odd.roomUUID, u"ProgramURI="_s + odd.programURI, u"ProgramMetaData="_s + odd.programMetaData,
            u"PlayMode=SHUFFLE_NOREPEAT"_s, u"Volume=20"_s, u"IncludeLinkedZones=1"_s}));
    odd.enabled = true;
    EXPECT_EQ(household.alarms(), (QList<playersim::SimAlarm>{other, odd}));
    EXPECT_NE(await(clock.list()).version, list.version);
}

// An alarm at a time its room already has is refused in the user's words,
// added or moved there, and the list stays as it was; the others go through.
// A once alarm rings once.
TEST_F(Alarms, ADuplicateTimeIsRefusedAndNothingIsLost)
{
    const QString host = household.addresses().first();
    const QString room = household.uuidOf(household.addressOfRoom(QStringLiteral("Küche")));
    household.setAlarms({simAlarm(1, QStringLiteral("07:00:00"), room), simAlarm(2, QStringLiteral("08:00:00"), room)});
    const QList<playersim::SimAlarm> before = household.alarms();
    const AlarmClock clock(host);

    Alarm fresh;
    fresh.roomUUID = room;
    fresh.startTime = QTime(7, 0);
    fresh.recurrence = Recurrence::weekends();
    const std::optional<SonosError> taken = failureOf<SonosError>(clock.create(fresh));
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->kind(), SonosError::Kind::alarmTimeTaken);
    EXPECT_EQ(taken->errorDescription(), QStringLiteral("Another alarm is already set for that time in that room."));
    Alarm moved = await(clock.list()).alarms.at(1);
    moved.startTime = QTime(7, 0);
    EXPECT_EQ(failureOf<SonosError>(clock.update(moved))->kind(), SonosError::Kind::alarmTimeTaken);
    EXPECT_EQ(household.alarms(), before);

    fresh.startTime = QTime(6, 30);
    const QString id = await(clock.create(fresh));
    EXPECT_EQ(household.alarms().size(), 3);
    await(clock.destroy(id));
    EXPECT_EQ(household.alarms(), before);

    // Rung, a once alarm plays the chime in its room, out of its group and at
    // its volume, and switches itself off. The removed alarm's ID names none.
    fresh.recurrence = Recurrence::once();
    fresh.enabled = true;
    const QString once = await(clock.create(fresh));
    EXPECT_EQ(failureOf<SonosError>(clock.destroy(id))->kind(), SonosError::Kind::upnpFault);
    const QString version = household.alarmListVersion();
    ASSERT_TRUE(household.ringAlarm(once));
    const QString kitchen = household.addressOfRoom(QStringLiteral("Küche"));
    EXPECT_EQ(household.currentURI(kitchen), Alarm::chimeURI);
    EXPECT_TRUE(testsupport::waitUntil([&] { return household.transportState(kitchen) == u"PLAYING"_s; }));
    EXPECT_EQ(household.volume(kitchen), fresh.volume);
    EXPECT_EQ(groupOf(u"Küche"_s).members.size(), 1);
    EXPECT_FALSE(household.alarms().last().enabled);
    EXPECT_NE(household.alarmListVersion(), version);
}

// Every form of the days is read, shown and written back as it came; an
// alarm with a field it cannot read is kept as it is, and a hostile or
// oversized list is refused whole, from the player as from a text.
TEST_F(Alarms, TheListKeepsEveryAlarmAndRefusesAHostileOne)
{
    const struct {
        const char *wire, *shown;
        QList<Qt::DayOfWeek> days;
    } forms[] = {{"ONCE", "Once", {}},
        {"WEEKDAYS", "Weekdays", {Qt::Monday, Qt::Tuesday, Qt::Wednesday, Qt::Thursday, Qt::Friday}},
        {"WEEKENDS", "Weekends", {Qt::Saturday, Qt::Sunday}}, {"DAILY", "Every day", {}}, {"ON_135", "Mon, Wed, Fri", {}},
        {"ON_0123456", "Every day", {}}, {"ON_54321", "Weekdays", {}}, {"ON_06", "Weekends", {Qt::Saturday, Qt::Sunday}},
        {"ON_0", "Sun", {Qt::Sunday}}};
    QString document = QStringLiteral("<Alarms>");
    for (const auto &form : forms)
        document += QStringLiteral(
            "<Alarm ID=\"%1\" StartTime=\"07:00:00\" Duration=\"01:00:00\" Recurrence=\"%1\" Enabled=\"1\" "
            "RoomUUID=\"R\" ProgramURI=\"x-rincon-buzzer:0\" ProgramMetaData=\"\" PlayMode=\"NORMAL\" "
            "Volume=\"05\" IncludeLinkedZones=\"0\"/>")
                        .arg(QLatin1StringView(form.wire));
    document += QStringLiteral("<Alarm ID=\"odd\" StartTime=\"7:00\" Duration=\"01:00:00\" Recurrence=\"ON_9\" Enabled=\"yes\" "
                               "Volume=\"loud\" IncludeLinkedZones=\"0\"/></Alarms>");
    const QList<Alarm> alarms = AlarmClock::parseAlarms(document);
    ASSERT_EQ(alarms.size(), std::size(forms) + 1);
    for (qsizetype i = 0; i < qsizetype(std::size(forms)); ++i) {
        const Alarm &alarm = alarms.at(i);
        EXPECT_TRUE(alarm.readable) << forms[i].wire;
        EXPECT_EQ(alarm.recurrence.displayText(QLocale(QLocale::English)), QLatin1StringView(forms[i].shown));
        EXPECT_EQ(alarm.arguments().at(2).second, QLatin1StringView(forms[i].wire));
        EXPECT_EQ(std::pair(alarm.volume, alarm.arguments().at(8).second), std::pair(5, u"05"_s));
        if (!forms[i].days.isEmpty()) {
            EXPECT_EQ(alarm.recurrence.days(), forms[i].days) << forms[i].wire;
        }
    }
    EXPECT_EQ(alarms.at(4).recurrence.displayText(QLocale(QLocale::German)), QStringLiteral("Mo., Mi., Fr."));
    const Alarm &odd = alarms.last();
    EXPECT_FALSE(odd.readable);
    EXPECT_EQ(std::pair(odd.recurrence.isKnown(), odd.recurrence.displayText()), std::pair(false, u"ON_9"_s));
    EXPECT_EQ(odd.arguments().mid(0, 4),
        (SOAPClient::Arguments{{u"StartLocalTime"_s, u"7:00"_s}, {u"Duration"_s, u"01:00:00"_s}, {u"Recurrence"_s, u"ON_9"_s},
            {u"Enabled"_s, u"yes"_s}}));
    EXPECT_EQ(odd.arguments().at(8).second, QStringLiteral("loud"));

    // An alarm of a room the household no longer shows is listed as it is.
    const QString gone = QStringLiteral("RINCON_000E58FFFFFF01400");
    household.setAlarms({simAlarm(3, QStringLiteral("05:00:00"), gone)});
    const AlarmClock clock(household.addresses().first());
    EXPECT_EQ(await(clock.list()).alarms.value(0).roomUUID, gone);

    QString many = QStringLiteral("<Alarms>");
    for (int i = 0; i <= AlarmClock::maximumAlarms; ++i)
        many += QStringLiteral("<Alarm ID=\"%1\"/>").arg(i);
    const QString hostile[] = {
        QStringLiteral(
            "<!DOCTYPE a [<!ENTITY x \"xxxxxxxxxx\"><!ENTITY y \"&x;&x;&x;&x;\">]><Alarms><Alarm ID=\"&y;\"/></Alarms>"),
        many + QStringLiteral("</Alarms>"), QStringLiteral("<Alarms><Alarm StartTime=\"07:00:00\"/></Alarms>"),
        QStringLiteral("<Queue><Alarm ID=\"1\"/></Queue>")};
    for (const QString &text : hostile) {
        household.server(clock.client.host)
            .inject(QStringLiteral("ListAlarms"),
                playersim::Fault{.answer = playersim::soapResponse(u"urn:schemas-upnp-org:service:AlarmClock:1"_s,
                                     u"ListAlarms"_s, {{u"CurrentAlarmList"_s, text}, {u"CurrentAlarmListVersion"_s, u"v"_s}})});
        EXPECT_EQ(failureOf<SonosError>(clock.list())->kind(), SonosError::Kind::malformedResponse)
            << text.left(60).toStdString();
    }
    // A new alarm's ID: none, or no ID's length.
    for (const QString &assigned : {QString(), QString(65, u'7')}) {
        household.server(clock.client.host)
            .inject(u"CreateAlarm"_s,
                playersim::Fault{.answer = playersim::soapResponse(u"urn:schemas-upnp-org:service:AlarmClock:1"_s,
                                     u"CreateAlarm"_s, {{u"AssignedID"_s, assigned}})});
        EXPECT_EQ(failureOf<SonosError>(clock.create(Alarm{}))->kind(), SonosError::Kind::malformedResponse);
    }
}

// The next alarm, in Berlin's time: over midnight and the week's end, a
// once alarm, ties, and both changes of daylight saving time.
TEST(NextAlarm, RingsAtTheNextTimeItsDaysAllowAcrossEveryBoundary)
{
    const QTimeZone berlin("Europe/Berlin");
    ASSERT_TRUE(berlin.isValid());
    const auto alarm = [](const char *id, QTime time, Recurrence days, bool enabled = true, bool readable = true) {
        Alarm a;
        a.id = QLatin1StringView(id);
        a.startTime = time;
        a.recurrence = days;
        a.enabled = enabled;
        a.readable = readable;
        return a;
    };
    const struct {
        const char *what;
        QDateTime now;
        QList<Alarm> alarms;
        const char *id; // none: nothing rings
        QDateTime utc;
    } rows[] = {
        {"over midnight", QDateTime({2026, 12, 9}, {23, 30}, berlin),
            {alarm("1", {0, 15}, Recurrence::daily()), alarm("2", {23, 0}, Recurrence::daily())}, "1",
            QDateTime({2026, 12, 9}, {23, 15}, Qt::UTC)},
        {"Sunday to Monday", QDateTime({2026, 12, 13}, {10, 0}, berlin),
            {alarm("1", {7, 0}, Recurrence::weekdays()), alarm("2", {9, 0}, Recurrence::onDays({Qt::Sunday}))}, "1",
            QDateTime({2026, 12, 14}, {6, 0}, Qt::UTC)},
        {"a week ahead", QDateTime({2026, 12, 13}, {10, 0}, berlin), {alarm("2", {9, 0}, Recurrence::onDays({Qt::Sunday}))}, "2",
            QDateTime({2026, 12, 20}, {8, 0}, Qt::UTC)},
        {"once, passed today", QDateTime({2026, 12, 9}, {8, 0}, berlin),
            {alarm("1", {7, 0}, Recurrence::once()), alarm("2", {6, 0}, Recurrence::daily(), false)}, "1",
            QDateTime({2026, 12, 10}, {6, 0}, Qt::UTC)},
        {"a tie goes by ID", QDateTime({2026, 12, 9}, {8, 0}, berlin),
            {alarm("10", {9, 0}, Recurrence::once()), alarm("9", {9, 0}, Recurrence::daily())}, "9",
            QDateTime({2026, 12, 9}, {8, 0}, Qt::UTC)},
        {"none enabled, or on days unknown", QDateTime({2026, 12, 9}, {8, 0}, berlin),
            {alarm("1", {9, 0}, Recurrence::daily(), false), alarm("2", {9, 0}, Recurrence::asListed(u"ON_9"))}, nullptr, {}},
        {"an unreadable volume rings all the same", QDateTime({2026, 12, 9}, {8, 0}, berlin),
            {alarm("1", {9, 0}, Recurrence::daily(), true, false)}, "1", QDateTime({2026, 12, 9}, {8, 0}, Qt::UTC)},
        {"skipped hour", QDateTime({2026, 3, 28}, {23, 0}, berlin), {alarm("1", {2, 30}, Recurrence::daily())}, "1",
            QDateTime({2026, 3, 29}, {1, 0}, Qt::UTC)},
        {"after spring forward", QDateTime({2026, 3, 28}, {23, 0}, berlin), {alarm("1", {7, 0}, Recurrence::weekends())}, "1",
            QDateTime({2026, 3, 29}, {5, 0}, Qt::UTC)},
        {"repeated hour, first", QDateTime({2026, 10, 25}, {0, 0}, berlin), {alarm("1", {2, 30}, Recurrence::daily())}, "1",
            QDateTime({2026, 10, 25}, {0, 30}, Qt::UTC)},
        {"repeated hour, once", QDateTime({2026, 10, 25}, {0, 45}, Qt::UTC).toTimeZone(berlin),
            {alarm("1", {2, 30}, Recurrence::daily())}, "1", QDateTime({2026, 10, 26}, {1, 30}, Qt::UTC)},
    };
    for (const auto &row : rows) {
        const std::optional<NextAlarm> next = nextAlarm(row.alarms, row.now);
        ASSERT_EQ(next.has_value(), row.id != nullptr) << row.what;
        if (!next)
            continue;
        EXPECT_EQ(next->alarm.id, QLatin1StringView(row.id)) << row.what;
        EXPECT_EQ(next->when.toUTC(), row.utc) << row.what << ' ' << next->when.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(next->when.timeZone(), berlin) << row.what;
    }
}
