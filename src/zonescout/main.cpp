// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// zonescout: reads and drives a Sonos household from the command line.
// Exit status 0 on success, 1 when the household or the command fails, 2 on a
// command line that cannot be run.

#include "Commands.h"
#include "DoctorCommand.h"
#include "EventsCommand.h"
#include "Options.h"
#include "SleepCommand.h"
#include "Table.h"

#include <SonosKit/BoundedRead.h>
#include <SonosKit/SonosError.h>

#include <QCoreApplication>
#include <QCoroTask>

#include <chrono>
#include <cstdio>
#include <exception>

namespace {

// Requests still under way when the program ends get this long to end.
constexpr std::chrono::milliseconds endingLimit{500};

void write(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Errors are one line on stderr, however the player worded its part, and
// carry no control characters of the player's into the terminal.
void fail(const QString &message)
{
    const QString line = zonescout::Table::printable(message.simplified());
    write(stderr, (line + u'\n').toUtf8());
}

// A slip in one argument gets the synopsis, not thirty lines of help that
// would bury the one line saying what was wrong.
int usageError(const QString &reason)
{
    const QString usage = zonescout::usageText();
    write(stderr,
        (QStringLiteral("zonescout: ") + reason + u'\n' + usage.left(usage.indexOf(u'\n') + 1)
            + QStringLiteral("Run `zonescout --help` for the options and commands.\n"))
            .toUtf8());
    return 2;
}

QCoro::Task<int> run(zonescout::Options options)
{
    try {
        // The one command that runs until interrupted, printing as it goes.
        if (options.command == u"events")
            co_return co_await zonescout::runEvents(std::move(options));
        // Says why nothing is found rather than failing because of it.
        if (options.command == u"doctor") {
            write(stdout, co_await zonescout::runDoctor(std::move(options)));
            co_return 0;
        }
        if (options.command == u"sleep") {
            write(stdout, co_await zonescout::runSleep(std::move(options)));
            co_return 0;
        }
        const QByteArray output = co_await zonescout::runCommand(std::move(options));
        write(stdout, output);
        co_return 0;
    } catch (const SonosKit::SonosError &error) {
        fail(error.errorDescription());
    } catch (const zonescout::UsageError &error) {
        co_return usageError(QString::fromUtf8(error.what()));
    } catch (const zonescout::CommandError &error) {
        fail(QString::fromUtf8(error.what()));
    } catch (const std::exception &error) {
        fail(QStringLiteral("unexpected failure: ") + QString::fromUtf8(error.what()));
    }
    co_return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zonescout"));

    zonescout::Options options;
    try {
        options = zonescout::parseOptions(QCoreApplication::arguments());
        if (!options.help) {
            zonescout::validateArguments(options);
            zonescout::validateSleepArguments(options);
        }
    } catch (const zonescout::UsageError &error) {
        return usageError(QString::fromUtf8(error.what()));
    }
    if (options.help) {
        write(stdout, zonescout::usageText().toUtf8());
        return 0;
    }
    const int code = QCoro::waitFor(run(std::move(options)));
    // Whatever is still under way (an event subscription's farewell) ends
    // before the process does.
    SonosKit::BoundedRead::finish(endingLimit);
    return code;
}
