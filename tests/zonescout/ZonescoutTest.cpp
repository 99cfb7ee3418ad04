// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "TestAddresses.h"

#include <SonosKit/SonosError.h>
#include <playersim/Household.h>
#include <playersim/SoapMessages.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

using playersim::Household;

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Outcome zonescout(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(ZONESCOUT_PATH), arguments);
    Outcome run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "zonescout did not finish: " << arguments.join(u' ').toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

Household started()
{
    return testsupport::startedHousehold(Household::defaultHousehold(testsupport::firstAddress(testsupport::Suite::Zonescout)));
}

QStringList at(const Household &household, QStringList arguments)
{
    return QStringList{QStringLiteral("--host"), household.addresses().first()} + arguments;
}

QJsonValue json(const Outcome &run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

QJsonObject itemTitled(const QJsonArray &items, const QString &title)
{
    for (const QJsonValue &item : items)
        if (item[QStringLiteral("title")].toString() == title)
            return item.toObject();
    ADD_FAILURE() << "no item " << title.toStdString();
    return {};
}

} // namespace

TEST(Zonescout, ListsAsJsonKeepRoomNamesByteForByteAndCarryProvidersAndNulls)
{
    Household household = started();
    const Outcome run = zonescout(at(household, {"--json", "topology"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty());
    const QJsonArray groups = json(run).toArray();
    ASSERT_EQ(groups.size(), 3);
    QStringList names;
    for (const QJsonValue &group : groups)
        names += group[QStringLiteral("displayName")].toString();
    EXPECT_EQ(names, (QStringList{"Büro 🎧 + 2", "Salon Café + 1", "寝室"}));
    EXPECT_TRUE(run.out.contains("寝室")); // raw UTF-8, not \u escapes

    const QJsonObject salon = groups[1].toObject();
    EXPECT_EQ(salon[QStringLiteral("roomNames")].toArray(), (QJsonArray{"Salon Café", "Küche"}));
    EXPECT_EQ(salon[QStringLiteral("coordinator")][QStringLiteral("host")].toString(), household.addresses().first());

    // And for a person: one line per player, display names in the first column.
    const Outcome text = zonescout(at(household, {"topology"}));
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(text.out).count(u'\n'), 1 + 6);
    EXPECT_TRUE(text.out.contains("Salon Café + 1"));

    const Outcome listed = zonescout(at(household, {"--json", "favorites"}));
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QJsonArray favorites = json(listed).toArray();

    EXPECT_EQ(favorites.size(), household.favorites().size());
    const QJsonObject station = itemTitled(favorites, QStringLiteral("Radio Paradise"));
    EXPECT_EQ(station[QStringLiteral("provider")].toString(), u"TuneIn");
    EXPECT_EQ(station[QStringLiteral("serviceID")].toInt(), 254);
    EXPECT_TRUE(station[QStringLiteral("artist")].isNull());
    EXPECT_FALSE(station[QStringLiteral("isContainer")].toBool());
    const QJsonObject shortcut = itemTitled(favorites, QStringLiteral("Spotify: Made For You"));
    EXPECT_EQ(shortcut[QStringLiteral("uri")].toString(), QString());
    EXPECT_TRUE(itemTitled(favorites, QStringLiteral("Discover Weekly"))[QStringLiteral("isContainer")].toBool());

    // The tracks of a Sonos Playlist, found by its exact title.
    const Outcome tracks = zonescout(at(household, {"--json", "tracks", "Morgenroutine ☀️"}));
    ASSERT_EQ(tracks.exitCode, 0) << tracks.err.toStdString();
    EXPECT_EQ(json(tracks).toArray().size(), 12);
    const Outcome queue = zonescout(at(household, {"--room", "küche", "queue"}));
    ASSERT_EQ(queue.exitCode, 0);
    EXPECT_EQ(QString::fromUtf8(queue.out).count(u'\n'), 1 + household.queueTitles(household.addresses().first()).size());
}

TEST(Zonescout, TextColumnsLineUpWhateverTheRoomsAreCalled)
{
    // ☀️ is two cells wide through its variation selector; U+009B is a
    // terminal's control sequence introducer, legal in XML.
    Household household = testsupport::startedHousehold(Household::fromJson(R"({"householdId": "Sonos_T", "players": [
        {"room": "Sun ☀️"}, {"room": "Plain!"}, {"room": "\u009b2J"}]})",
        QStringLiteral("127.41.7.11")));
    const Outcome run = zonescout(at(household, {"topology"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString out = QString::fromUtf8(run.out);
    EXPECT_TRUE(out.contains(QStringLiteral("\nSun ☀️  Sun ☀️  127.41.7.11  "))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\nPlain!  Plain!  127.41.7.12  "))) << out.toStdString();
    EXPECT_FALSE(out.contains(QChar(0x9b))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\uFFFD2J")));
}

// What each command does to a group is GroupController's and the store's to
// show; here, that zonescout reads its arguments right and reaches the room named.
TEST(Zonescout, ControlCommandsReadTheirArgumentsAndReachTheRoomNamed)
{
    Household household = started();
    const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
    const QString kitchen = household.addressOfRoom(QStringLiteral("Küche"));
    const QStringList room{"--room", "Salon Café"};
    const auto run = [&](const QStringList &arguments) {
        const Outcome outcome = zonescout(at(household, arguments));
        EXPECT_EQ(outcome.exitCode, 0) << arguments.join(u' ').toStdString() << ": " << outcome.err.toStdString();
        return outcome.out;
    };

    EXPECT_TRUE(run(room + QStringList{"play-item", "Radio Paradise"}).isEmpty());
    const QJsonObject status = QJsonDocument::fromJson(run(room + QStringList{"--json", "status"})).object();
    EXPECT_EQ(status[QStringLiteral("title")].toString(), u"Radio Paradise");
    EXPECT_TRUE(status[QStringLiteral("artist")].isNull());
    EXPECT_EQ(status[QStringLiteral("volume")].toInt(), (32 + 24) / 2);
    // A station plays as it comes.
    const Outcome refused = zonescout(at(household, room + QStringList{"shuffle", "on"}));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(SonosKit::SonosError::playModeNotAllowed({}).errorDescription()))
        << refused.err.toStdString();

    // A level for the group, --level-all for every room, a signed change
    // (not an option), and the level read back.
    run(room + QStringList{"volume", "42"});
    EXPECT_EQ(household.log()->calls(QStringLiteral("SetGroupVolume")).back().argument(QStringLiteral("DesiredVolume")), u"42");
    run(room + QStringList{"volume", "--level-all", "30"});
    EXPECT_EQ(std::pair(household.volume(salon), household.volume(kitchen)), std::pair(30, 30));
    run(room + QStringList{"volume", "-5"});
    EXPECT_EQ(household.volume(kitchen), 25);
    run(room + QStringList{"volume", "+7"});
    EXPECT_EQ(run(room + QStringList{"volume"}), "32\n");
    run(room + QStringList{"mute", "on"});
    EXPECT_TRUE(household.isMuted(kitchen));

    EXPECT_EQ(QJsonDocument::fromJson(run(room + QStringList{"--json", "show-tracks", "Discover Weekly"})).array().size(), 30);
    run(room + QStringList{"play-track", "3"});
    EXPECT_EQ(household.trackNumber(salon), 3);
    // Shuffle and repeat share one mode at the player: each keeps the other.
    run(room + QStringList{"shuffle", "on"});
    run(room + QStringList{"repeat", "one"});
    run(room + QStringList{"crossfade", "on"});
    EXPECT_EQ(run(room + QStringList{"shuffle"}) + run(room + QStringList{"crossfade"}), "on\non\n");
    EXPECT_EQ(QJsonDocument::fromJson(run(room + QStringList{"--json", "repeat"})).object()[QStringLiteral("repeat")].toString(),
        u"one");
    run(room + QStringList{"pause"});
    EXPECT_EQ(household.transportState(salon), u"PAUSED_PLAYBACK");
    run(room + QStringList{"toggle"});
    EXPECT_NE(household.transportState(salon), u"PAUSED_PLAYBACK");

    run({"--room", "Salon Café", "join", "寝室"});
    EXPECT_TRUE(run({"topology"}).contains("Salon Café + 2"));
    const Outcome again = zonescout(at(household, {"--room", "Salon Café", "join", "Küche"}));
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains("already in the group")) << again.err.toStdString();
    run({"leave", "寝室"});
    EXPECT_TRUE(run({"topology"}).contains("Salon Café + 1"));

    // Named by a room that does not lead its group, the player leading that
    // group joins.
    run({"--room", "寝室", "join", "Terrasse"});
    const QList<playersim::GroupSnapshot> groups = household.groups();
    const auto bedroomGroup = std::find_if(groups.cbegin(), groups.cend(),
        [&](const auto &group) { return group.coordinator == household.addressOfRoom(QStringLiteral("寝室")); });
    ASSERT_NE(bedroomGroup, groups.cend());
    EXPECT_TRUE(bedroomGroup->members.contains(household.addressOfRoom(QStringLiteral("Büro 🎧"))));
}

// Positions are those `queue` numbers, from 1; each edit is checked against
// the queue it was meant for.
TEST(Zonescout, QueueEditsCountAsTheListNumbers)
{
    Household household = started();
    const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
    const QStringList titles = household.queueTitles(salon);
    const struct {
        QStringList arguments;
        QList<int> order; // of the first entries before any edit
        int exitCode = 0;
        QString says = {};
    } rows[] = {
        {{"queue", "remove", "2"}, {0, 2, 3, 4}},
        {{"queue", "move", "1", "3"}, {2, 3, 0, 4}},
        {{"queue", "move", "4", "1"}, {4, 2, 3, 0}},
        {{"queue", "remove", "15"}, {4, 2, 3, 0}, 1, QStringLiteral("The queue has 14 entries; there is no position 15.")},
    };
    for (const auto &row : rows) {
        const Outcome run = zonescout(at(household, QStringList{"--room", "Küche"} + row.arguments));
        EXPECT_EQ(run.exitCode, row.exitCode) << row.arguments.join(u' ').toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(row.says)) << run.err.toStdString();
        QStringList expected;
        for (int index : row.order)
            expected.append(titles.at(index));
        EXPECT_EQ(household.queueTitles(salon).mid(0, 4), expected) << row.arguments.join(u' ').toStdString();
    }
    const QStringList kitchen{"--room", "Küche"};
    const Outcome saved = zonescout(at(household, kitchen + QStringList{"--json", "queue", "save", "Küchen-Mix 🍳"}));
    EXPECT_EQ(json(saved)[QStringLiteral("playlist")].toString(), household.playlists().last().objectId());
    EXPECT_EQ(household.playlists().last().title, u"Küchen-Mix 🍳");
    EXPECT_EQ(zonescout(at(household, kitchen + QStringList{"queue", "clear"})).exitCode, 0);
    EXPECT_TRUE(household.queueTitles(salon).isEmpty());
    EXPECT_EQ(zonescout(at(household, kitchen + QStringList{"queue", "save", "Nothing"})).exitCode, 1);
}

TEST(Zonescout, InputsAreListedAndPlayOnTheGroup)
{
    Household household = started();
    const QString bedroom = household.addressOfRoom(QStringLiteral("寝室"));
    const QString salon = household.addressOfRoom(QStringLiteral("Salon Café"));
    const QString office = household.addressOfRoom(QStringLiteral("Büro 🎧"));
    const auto run = [&](const QStringList &arguments) {
        const Outcome outcome = zonescout(at(household, arguments));
        EXPECT_EQ(outcome.exitCode, 0) << arguments.join(u' ').toStdString() << ": " << outcome.err.toStdString();
        return outcome.out;
    };
    EXPECT_EQ(QString::fromUtf8(run({"inputs"})), QStringLiteral("Line-In (Büro 🎧)\nTV (Salon Café)\n"));
    const QJsonArray inputs = json(zonescout(at(household, {"--json", "inputs"}))).toArray();
    ASSERT_EQ(inputs.size(), 2);
    EXPECT_EQ(inputs[0][QStringLiteral("uri")].toString(), QStringLiteral("x-rincon-stream:") + household.uuidOf(office));

    // Another room's line-in on this group, then the coordinator's own.
    run({"--room", "寝室", "line-in", "Büro 🎧"});
    EXPECT_EQ(household.currentURI(bedroom), QStringLiteral("x-rincon-stream:") + household.uuidOf(office));
    EXPECT_NE(household.transportState(bedroom), u"STOPPED");
    run({"--room", "Büro 🎧", "line-in"});
    EXPECT_EQ(household.currentURI(office), QStringLiteral("x-rincon-stream:") + household.uuidOf(office));
    run({"--room", "Salon Café", "tv"});
    EXPECT_EQ(household.currentURI(salon), QStringLiteral("x-sonos-htastream:%1:spdif").arg(household.uuidOf(salon)));
    EXPECT_NE(household.transportState(salon), u"STOPPED");
}

TEST(Zonescout, EqShowsEachRoomsSoundAndSetsOneOfARoomsSettings)
{
    Household household = started();
    const auto run = [&](const QStringList &arguments) {
        const Outcome outcome = zonescout(at(household, arguments));
        EXPECT_EQ(outcome.exitCode, 0) << arguments.join(u' ').toStdString() << ": " << outcome.err.toStdString();
        return QString::fromUtf8(outcome.out);
    };
    for (const QStringList &arguments : QList<QStringList>{{"eq", "Salon Café", "bass", "3"}, {"eq", "Salon Café", "night", "on"},
             {"eq", "Küche", "treble", "-10"}, {"eq", "Küche", "LOUDNESS", "off"}})
        EXPECT_TRUE(run(arguments).isEmpty());
    // A row per room; "-" where its player has no such control.
    const QStringList rows = run({"eq"}).split(u'\n', Qt::SkipEmptyParts);
    const auto hasRow = [&](const QString &row) {
        return std::any_of(rows.cbegin(), rows.cend(), [&](const QString &line) { return line.simplified() == row; });
    };
    EXPECT_EQ(rows.first().simplified(), QStringLiteral("ROOM BASS TREBLE LOUDNESS NIGHT SPEECH"));
    EXPECT_TRUE(hasRow(QStringLiteral("Salon Café +3 0 on on off"))) << rows.join(u'\n').toStdString();
    EXPECT_TRUE(hasRow(QStringLiteral("Küche 0 -10 off - -"))) << rows.join(u'\n').toStdString();
    const QJsonArray kitchen = json(zonescout(at(household, {"--json", "eq", "Küche"}))).toArray();
    EXPECT_EQ(kitchen, (QJsonArray{QJsonObject{{"room", "Küche"}, {"bass", 0}, {"treble", -10}, {"loudness", false}}}));
}

TEST(Zonescout, FailuresAreOneLineAndExitOne)
{
    Household household = started();
    playersim::SimServer &first = household.server(household.addresses().first());
    const struct {
        QStringList arguments;
        QStringList says;
        // The first player's topology answer instead of its own.
        std::optional<playersim::Answer> answer;
    } cases[] = {
        {at(household, {"--room", "Nowhere", "status"}),
            {SonosKit::SonosError::roomNotFound(QStringLiteral("Nowhere")).errorDescription()}, {}},
        {at(household, {"play-item", "Deezer Flow"}),
            {QStringLiteral("Play failed: UPnP error 701 "), SonosKit::SonosError::hint(701)}, {}},
        {at(household, {"tracks", "Discover Weekly"}), {QStringLiteral("zonescout show-tracks")}, {}},
        {at(household, {"tracks", "No Such Thing"}), {QStringLiteral("No Such Thing")}, {}},
        {at(household, {"line-in", "Küche"}), {QStringLiteral("\"Küche\" has no line-in")}, {}},
        {at(household, {"eq", "Küche", "speech", "on"}), {QStringLiteral("\"Küche\" has no speech enhancement")}, {}},
        {at(household, {"--room", "寝室", "tv"}), {QStringLiteral("No soundbar with a TV input leads the group \"寝室\"")}, {}},
        {at(household, {"alarm", "add", "7:00", "寝室"}),
            {QStringLiteral("Another alarm is already set for that time in that room.")}, {}},
        {at(household, {"alarm", "off", "77"}), {QStringLiteral("No alarm has the ID \"77\"")}, {}},
        // A player that answers nonsense: a message, not a crash.
        {at(household, {"--json", "topology"}), {QStringLiteral("Could not parse the player's response: ")},
            playersim::Answer{200, "\xff\xfe<<not xml", "text/xml", {}}},
        // Control characters in what a player says never reach the terminal.
        {at(household, {"topology"}), {QStringLiteral("Player returned HTTP 500")},
            playersim::Answer{500, "\x1b]0;owned\x07\x1b[2J<html>boom", "text/html", {}}},
        // Nobody listening there.
        {{"--host", "127.41.5.250", "status"}, {QStringLiteral("Network error talking to the player: ")}, {}},
    };
    for (const auto &each : cases) {
        first.clearFaults();
        if (each.answer)
            first.inject(QStringLiteral("GetZoneGroupState"), {.answer = each.answer});
        const Outcome run = zonescout(each.arguments);
        EXPECT_EQ(run.exitCode, 1) << each.arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(u'\x1b') || run.err.contains(u'\x07')) << run.err.toStdString();
        for (const QString &part : each.says)
            EXPECT_TRUE(run.err.contains(part)) << run.err.toStdString();
    }
}

TEST(Zonescout, UsageErrorsExitTwoWithTheUsage)
{
    // None of these reaches a player: nothing listens on this address.
    const QStringList host{"--host", "127.41.6.11"};
    for (const QStringList &arguments :
        QList<QStringList>{{}, {"dance"}, {"--bogus", "status"}, {"status", "now"}, {"seek"}, {"seek", "soon"}, {"seek", "-5"},
            {"volume", "loud"}, {"volume", "101"}, {"volume", "+1000"}, {"volume", "--level-all"},
            {"volume", "--level-all", "+5"}, {"volume", "30", "40"}, {"mute", "yes"}, {"play-track", "0"},
            {"play-track", "99999999999"}, {"status", "--json"}, {"--host"}, {"events", "--service", "volume"}, {"sleep", "30"},
            {"sleep", "1.5h"}, {"sleep", "15m1h"}, {"sleep", "0m"}, {"sleep", "24h"}, {"sleep", "-30m"}, {"sleep", "30m", "now"},
            {"shuffle", "yes"}, {"repeat", "twice"}, {"crossfade", "on", "off"}, {"tv", "now"}, {"line-in", "A", "B"},
            {"eq", "A", "bass"}, {"eq", "A", "bass", "11"}, {"eq", "A", "volume", "3"}, {"eq", "A", "night", "yes"},
            {"queue", "shuffle"}, {"queue", "remove"}, {"queue", "remove", "0"}, {"queue", "move", "2"},
            {"queue", "move", "1", "x"}, {"queue", "save", " "}, {"queue", "clear", "now"}, {"queue", "save", "A", "B"},
            {"alarms", "now"}, {"alarm", "on"}, {"alarm", "ring", "1"}, {"alarm", "on", "1", "2"}, {"alarm", "add", "24:00", "A"},
            {"alarm", "add", "07:00", "A", "--days", "someday"}, {"alarm", "add", "07:00", "A", "--volume", "101"},
            {"alarm", "add", "07:00", "A", "--duration", "0:00"}, {"alarm", "add", "07:00", "A", "--play"}}) {
        const Outcome run = zonescout(host + arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage: zonescout"))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    for (const QString &address : {QStringLiteral("127.41.6.11:1400"), QStringLiteral("http://127.41.6.11")}) {
        const Outcome run = zonescout({"--host", address, "status"});
        EXPECT_EQ(run.exitCode, 2) << address.toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("zonescout: --host takes"))) << run.err.toStdString();
    }
    const Outcome help = zonescout({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: zonescout"));
}

TEST(Zonescout, SleepSetsReadsAndTurnsOffTheGroupsTimer)
{
    Household household = started();
    const struct {
        const char *length;
        qint64 seconds;
    } lengths[] = {{"30m", 1800}, {"1h", 3600}, {"1h15m", 4500}, {"90s", 90}, {"2h0m30s", 7230}};
    for (const auto &each : lengths) {
        const Outcome run = zonescout(at(household, {"--json", "sleep", each.length}));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QJsonObject timer = json(run).toObject();
        EXPECT_TRUE(timer[QStringLiteral("running")].toBool());
        const qint64 left = timer[QStringLiteral("remainingSeconds")].toInteger();
        EXPECT_TRUE(left <= each.seconds && left > each.seconds - 5) << each.length << ": " << left;
    }
    const Outcome shown = zonescout(at(household, {"sleep"}));
    EXPECT_TRUE(shown.out.startsWith("2:00:") && shown.out.endsWith(" left\n")) << shown.out.toStdString();
    const Outcome off = zonescout(at(household, {"sleep", "off"}));
    EXPECT_EQ(off.out, "no sleep timer runs\n");
    const QJsonObject none = json(zonescout(at(household, {"--json", "sleep"}))).toObject();
    EXPECT_FALSE(none[QStringLiteral("running")].toBool());
    EXPECT_TRUE(none[QStringLiteral("remainingSeconds")].isNull());
}

// An alarm added with every setting reaches the household as asked, is
// listed by time, and switched off and removed by its ID.
TEST(Zonescout, AlarmsAreAddedListedSwitchedAndRemoved)
{
    Household household = started();
    const QList<playersim::SimAlarm> before = household.alarms();
    const Outcome added = zonescout(at(household,
        {"alarm", "add", "6:45", "Küche", "--days", "mon,Wed,fri", "--play", "FIP", "--volume", "30", "--duration", "00:20"}));
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    const QString id = QString::fromUtf8(added.out).trimmed();
    const QList<playersim::SimAlarm> alarms = household.alarms();
    ASSERT_EQ(alarms.size(), before.size() + 1);
    playersim::SimAlarm alarm = alarms.last();
    EXPECT_EQ(QString::number(alarm.id), id);
    EXPECT_EQ(QStringList({alarm.startTime, alarm.duration, alarm.recurrence, alarm.roomUUID, alarm.programURI}),
        QStringList({"06:45:00", "00:20:00", "ON_135", household.uuidOf(household.addressOfRoom(QStringLiteral("Küche"))),
            household.favorites().at(1).uri}));
    EXPECT_EQ(std::pair(alarm.volume, alarm.enabled), std::pair(30, true));

    const QList<QByteArray> lines = zonescout(at(household, {"alarms"})).out.split('\n');
    ASSERT_GE(lines.size(), 4);
    for (const char *column : {"06:45", "Mon, Wed, Fri", "Küche", "FIP", "30", "on"})
        EXPECT_TRUE(lines.at(1).contains(column)) << lines.at(1).toStdString();
    EXPECT_TRUE(lines.at(2).contains("07:00") && lines.at(2).contains("Weekdays")) << lines.at(2).toStdString();

    ASSERT_EQ(zonescout(at(household, {"alarm", "off", id})).exitCode, 0);
    alarm.enabled = false;
    EXPECT_EQ(household.alarms().last(), alarm);
    const QJsonObject listed = json(zonescout(at(household, {"--json", "alarms"}))).toObject();
    EXPECT_EQ(listed[QStringLiteral("version")].toString(), household.alarmListVersion());
    const QJsonObject first = listed[QStringLiteral("alarms")][0].toObject();
    EXPECT_EQ(first[QStringLiteral("room")].toString(), QStringLiteral("Küche"));
    EXPECT_FALSE(first[QStringLiteral("enabled")].toBool());

    ASSERT_EQ(zonescout(at(household, {"alarm", "remove", id})).exitCode, 0);
    EXPECT_EQ(household.alarms(), before);
}
