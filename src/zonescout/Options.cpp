// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Options.h"

#include <QCommandLineParser>
#include <QHash>
#include <QUrl>

#include <string>

namespace zonescout {

namespace {

// How many arguments each command takes: {least, most}.
const QHash<QString, std::pair<int, int>> &commandArity()
{
    static const QHash<QString, std::pair<int, int>> arity{
        {QStringLiteral("topology"), {0, 0}},
        {QStringLiteral("services"), {0, 0}},
        {QStringLiteral("favorites"), {0, 0}},
        {QStringLiteral("playlists"), {0, 0}},
        // remove N, move N M, clear or save TITLE, read by the command.
        {QStringLiteral("queue"), {0, 3}},
        {QStringLiteral("tracks"), {1, 1}},
        {QStringLiteral("status"), {0, 0}},
        {QStringLiteral("play"), {0, 0}},
        {QStringLiteral("pause"), {0, 0}},
        {QStringLiteral("stop"), {0, 0}},
        {QStringLiteral("next"), {0, 0}},
        {QStringLiteral("previous"), {0, 0}},
        {QStringLiteral("toggle"), {0, 0}},
        {QStringLiteral("seek"), {1, 1}},
        // [--level-all] N, +N, -N or nothing, read by the command.
        {QStringLiteral("volume"), {0, 2}},
        {QStringLiteral("mute"), {1, 1}},
        {QStringLiteral("play-item"), {1, 1}},
        {QStringLiteral("show-tracks"), {1, 1}},
        {QStringLiteral("play-track"), {1, 1}},
        {QStringLiteral("join"), {1, 1}},
        {QStringLiteral("leave"), {1, 1}},
        {QStringLiteral("sleep"), {0, 1}},
        {QStringLiteral("inputs"), {0, 0}},
        {QStringLiteral("line-in"), {0, 1}},
        {QStringLiteral("tv"), {0, 0}},
        {QStringLiteral("discover"), {0, 0}},
        {QStringLiteral("doctor"), {0, 0}},
        // --service NAME (up to six), --listen ADDRESS and --proof SECONDS,
        // read by the command.
        {QStringLiteral("events"), {0, 16}},
        {QStringLiteral("shuffle"), {0, 1}},
        {QStringLiteral("repeat"), {0, 1}},
        {QStringLiteral("crossfade"), {0, 1}},
        // [ROOM [SETTING VALUE]], read by the command.
        {QStringLiteral("eq"), {0, 3}},
    };
    return arity;
}

std::string argumentLimit(int most)
{
    if (most == 0)
        return " takes no argument";
    if (most == 1)
        return " takes one argument";
    return " takes at most " + std::to_string(most) + " arguments";
}

} // namespace

QString usageText()
{
    return QStringLiteral("Usage: zonescout [--host ADDRESS | --household ID] [--room NAME] [--json] COMMAND [ARG]\n"
                          "\n"
                          "Options (before the command):\n"
                          "  --host ADDRESS   the player to ask (port 1400); without it the household is discovered\n"
                          "  --household ID   the household to discover when several share the network (its id as\n"
                          "                   `discover` lists it); without it the one with most rooms\n"
                          "  --room NAME      the group that holds this room; without it the first group\n"
                          "  --json           one JSON document on stdout instead of text for a person\n"
                          "\n"
                          "Reading:\n"
                          "  topology         groups, rooms and players\n"
                          "  services         the household's music services\n"
                          "  favorites        Sonos Favorites\n"
                          "  playlists        Sonos Playlists\n"
                          "  queue            the group's queue, numbered from 1\n"
                          "  tracks ITEM      the tracks of a favorite or playlist (its id or exact title)\n"
                          "  status           what the group is playing\n"
                          "  inputs           the household's line-ins and TV inputs\n"
                          "  eq [ROOM]        each room's bass, treble, loudness, night sound and speech\n"
                          "                   enhancement (\"-\" where its player has none); one room's with ROOM\n"
                          "  discover         the households on this network, each with its id, generation (S1 or\n"
                          "                   S2), rooms and the players that answered for it; with --household\n"
                          "                   that one only\n"
                          "  doctor           why no speaker is found: the likely cause, its fix and a report\n"
                          "                   for a bug (checks --host when given); always exits 0\n"
                          "  events [--service NAME]... [--listen ADDRESS] [--proof SECONDS]\n"
                          "                   subscribe to the player's events (--host, else the group's\n"
                          "                   coordinator) and print each as one JSON line until Ctrl-C or\n"
                          "                   SIGTERM, which unsubscribe; NAME: avtransport, rendering,\n"
                          "                   grouprendering, topology, contentdirectory, queue (all by\n"
                          "                   default);\n"
                          "                   ADDRESS: where the player sends them (default: this machine's\n"
                          "                   address toward the player), on a port from 1400 to 1409;\n"
                          "                   every SECONDS (45; 0: never) a fresh subscription proves\n"
                          "                   that events still arrive\n"
                          "\n"
                          "Control:\n"
                          "  play | pause | stop | next | previous | toggle\n"
                          "  seek SECONDS     jump within the current track\n"
                          "  volume [N|+N|-N] show, set or change the group volume; N scales every room\n"
                          "                   alike, keeping the balance between them; +N and -N change\n"
                          "                   each room by N\n"
                          "  volume --level-all N\n"
                          "                   every room of the group at N\n"
                          "  mute on|off\n"
                          "  play-item ITEM   play a favorite or playlist\n"
                          "  show-tracks ITEM load it into the queue (replacing the queue) and list it\n"
                          "  play-track N     play queue position N, counting from 1 as `queue` lists it\n"
                          "  queue remove N   take entry N out of the queue\n"
                          "  queue move N M   move entry N to position M\n"
                          "  queue clear      empty the queue\n"
                          "  queue save TITLE save the queue as a new Sonos Playlist and print its id\n"
                          "  join ROOM        the player leading ROOM's group joins this group\n"
                          "  leave ROOM       take ROOM's player out of its group\n"
                          "  sleep [LENGTH|off]\n"
                          "                   show the group's sleep timer, or set it to LENGTH (30m, 1h,\n"
                          "                   1h15m, 90s; up to 23h59m59s) or turn it off; the group\n"
                          "                   pauses when it runs out\n"
                          "  shuffle [on|off] show or set the group's shuffle\n"
                          "  repeat [off|all|one]\n"
                          "                   show or set the group's repeat: the queue, or its current track\n"
                          "  crossfade [on|off]\n"
                          "                   show or set crossfading between tracks\n"
                          "  line-in [ROOM]   play ROOM's line-in on the group; without ROOM, the line-in\n"
                          "                   of the group's coordinator\n"
                          "  tv               play the TV of the soundbar that leads the group\n"
                          "  eq ROOM bass N | treble N | loudness on|off | night on|off | speech on|off\n"
                          "                   set ROOM's bass or treble (-10 to 10), loudness, or on a\n"
                          "                   home-theatre player its night sound or speech enhancement\n");
}

Options parseOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Everything after the command is the command's, dashes included.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption hostOption(QStringLiteral("host"), QString(), QStringLiteral("ADDRESS"));
    const QCommandLineOption householdOption(QStringLiteral("household"), QString(), QStringLiteral("ID"));
    const QCommandLineOption roomOption(QStringLiteral("room"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({hostOption, householdOption, roomOption, jsonOption, helpOption});

    if (!parser.parse(arguments))
        throw UsageError(parser.errorText().toStdString());

    Options options;
    options.help = parser.isSet(helpOption);
    options.json = parser.isSet(jsonOption);
    if (parser.values(hostOption).size() > 1 || parser.values(roomOption).size() > 1 || parser.values(householdOption).size() > 1)
        throw UsageError("--host, --household and --room may each be given once");
    if (parser.isSet(householdOption)) {
        // A typed player belongs to the household it belongs to.
        if (parser.isSet(hostOption))
            throw UsageError("--household picks among discovered households; with --host the player's own is used");
        options.household = parser.value(householdOption).trimmed();
        if (options.household->isEmpty())
            throw UsageError("--household needs a household's id, as `zonescout discover` lists it");
    }
    if (parser.isSet(hostOption)) {
        options.host = parser.value(hostOption).trimmed();
        if (options.host->isEmpty())
            throw UsageError("--host needs a player's address");
        // Caught here, "192.168.1.20:1400" or "http://…" is a usage mistake;
        // later it would read as a player's unreadable answer.
        QUrl url;
        url.setHost(*options.host, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            throw UsageError("--host takes a player's name or IP address alone (no scheme, port or path), not \""
                + options.host->toStdString() + "\"");
    }
    if (parser.isSet(roomOption)) {
        options.room = parser.value(roomOption);
        if (options.room->trimmed().isEmpty())
            throw UsageError("--room needs a room name");
    }
    if (options.help)
        return options;

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        throw UsageError("no command given");
    options.command = positional.takeFirst();
    options.arguments = positional;

    const auto arity = commandArity().constFind(options.command);
    if (arity == commandArity().constEnd())
        throw UsageError("unknown command \"" + options.command.toStdString() + "\"");
    if (options.household && options.command == u"doctor")
        throw UsageError("doctor looks at every player it finds; --household does not apply to it");
    const auto [least, most] = *arity;
    if (options.arguments.size() < least)
        throw UsageError(options.command.toStdString() + " needs an argument");
    if (options.arguments.size() > most)
        throw UsageError(
            options.command.toStdString() + argumentLimit(most) + " (options go before the command; quote names with spaces)");
    return options;
}

} // namespace zonescout
