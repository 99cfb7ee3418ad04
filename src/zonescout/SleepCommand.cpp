// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SleepCommand.h"

#include "Commands.h"
#include "JsonOutput.h"

#include <SonosKit/GroupController.h>
#include <SonosKit/Text.h>

#include <QJsonObject>
#include <QRegularExpression>

namespace zonescout {

namespace {

const QString offArgument = QStringLiteral("off");

} // namespace

std::chrono::seconds sleepLength(const QString &text)
{
    if (text == offArgument)
        return std::chrono::seconds::zero();
    static const QRegularExpression pattern(QStringLiteral("^(?:(\\d{1,2})h)?(?:(\\d{1,4})m)?(?:(\\d{1,5})s)?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (text.isEmpty() || !match.hasMatch())
        throw UsageError("sleep takes a length such as 30m, 1h, 1h15m or 90s, or off, not \"" + text.toStdString() + "\"");
    const auto part = [&match](int index) { return SonosKit::Text::parseInteger(match.capturedView(index)).value_or(0); };
    const std::chrono::seconds length = std::chrono::hours(part(1)) + std::chrono::minutes(part(2))
        + std::chrono::seconds(part(3));
    if (length <= std::chrono::seconds::zero())
        throw UsageError("sleep " + text.toStdString() + " is no time at all; sleep off turns a timer off");
    if (length > SonosKit::SleepTimer::longest)
        throw UsageError("a sleep timer runs for at most 23h59m59s, not " + text.toStdString());
    return length;
}

void validateSleepArguments(const Options &options)
{
    if (options.command == u"sleep" && !options.arguments.isEmpty())
        sleepLength(options.arguments.first());
}

QCoro::Task<QByteArray> runSleep(Options options)
{
    const std::optional<std::chrono::seconds> length = options.arguments.isEmpty()
        ? std::nullopt
        : std::optional(sleepLength(options.arguments.first()));
    const SonosKit::GroupController controller(co_await selectedGroup(options));
    if (length)
        co_await controller.configureSleepTimer(*length);
    const SonosKit::SleepTimer timer = co_await controller.sleepTimer();
    if (options.json) {
        co_return JsonOutput::document(QJsonObject{{"running", timer.remaining.has_value()},
            {"remainingSeconds", timer.remaining ? QJsonValue(qint64(timer.remaining->count())) : QJsonValue()},
            {"generation", qint64(timer.generation)}});
    }
    if (!timer.remaining)
        co_return QByteArrayLiteral("no sleep timer runs\n");
    co_return (SonosKit::Text::clock(timer.remaining->count()) + QStringLiteral(" left\n")).toUtf8();
}

} // namespace zonescout
