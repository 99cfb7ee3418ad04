// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "PlayModeCommands.h"

#include "Commands.h"
#include "JsonOutput.h"

#include <SonosKit/GroupController.h>

#include <QJsonObject>

namespace zonescout {

using SonosKit::GroupController;
using SonosKit::PlayMode;
using SonosKit::Repeat;

namespace {

constexpr std::pair<QLatin1StringView, Repeat> repeatNames[] = {
    {QLatin1StringView("off"), Repeat::off}, {QLatin1StringView("all"), Repeat::all}, {QLatin1StringView("one"), Repeat::one}};

QString repeatName(Repeat repeat)
{
    for (const auto &[name, value] : repeatNames)
        if (value == repeat)
            return name;
    return {};
}

QByteArray onOff(const Options &options, const char *key, bool on)
{
    if (options.json)
        return JsonOutput::document(QJsonObject{{QLatin1StringView(key), on}});
    return on ? QByteArrayLiteral("on\n") : QByteArrayLiteral("off\n");
}

} // namespace

bool isPlayModeCommand(const QString &command)
{
    return command == u"shuffle" || command == u"repeat" || command == u"crossfade";
}

PlayModeRequest playModeRequest(const Options &options)
{
    PlayModeRequest request;
    request.setting = options.command == u"repeat"
        ? PlayModeRequest::Setting::repeat
        : (options.command == u"crossfade" ? PlayModeRequest::Setting::crossfade : PlayModeRequest::Setting::shuffle);
    if (options.arguments.isEmpty())
        return request;
    const QString value = options.arguments.first().trimmed().toLower();
    if (request.setting == PlayModeRequest::Setting::repeat) {
        for (const auto &[name, repeat] : repeatNames)
            if (value == name)
                request.repeat = repeat;
        if (!request.repeat)
            throw UsageError("repeat takes off, all or one, not \"" + options.arguments.first().toStdString() + "\"");
        return request;
    }
    if (value == u"on")
        request.on = true;
    else if (value == u"off")
        request.on = false;
    else
        throw UsageError(
            options.command.toStdString() + " takes on or off, not \"" + options.arguments.first().toStdString() + "\"");
    return request;
}

QCoro::Task<QByteArray> runPlayModeCommand(Options options)
{
    const PlayModeRequest request = playModeRequest(options);
    const GroupController controller(co_await selectedGroup(options));
    if (request.setting == PlayModeRequest::Setting::crossfade) {
        if (request.on) {
            co_await controller.setCrossfade(*request.on);
            co_return QByteArray();
        }
        co_return onOff(options, "crossfade", co_await controller.crossfade());
    }
    // One PlayMode carries both: the other half stays as the player has it.
    PlayMode mode = co_await controller.playMode();
    if (request.shows()) {
        if (request.setting == PlayModeRequest::Setting::shuffle)
            co_return onOff(options, "shuffle", mode.shuffle);
        const QString name = repeatName(mode.repeat);
        co_return options.json ? JsonOutput::document(QJsonObject{{QStringLiteral("repeat"), name}}) : name.toUtf8() + '\n';
    }
    if (request.on)
        mode.shuffle = *request.on;
    else
        mode.repeat = *request.repeat;
    co_await controller.setPlayMode(mode);
    co_return QByteArray();
}

} // namespace zonescout
