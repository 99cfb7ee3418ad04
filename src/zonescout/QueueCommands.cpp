// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "QueueCommands.h"

#include "Commands.h"
#include "JsonOutput.h"
#include "TextOutput.h"

#include <SonosKit/ContentDirectory.h>
#include <SonosKit/GroupController.h>
#include <SonosKit/MusicServices.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/Text.h>

#include <limits>

namespace zonescout {

using SonosKit::ContentDirectory;
using SonosKit::GroupController;
using SonosKit::QueuePage;
using SonosKit::SonosError;

namespace {

constexpr std::pair<QLatin1StringView, QueueRequest::Verb> verbs[] = {
    {QLatin1StringView("remove"), QueueRequest::Verb::remove},
    {QLatin1StringView("move"), QueueRequest::Verb::move},
    {QLatin1StringView("clear"), QueueRequest::Verb::clear},
    {QLatin1StringView("save"), QueueRequest::Verb::save},
};

// How many words each verb takes after itself.
int wordsAfter(QueueRequest::Verb verb)
{
    switch (verb) {
    case QueueRequest::Verb::remove:
    case QueueRequest::Verb::save:
        return 1;
    case QueueRequest::Verb::move:
        return 2;
    case QueueRequest::Verb::show:
    case QueueRequest::Verb::clear:
        break;
    }
    return 0;
}

int position(const QString &text)
{
    const std::optional<qint64> number = SonosKit::Text::parseInteger(text);
    if (!number || *number < 1 || *number > ContentDirectory::maximumQueueLength || text.startsWith(u'+'))
        throw UsageError("a queue position counts from 1, as `zonescout queue` numbers them, not \"" + text.toStdString() + "\"");
    return int(*number);
}

// The whole queue, page after page, all at one version: a change between
// two pages starts it over (a few times), as its positions would repeat or
// skip entries, and the positions listed are the ones edits name.
QCoro::Task<QueuePage> wholeQueue(ContentDirectory directory)
{
    constexpr int attempts = 3;
    QueuePage queue;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        queue = {};
        bool changed = false;
        do {
            QueuePage page = co_await directory.queuePage(int(queue.items.size()), ContentDirectory::queuePageLimit);
            changed = !queue.items.isEmpty() && page.updateID != queue.updateID;
            queue.total = page.total;
            queue.updateID = page.updateID;
            if (changed || page.items.isEmpty())
                break;
            queue.items += std::move(page.items);
        } while (queue.items.size() < queue.total);
        if (!changed)
            co_return queue;
    }
    throw CommandError("The queue kept changing while it was read; try again.");
}

void requireEntry(const QueuePage &queue, int position)
{
    if (position > queue.total)
        throw CommandError(queue.total == 0 ? std::string("The queue is empty.")
                                            : "The queue has " + std::to_string(queue.total) + " entries; there is no position "
                    + std::to_string(position) + ".");
}

// Sent against the version just read: an entry moved meanwhile is no
// reason to edit another.
QCoro::Task<void> edit(QCoro::Task<void> task)
{
    try {
        co_await std::move(task);
        co_return;
    } catch (const SonosError &error) {
        if (error.kind() != SonosError::Kind::queueChanged)
            throw;
    }
    throw CommandError("The queue changed on the speaker while zonescout edited it; nothing was changed. "
                       "Run `zonescout queue` and try again.");
}

} // namespace

QueueRequest queueRequest(const Options &options)
{
    QueueRequest request;
    if (options.arguments.isEmpty())
        return request;
    const QString &word = options.arguments.first();
    const auto *found = std::find_if(std::begin(verbs), std::end(verbs), [&](const auto &verb) { return verb.first == word; });
    if (found == std::end(verbs))
        throw UsageError("queue takes remove N, move N M, clear or save TITLE, not \"" + word.toStdString() + "\"");
    request.verb = found->second;
    if (options.arguments.size() - 1 != wordsAfter(request.verb)) {
        static const char *const forms[] = {
            "", "queue remove N", "queue move N M", "queue clear", "queue save TITLE (quote a title with spaces)"};
        throw UsageError(std::string("usage: ") + forms[int(request.verb)]);
    }
    if (request.verb == QueueRequest::Verb::remove || request.verb == QueueRequest::Verb::move)
        request.position = position(options.arguments.at(1));
    if (request.verb == QueueRequest::Verb::move)
        request.to = position(options.arguments.at(2));
    if (request.verb == QueueRequest::Verb::save) {
        request.title = options.arguments.at(1).trimmed();
        if (request.title.isEmpty())
            throw UsageError("queue save needs the playlist's title");
    }
    return request;
}

QCoro::Task<QByteArray> runQueueCommand(Options options)
{
    const QueueRequest request = queueRequest(options);
    const GroupController controller(co_await selectedGroup(options));
    const QString host = controller.group().coordinator.host;
    const ContentDirectory directory(host);
    switch (request.verb) {
    case QueueRequest::Verb::show: {
        const QueuePage queue = co_await wholeQueue(directory);
        const QHash<qint64, QString> services = co_await SonosKit::MusicServices(host).serviceNamesOrEmpty();
        co_return options.json ? JsonOutput::document(JsonOutput::items(queue.items, services))
                               : TextOutput::items(queue.items, services).toUtf8();
    }
    case QueueRequest::Verb::clear:
        co_await controller.clearQueue();
        co_return QByteArray();
    case QueueRequest::Verb::save: {
        if ((co_await directory.queuePage(0, 1)).total == 0)
            throw CommandError("The queue is empty: there is nothing to save.");
        const QString id = co_await controller.saveQueue(request.title);
        co_return options.json ? JsonOutput::document(QJsonObject{{QStringLiteral("playlist"), id}}) : (id + u'\n').toUtf8();
    }
    case QueueRequest::Verb::remove:
    case QueueRequest::Verb::move:
        break;
    }
    const QueuePage queue = co_await directory.queuePage(0, 1);
    requireEntry(queue, request.position);
    if (request.verb == QueueRequest::Verb::remove) {
        co_await edit(controller.removeQueueTrack(request.position - 1, queue.updateID));
    } else {
        requireEntry(queue, request.to);
        co_await edit(controller.moveQueueTrack(request.position - 1, request.to - 1, queue.updateID));
    }
    co_return QByteArray();
}

} // namespace zonescout
