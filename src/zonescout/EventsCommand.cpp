// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

#include "EventsCommand.h"

#include "Commands.h"
#include "JsonOutput.h"
#include "Table.h"

#include <SonosKit/SonosError.h>
#include <SonosKit/events/EventListener.h>
#include <SonosKit/events/EventSubscription.h>
#include <SonosKit/events/PathProof.h>

#include <QCoroSignal>
#include <QJsonDocument>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace zonescout {

using SonosKit::EventService;
using SonosKit::EventSubscription;

namespace {

struct ServiceChoice {
    const char *name;
    EventService service;
};
constexpr ServiceChoice serviceChoices[] = {
    {"avtransport", EventService::avTransport},
    {"rendering", EventService::renderingControl},
    {"grouprendering", EventService::groupRenderingControl},
    {"topology", EventService::zoneGroupTopology},
    {"contentdirectory", EventService::contentDirectory},
    {"queue", EventService::queue},
    {"alarmclock", EventService::alarmClock},
};

QJsonValue orNull(const std::optional<QString> &text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

void writeLine(FILE *stream, const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stream);
    std::fputc('\n', stream);
    // Read line by line by scripts and tests while the command runs.
    std::fflush(stream);
}

void note(const QString &text)
{
    writeLine(stderr, (QStringLiteral("zonescout: ") + Table::printable(text.simplified())).toUtf8());
}

// Passes the notifier's signal on as a plain one: awaiting a signal that
// carries QPrivateSignal binds a null reference inside QCoro.
class TerminationRequest : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void requested();
};

// SIGINT and SIGTERM end the command through the event loop, so that the
// subscriptions are ended first: the handler only writes a byte into a
// socket pair that a QSocketNotifier watches.
class TerminationWatch
{
public:
    TerminationWatch()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_fds) != 0)
            throw SonosKit::SonosError::network({SonosKit::NetworkFailure::Source::posix, errno,
                QStringLiteral("Could not watch for Ctrl-C: %1").arg(qt_error_string(errno))});
        notifier = std::make_unique<QSocketNotifier>(s_fds[1], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &request, &TerminationRequest::requested);
        struct sigaction action = {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t written = ::write(s_fds[0], &byte, 1);
        };
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &action, nullptr);
        ::sigaction(SIGTERM, &action, nullptr);
    }
    ~TerminationWatch()
    {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        notifier.reset();
        ::close(s_fds[0]);
        ::close(s_fds[1]);
    }
    TerminationWatch(const TerminationWatch &) = delete;
    TerminationWatch &operator=(const TerminationWatch &) = delete;

    TerminationRequest request;
    std::unique_ptr<QSocketNotifier> notifier;

private:
    static inline int s_fds[2] = {-1, -1};
};

} // namespace

EventsOptions parseEventsArguments(const QStringList &arguments)
{
    EventsOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument != u"--service" && argument != u"--listen" && argument != u"--proof")
            throw UsageError(
                "events takes --service NAME, --listen ADDRESS and --proof SECONDS, not \"" + argument.toStdString() + "\"");
        if (i + 1 >= arguments.size())
            throw UsageError(argument.toStdString() + " needs a value");
        const QString value = arguments[++i];
        if (argument == u"--proof") {
            bool ok = false;
            const uint seconds = value.toUInt(&ok);
            // A day at most: the proof's timer counts milliseconds.
            if (!ok || seconds > 24 * 60 * 60)
                throw UsageError("--proof takes a number of seconds (0: no proof), not \"" + value.toStdString() + "\"");
            options.proofInterval = std::chrono::seconds(seconds);
            continue;
        }
        if (argument == u"--listen") {
            const QHostAddress address(value);
            if (address.isNull() || address.protocol() != QAbstractSocket::IPv4Protocol)
                throw UsageError("--listen takes an IPv4 address of this machine, not \"" + value.toStdString() + "\"");
            options.listenAddress = address;
            continue;
        }
        const auto choice = std::find_if(std::begin(serviceChoices), std::end(serviceChoices),
            [&](const ServiceChoice &c) { return value == QLatin1StringView(c.name); });
        if (choice == std::end(serviceChoices))
            throw UsageError(
                "--service takes avtransport, rendering, grouprendering, topology, contentdirectory, queue or alarmclock, "
                "not \""
                + value.toStdString() + "\"");
        if (!options.services.contains(choice->service))
            options.services.append(choice->service);
    }
    if (options.services.isEmpty()) {
        for (const ServiceChoice &choice : serviceChoices)
            options.services.append(choice.service);
    }
    return options;
}

QJsonObject eventJson(EventService service, const QString &player, quint32 sequence, const SonosKit::ServiceEvent &event)
{
    QJsonObject line{{QStringLiteral("service"), SonosKit::serviceName(service)}, {QStringLiteral("player"), player},
        {QStringLiteral("seq"), qint64(sequence)}};
    const auto put = [&line](const char *name, const auto &value) {
        if (value)
            line.insert(QLatin1StringView(name), *value);
    };
    std::visit(
        [&](const auto &e) {
            using T = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<T, SonosKit::TransportEvent>) {
                if (e.transportState)
                    line.insert(QStringLiteral("transportState"), SonosKit::rawValue(*e.transportState));
                if (e.track) {
                    line.insert(QStringLiteral("track"),
                        QJsonObject{{QStringLiteral("title"), orNull(e.track->title)},
                            {QStringLiteral("artist"), orNull(e.track->artist)},
                            {QStringLiteral("album"), orNull(e.track->album)},
                            {QStringLiteral("albumArtURI"), orNull(e.track->albumArtURI)}});
                }
                if (e.durationSeconds) {
                    line.insert(QStringLiteral("durationSeconds"),
                        *e.durationSeconds ? QJsonValue(**e.durationSeconds) : QJsonValue(QJsonValue::Null));
                }
                put("trackNumber", e.trackNumber);
                put("trackURI", e.trackURI);
                put("transportURI", e.transportURI);
                if (e.queueUpdateID)
                    line.insert(QStringLiteral("queueUpdateID"), qint64(*e.queueUpdateID));
            } else if constexpr (std::is_same_v<T,
                                     SonosKit::RenderingEvent> || std::is_same_v<T, SonosKit::GroupRenderingEvent>) {
                put("volume", e.volume);
                put("muted", e.muted);
                if constexpr (std::is_same_v<T, SonosKit::RenderingEvent>) {
                    put("bass", e.bass);
                    put("treble", e.treble);
                    put("loudness", e.loudness);
                    put("nightMode", e.nightMode);
                    put("speechEnhancement", e.dialogLevel);
                }
            } else if constexpr (std::is_same_v<T, SonosKit::TopologyEvent>) {
                if (e.groups)
                    line.insert(QStringLiteral("groups"), JsonOutput::topology(*e.groups));
            } else if constexpr (std::is_same_v<T, SonosKit::QueueEvent>) {
                if (e.updateID)
                    line.insert(QStringLiteral("updateID"), qint64(*e.updateID));
            } else if constexpr (std::is_same_v<T, SonosKit::AlarmEvent>) {
                put("alarmListVersion", e.alarmListVersion);
            } else {
                put("containerUpdateIDs", e.containerUpdateIDs);
                put("favoritesUpdateID", e.favoritesUpdateID);
                put("savedQueuesUpdateID", e.savedQueuesUpdateID);
            }
        },
        event);
    return line;
}

QJsonObject proofJson(const QString &player, const QString &outcome)
{
    return QJsonObject{{QStringLiteral("proof"), outcome}, {QStringLiteral("player"), player}};
}

QCoro::Task<int> runEvents(Options options)
{
    const EventsOptions eventsOptions = parseEventsArguments(options.arguments);
    // Watched from the start, so that Ctrl-C during the subscribing still
    // ends what was subscribed.
    TerminationWatch termination;

    // --host alone names the player; with --room (or without --host) it is
    // the coordinator of the chosen group.
    QString player;
    if (options.host && !options.room)
        player = *options.host;
    else
        player = (co_await selectedGroup(options)).coordinator.host;

    SonosKit::EventListener listener;
    QHostAddress address = eventsOptions.listenAddress.value_or(EventSubscription::localAddressToward(player));
    if (address.isNull())
        address = QHostAddress(QHostAddress::AnyIPv4);
    listener.listen(address);
    const quint16 port = listener.port();

    std::vector<std::unique_ptr<EventSubscription>> subscriptions;
    for (const EventService service : eventsOptions.services) {
        auto subscription = std::make_unique<EventSubscription>(&listener, player, service);
        const QString name = SonosKit::serviceName(service);
        QObject::connect(
            subscription.get(), &EventSubscription::eventReceived, [=](const SonosKit::ServiceEvent &event, quint32 seq) {
                writeLine(stdout, QJsonDocument(eventJson(service, player, seq, event)).toJson(QJsonDocument::Compact));
            });
        QObject::connect(subscription.get(), &EventSubscription::eventsBlocked, [=] {
            note(QStringLiteral("no %1 events from %2 arrive: a firewall, VPN or container bridge may keep them from port %3.")
                     .arg(name, player)
                     .arg(port));
        });
        QObject::connect(subscription.get(), &EventSubscription::resubscribed, [=] {
            if (options.json)
                writeLine(stdout,
                    QJsonDocument(QJsonObject{{QStringLiteral("resubscribed"), name}, {QStringLiteral("player"), player}})
                        .toJson(QJsonDocument::Compact));
            else
                note(QStringLiteral("%1 at %2 had forgotten the subscription or did not answer its renewal: subscribed afresh.")
                         .arg(name, player));
        });
        QObject::connect(subscription.get(), &EventSubscription::eventsLost,
            [=] { note(QStringLiteral("%1 events from %2 were missed.").arg(name, player)); });
        QObject::connect(subscription.get(), &EventSubscription::failed, [=](const SonosKit::SonosError &error) {
            note(QStringLiteral("%1 events from %2 stopped: %3").arg(name, player, error.errorDescription()));
        });
        subscriptions.push_back(std::move(subscription));
    }

    const auto unsubscribeAll = [&subscriptions]() -> QCoro::Task<void> {
        // Side by side, each within EventSubscription::unsubscribeLimit.
        std::vector<QCoro::Task<void>> stops;
        for (const auto &subscription : subscriptions)
            stops.push_back(subscription->stop());
        for (QCoro::Task<void> &stop : stops)
            co_await std::move(stop);
    };
    std::optional<SonosKit::SonosError> refused;
    try {
        for (const auto &subscription : subscriptions)
            co_await subscription->start();
    } catch (const SonosKit::SonosError &error) {
        refused = error;
    }
    if (refused) {
        // Those already granted are ended, not left to expire.
        co_await unsubscribeAll();
        throw *refused;
    }

    // The way of the events proven at an interval: one fresh subscription
    // whose first event must come.
    SonosKit::PathProof proof(&listener);
    const auto proofLine = [&](const QString &outcome, const QString &text) {
        if (options.json)
            writeLine(stdout, QJsonDocument(proofJson(player, outcome)).toJson(QJsonDocument::Compact));
        else
            note(text);
    };
    QObject::connect(&proof, &SonosKit::PathProof::proven,
        [&] { proofLine(QStringLiteral("open"), QStringLiteral("proof: events from %1 arrive.").arg(player)); });
    QObject::connect(&proof, &SonosKit::PathProof::shut, [&] {
        proofLine(QStringLiteral("shut"),
            QStringLiteral(
                "proof: events from %1 no longer arrive: a firewall, VPN or container bridge may keep them from port %2.")
                .arg(player)
                .arg(port));
    });
    QObject::connect(&proof, &SonosKit::PathProof::unanswered, [&](const QString &, const SonosKit::SonosError &error) {
        proofLine(QStringLiteral("unanswered"),
            QStringLiteral("proof: %1 did not take a fresh subscription: %2").arg(player, error.errorDescription()));
    });
    if (eventsOptions.proofInterval.count() > 0) {
        proof.setInterval(eventsOptions.proofInterval);
        proof.setTargets({{player, SonosKit::EventService::avTransport}});
    }
    co_await qCoro(&termination.request, &TerminationRequest::requested);
    proof.setTargets({});
    co_await unsubscribeAll();
    co_return 0;
}

} // namespace zonescout

#include "EventsCommand.moc"
