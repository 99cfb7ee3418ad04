// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// playersim: a simulated Sonos household on loopback addresses, for tests,
// benchmarks and demos.

#include "playersim/DnssdPublisher.h"
#include "playersim/GeneratedTracks.h"
#include "playersim/HostileDevice.h"
#include "playersim/Household.h"
#include "playersim/HouseholdJson.h"
#include "playersim/LoopbackAddresses.h"
#include "playersim/SsdpResponder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop does the rest.
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// Quits the application on SIGINT or SIGTERM.
bool installQuitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char byte;
        [[maybe_unused]] const auto read = ::read(signalPipe[0], &byte, 1);
        app.quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

// The --log-requests file: one line per request, written as it arrives, so
// that another process can time what it caused.
class RequestLine
{
public:
    explicit RequestLine(const QString &path)
        : m_file(path)
    {
        m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered);
    }

    bool isOpen() const { return m_file.isOpen(); }

    void write(const playersim::LoggedRequest &request)
    {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const QByteArray what = request.call.action.isEmpty() ? request.method + ' ' + request.path
                                                              : request.call.action.toUtf8();
        const QByteArray line = QByteArray::number(now) + '\t' + request.player.toUtf8() + '\t' + what + '\n';
        std::lock_guard lock(m_mutex);
        m_file.write(line);
    }

private:
    std::mutex m_mutex;
    QFile m_file;
};

// --faults: one command a line on standard input switches a fault, for
// trying by hand what Quillo or zonescout make of it.
void followFaultCommands(QCoreApplication &app, QList<playersim::Household *> households)
{
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier, pending, households] {
        QTextStream err(stderr);
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            notifier->setEnabled(false);
            return;
        }
        pending->append(buffer, qsizetype(n));
        // A line longer than any command is nobody's command.
        if (pending->size() > 4096)
            pending->clear();
        qsizetype end;
        while ((end = pending->indexOf('\n')) >= 0) {
            const QStringList words = QString::fromUtf8(pending->left(end)).simplified().split(QLatin1Char(' '));
            pending->remove(0, end + 1);
            const QString verb = words.value(0);
            const bool on = words.value(words.size() - 1) == u"on";
            // The household the addressed player belongs to.
            playersim::Household *owner = households.first();
            for (playersim::Household *household : households)
                if (household->addresses().contains(words.value(1)))
                    owner = household;
            try {
                if (verb == u"restart" && words.size() == 2) {
                    owner->restartPlayer(words[1]);
                } else if (verb == u"silent" && words.size() == 3) {
                    owner->setSilent(words[1], on);
                } else if (verb == u"drop" && words.size() == 2) {
                    for (playersim::Household *household : households)
                        household->setDropNotifications(on);
                } else {
                    err << "playersim: commands are: restart ADDRESS, silent ADDRESS on|off, drop on|off\n";
                }
            } catch (const std::out_of_range &) {
                err << "playersim: no player at " << words.value(1) << "\n";
            }
        }
    });
}

// PLAYERS,FAVORITES,TRACKS
std::optional<playersim::GeneratorOptions> parseGenerate(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return std::nullopt;
    int values[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || values[i] < (i == 0 ? 1 : 0) || values[i] > 1000000)
            return std::nullopt;
    }
    playersim::GeneratorOptions options;
    options.players = values[0];
    options.favorites = values[1];
    options.playlistTracks = values[2];
    return options;
}

// --hostile: one device that misbehaves on purpose instead of a household,
// for trying by hand what Quillo or zonescout make of it. A redirect points
// at the next address, where nothing need answer.
int serveHostile(QCoreApplication &app, const QString &modeName, const QString &address, quint16 port)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const std::optional<playersim::HostileDevice::Mode> mode = playersim::HostileDevice::modeNamed(modeName);
    if (!mode) {
        err << "playersim: --hostile wants endless-body, trickled-body, trickled-head or redirect\n";
        return 2;
    }
    const QString elsewhere = playersim::loopbackAddress(address, 1).value_or(QStringLiteral("127.0.0.1"));
    playersim::HostileDevice device(
        address, port, *mode, QStringLiteral("http://%1:%2/xml/device_description.xml").arg(elsewhere).arg(port).toLatin1());
    QString error;
    if (!installQuitOnSignals(app) || !device.start(&error)) {
        err << "playersim: " << (error.isEmpty() ? QStringLiteral("cannot install the signal handlers") : error) << "\n";
        return 1;
    }
    out << address << ":" << port << "\thostile: " << modeName << "\nready\n";
    out.flush();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("playersim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A simulated Sonos household answering on loopback addresses."));
    parser.addHelpOption();
    const QCommandLineOption householdOption(
        QStringLiteral("household"), QStringLiteral("Household description to load."), QStringLiteral("FILE.json"));
    const QCommandLineOption generateOption(
        QStringLiteral("generate"), QStringLiteral("Generate a large household."), QStringLiteral("PLAYERS,FAVORITES,TRACKS"));
    const QCommandLineOption firstAddressOption(QStringLiteral("first-address"), QStringLiteral("Address of the first player."),
        QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.11"));
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Port every player listens on."), QStringLiteral("PORT"), QStringLiteral("1400"));
    const QCommandLineOption dumpOption(QStringLiteral("dump-json"), QStringLiteral("Print the household as JSON and exit."));
    // Multicast: meant for a private network namespace (tests/netns/run-in-netns).
    const QCommandLineOption ssdpOption(QStringLiteral("ssdp"), QStringLiteral("Answer SSDP searches for the players."));
    const QCommandLineOption dnssdOption(
        QStringLiteral("dnssd"), QStringLiteral("Publish the players as _sonos._tcp through the Avahi daemon."));
    const QCommandLineOption logOption(QStringLiteral("log-requests"),
        QStringLiteral("Append a line per request received (Unix time in milliseconds, "
                       "player, SOAP action or method and path) to FILE."),
        QStringLiteral("FILE"));
    // As players whose owner switched UPnP off in the Sonos app: they still
    // answer searches, and refuse everything on their port.
    const QCommandLineOption upnpOffOption(QStringLiteral("upnp-off"),
        QStringLiteral("Refuse every request with 403 Forbidden, as players with UPnP switched off do."));
    const QCommandLineOption faultsOption(QStringLiteral("faults"),
        QStringLiteral("Read fault commands from standard input, one a line: restart ADDRESS (forgets every "
                       "subscription), silent ADDRESS on|off (switched off: no answer at all), drop on|off (no "
                       "events delivered)."));
    const QCommandLineOption hostileOption(QStringLiteral("hostile"),
        QStringLiteral("Serve one device that misbehaves on purpose at the first address instead of a household: "
                       "endless-body, trickled-body, trickled-head or redirect (to the next address)."),
        QStringLiteral("MODE"));
    const QCommandLineOption queueLengthOption(QStringLiteral("queue-length"),
        QStringLiteral("Give every group a queue of N generated tracks (up to 40000), loaded and stopped."), QStringLiteral("N"));
    const QCommandLineOption secondOption(QStringLiteral("second-household"),
        QStringLiteral("Add a second, older (S1) household of its own (two rooms: Garage, Workshop) on the addresses "
                       "32 places after the first one's first address (or a multiple of 32 clear of a large one)."));
    parser.addOptions({householdOption, generateOption, firstAddressOption, portOption, dumpOption, ssdpOption, dnssdOption,
        logOption, upnpOffOption, faultsOption, hostileOption, queueLengthOption, secondOption});
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port == 0 || port > 65535) {
        err << "playersim: --port must be a number from 1 to 65535\n";
        return 2;
    }
    if (parser.isSet(householdOption) && parser.isSet(generateOption)) {
        err << "playersim: --household and --generate exclude each other\n";
        return 2;
    }
    // A player holds up to 40,000 queue entries.
    constexpr int longestQueue = 40000;
    std::optional<int> queueLength;
    if (parser.isSet(queueLengthOption)) {
        bool ok = false;
        queueLength = parser.value(queueLengthOption).toInt(&ok);
        if (!ok || *queueLength < 0 || *queueLength > longestQueue) {
            err << "playersim: --queue-length must be a number from 0 to " << longestQueue << "\n";
            return 2;
        }
    }
    const QString firstAddress = parser.value(firstAddressOption);
    if (parser.isSet(hostileOption))
        return serveHostile(app, parser.value(hostileOption), firstAddress, quint16(port));

    std::optional<playersim::Household> household;
    try {
        if (parser.isSet(householdOption)) {
            QFile file(parser.value(householdOption));
            if (!file.open(QIODevice::ReadOnly)) {
                err << "playersim: cannot read " << file.fileName() << ": " << file.errorString() << "\n";
                return 2;
            }
            household.emplace(playersim::Household::fromJson(file.readAll(), firstAddress, quint16(port)));
        } else if (parser.isSet(generateOption)) {
            std::optional<playersim::GeneratorOptions> options = parseGenerate(parser.value(generateOption));
            if (!options) {
                err << "playersim: --generate wants PLAYERS,FAVORITES,TRACKS, e.g. 32,1000,5000\n";
                return 2;
            }
            options->firstAddress = firstAddress;
            options->port = quint16(port);
            household.emplace(playersim::Household::generate(*options));
        } else {
            household.emplace(playersim::Household::defaultHousehold(firstAddress, quint16(port)));
        }
    } catch (const playersim::HouseholdError &error) {
        err << "playersim: " << error.what() << "\n";
        return 2;
    }
    // Both households in one list from here on: everything applies to each.
    std::optional<playersim::Household> second;
    if (parser.isSet(secondOption)) {
        // Clear of the first household however many players it has, a
        // whole number of the tests' 32-address slots on.
        constexpr int slot = 32;
        const int offset = (int(household->addresses().size()) + 10 + slot - 1) / slot * slot;
        const std::optional<QString> secondFirst = playersim::loopbackAddress(firstAddress, offset);
        if (!secondFirst) {
            err << "playersim: no room for a second household after " << firstAddress << "\n";
            return 2;
        }
        second.emplace(playersim::Household::secondHousehold(*secondFirst, quint16(port)));
    }
    QList<playersim::Household *> households{&*household};
    if (second)
        households.append(&*second);

    if (queueLength) {
        // Spotify tracks, the same for every run.
        constexpr int spotify = 12;
        const QList<playersim::SimTrack> tracks = playersim::generatedTracks(spotify, 29, *queueLength);
        for (playersim::Household *each : households)
            for (const playersim::GroupSnapshot &group : each->groups())
                each->setQueue(group.coordinator, tracks);
    }
    if (parser.isSet(dumpOption)) {
        if (second) {
            err << "playersim: --dump-json prints one household; leave out --second-household\n";
            return 2;
        }
        out << QString::fromUtf8(household->toJson());
        return 0;
    }
    if (!installQuitOnSignals(app)) {
        err << "playersim: cannot install the signal handlers\n";
        return 1;
    }
    std::shared_ptr<RequestLine> requestLine;
    if (parser.isSet(logOption)) {
        requestLine = std::make_shared<RequestLine>(parser.value(logOption));
        if (!requestLine->isOpen()) {
            err << "playersim: cannot write " << parser.value(logOption) << "\n";
            return 2;
        }
        for (playersim::Household *each : households)
            each->log()->setObserver([requestLine](const playersim::LoggedRequest &request) { requestLine->write(request); });
    }
    QString error;
    for (playersim::Household *each : households) {
        if (!each->start(&error)) {
            err << "playersim: " << error << "\n";
            return 1;
        }
    }
    QList<playersim::SsdpPlayer> ssdpPlayers;
    QList<playersim::DnssdPlayer> dnssdPlayers;
    for (playersim::Household *each : households) {
        const playersim::HouseholdData data = each->data();
        const QStringList addresses = each->addresses();
        if (parser.isSet(upnpOffOption)) {
            for (const QString &address : addresses)
                each->server(address).setUpnpOff(true);
        }
        if (households.size() > 1)
            out << "household " << data.householdId << " (S" << data.softwareGeneration << ")\n";
        for (int i = 0; i < addresses.size(); ++i) {
            const playersim::SimPlayerRecord &player = data.players.at(i);
            out << addresses.at(i) << ":" << port << "\t" << player.roomName << "\t" << player.modelName
                << (player.invisible ? "\t(invisible)" : "") << "\n";
        }
        ssdpPlayers += each->ssdpPlayers();
        dnssdPlayers += each->dnssdPlayers();
    }
    if (parser.isSet(faultsOption))
        followFaultCommands(app, households);
    std::unique_ptr<playersim::SsdpResponder> ssdp;
    std::unique_ptr<playersim::DnssdPublisher> dnssd;
    const auto stopAll = [&] {
        for (playersim::Household *each : households)
            each->stop();
    };
    if (parser.isSet(ssdpOption)) {
        ssdp = std::make_unique<playersim::SsdpResponder>(ssdpPlayers);
        if (!ssdp->start(&error)) {
            err << "playersim: SSDP: " << error << "\n";
            stopAll();
            return 1;
        }
    }
    if (parser.isSet(dnssdOption)) {
        dnssd = std::make_unique<playersim::DnssdPublisher>(dnssdPlayers);
        if (!dnssd->start(&error)) {
            err << "playersim: DNS-SD: " << error << "\n";
            stopAll();
            return 1;
        }
    }
    out << "ready\n";
    out.flush();
    const int status = app.exec();
    dnssd.reset();
    ssdp.reset();
    stopAll();
    return status;
}
