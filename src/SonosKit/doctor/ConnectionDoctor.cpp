// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/doctor/ConnectionDoctor.h"

#include "SonosKit/BoundedRead.h"
#include "SonosKit/SOAPClient.h"
#include "SonosKit/SonosDiscoveryDetail.h"

#include <QCoroFuture>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QPromise>
#include <QThreadPool>
#include <QUrl>
#include <QUuid>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <vector>

namespace SonosKit {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char multicastGroup[] = "239.255.255.250";
constexpr quint16 ssdpPort = 1900;
constexpr quint16 playerPort = 1400;
// One hop: the doctor's search stays on the local segment.
constexpr int searchTtl = 1;
constexpr auto receiveSlice = 200ms;
constexpr std::size_t receiveBufferSize = 4096;
// Answers kept from the search: a busy network has a few dozen devices.
constexpr qsizetype answersKept = 256;
constexpr int httpForbidden = 403;
// Speakers asked whether they may be controlled; more would only repeat.
constexpr int speakersProbed = 3;
// Shares of the whole timeout: the search, then the control check on what
// answered it; the bus questions run beside them.
constexpr double searchShare = 0.5;
constexpr double probeShare = 0.35;
constexpr auto busTimeout = 1000ms;

constexpr char avahiService[] = "org.freedesktop.Avahi";
constexpr char firewalldService[] = "org.fedoraproject.FirewallD1";

struct SearchResult {
    bool sent = false;
    QString error;
    QList<QString> answers; // each answer's text
    QStringList devices; // the senders of the answers, each once
    QStringList speakerHosts;
    int ownAnswers = 0; // answers from this computer itself, not counted above
};

struct BusResult {
    bool reachable = false;
    bool avahi = false;
    bool firewalld = false;
};

struct Probe {
    int status = 0; // 0 when there was no HTTP answer
    QString error;
};

template<typename Result, typename Work>
QFuture<Result> offMainThread(Work work)
{
    auto promise = std::make_shared<QPromise<Result>>();
    QFuture<Result> future = promise->future();
    promise->start();
    SonosDiscovery::detail::workerPool().start([promise, work] {
        try {
            promise->addResult(work());
        } catch (...) {
            // No exception may escape: the result says what could not be learned.
            promise->addResult(Result{});
        }
        promise->finish();
    });
    return future;
}

class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

private:
    int m_fd;
};

// `ownAddresses` are this computer's: a media server or desktop sharing
// running here answers the search too, and its answers cross no firewall.
SearchResult blockingSearch(std::chrono::milliseconds timeout, const QStringList &ownAddresses)
{
    SearchResult result;
    // The same source ports as discovery, so that the firewall that drops
    // discovery's answers drops these too.
    const int fd = SonosDiscovery::detail::openSearchSocket();
    if (fd < 0) {
        result.error = QStringLiteral("no socket for the search");
        return result;
    }
    const Descriptor closer(fd);
    ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &searchTtl, sizeof searchTtl);
    timeval slice{};
    slice.tv_usec = std::chrono::microseconds(receiveSlice).count();
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);

    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(ssdpPort);
    ::inet_pton(AF_INET, multicastGroup, &destination.sin_addr);
    const QByteArray datagram = ConnectionDoctor::searchForAllDatagram();
    for (const QString &address : SonosDiscovery::detail::multicastInterfaceAddresses()) {
        in_addr source{};
        if (::inet_pton(AF_INET, address.toLatin1().constData(), &source) != 1
            || ::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &source, sizeof source) != 0)
            continue;
        // Twice, as discovery does: UDP may drop one.
        for (int i = 0; i < 2; ++i) {
            if (::sendto(fd, datagram.constData(), std::size_t(datagram.size()), 0,
                    reinterpret_cast<const sockaddr *>(&destination), sizeof destination)
                > 0)
                result.sent = true;
        }
    }
    if (!result.sent) {
        result.error = QStringLiteral("the search could not be sent on any interface");
        return result;
    }

    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::array<char, receiveBufferSize> buffer{};
    while (std::chrono::steady_clock::now() < deadline) {
        sockaddr_in sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t received = ::recvfrom(
            fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr *>(&sender), &senderLength);
        if (received <= 0)
            continue;
        const auto device = SonosDiscovery::detail::senderAddress(sender);
        if (device && ownAddresses.contains(*device)) {
            ++result.ownAnswers;
            continue;
        }
        // Enough to tell a network that answers; a flood is no reason to grow.
        if (result.answers.size() >= answersKept)
            continue;
        const QString text = QString::fromUtf8(buffer.data(), qsizetype(received));
        result.answers.append(text);
        if (device && !result.devices.contains(*device))
            result.devices.append(*device);
        if (!ConnectionDoctor::isSpeakerAnswer(text))
            continue;
        // The sender, not the host its LOCATION names: any device may name
        // any host, and only one that answered may be asked.
        if (const auto host = SonosDiscovery::detail::senderAddress(sender); host && !result.speakerHosts.contains(*host))
            result.speakerHosts.append(*host);
    }
    return result;
}

bool hasOwner(QDBusConnection &bus, const char *service)
{
    QDBusMessage question = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    question << QString::fromLatin1(service);
    const QDBusMessage reply = bus.call(question, QDBus::Block, int(busTimeout.count()));
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() && reply.arguments().front().toBool();
}

BusResult blockingBusQuestions(std::optional<QString> address)
{
    BusResult result;
    // A connection of our own: the shared system bus connection of the
    // process would outlive a test's private bus.
    const QString name = QStringLiteral("quillo-doctor-%1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
    QDBusConnection bus = address ? QDBusConnection::connectToBus(*address, name)
                                  : QDBusConnection::connectToBus(QDBusConnection::SystemBus, name);
    if (bus.isConnected()) {
        result.reachable = true;
        result.avahi = hasOwner(bus, avahiService);
        result.firewalld = hasOwner(bus, firewalldService);
    }
    QDBusConnection::disconnectFromBus(name);
    return result;
}

std::chrono::milliseconds until(Clock::time_point deadline)
{
    return std::max(1ms, std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()));
}

QString failureText(const BoundedRead::Result &answer)
{
    switch (answer.outcome) {
    case BoundedRead::Outcome::timedOut:
        return QStringLiteral("no answer in time");
    case BoundedRead::Outcome::tooLarge:
        return QStringLiteral("answer too large");
    default:
        return answer.errorString;
    }
}

// Whether the speaker at `host` lets this computer control it: its
// description's status, then, from one that serves it, the status of a cheap
// control request, since a speaker with UPnP off may still serve the one
// and refuse the other. Only statuses are read, never a body, and never a
// redirect; both together end by `deadline`.
QCoro::Task<Probe> probeControl(QString host, Clock::time_point deadline)
{
    Probe probe;
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host, QUrl::StrictMode);
    url.setPort(playerPort);
    url.setPath(QStringLiteral("/xml/device_description.xml"));
    if (!url.isValid() || url.host().isEmpty()) {
        probe.error = QStringLiteral("not an address");
        co_return probe;
    }
    const BoundedRead::Limits statusOnly{.maximumBytes = 0, .deadline = until(deadline), .statusOnly = true};
    const BoundedRead::Result description = co_await BoundedRead::send(
        BoundedRead::request(url), QByteArray("GET"), {}, statusOnly);
    probe.status = description.status;
    if (description.status == 0) {
        probe.error = failureText(description);
        co_return probe;
    }
    if (description.status == httpForbidden)
        co_return probe;

    url.setPath(SOAPClient::controlPath(SOAPClient::Service::zoneGroupTopology));
    QNetworkRequest control = BoundedRead::request(url);
    const QString action = QStringLiteral("GetZoneGroupState");
    control.setRawHeader("Content-Type", "text/xml; charset=\"utf-8\"");
    control.setRawHeader(
        "SOAPAction", '"' + SOAPClient::urn(SOAPClient::Service::zoneGroupTopology).toUtf8() + '#' + action.toUtf8() + '"');
    const BoundedRead::Result answer = co_await BoundedRead::send(std::move(control), QByteArray("POST"),
        SOAPClient::envelope(SOAPClient::Service::zoneGroupTopology, action, {}).toUtf8(),
        BoundedRead::Limits{.maximumBytes = 0, .deadline = until(deadline), .statusOnly = true});
    if (answer.status == httpForbidden)
        probe.status = httpForbidden;
    co_return probe;
}

std::chrono::milliseconds share(std::chrono::milliseconds whole, double part)
{
    return std::chrono::milliseconds(qint64(double(whole.count()) * part));
}

std::chrono::milliseconds since(const QElapsedTimer &clock)
{
    return std::chrono::milliseconds(clock.elapsed());
}

QString probeDetail(const QString &host, const Probe &probe)
{
    return probe.status ? QStringLiteral("%1 answered HTTP %2").arg(host).arg(probe.status)
                        : QStringLiteral("%1: %2").arg(host, probe.error);
}

bool vpnActive(const NetworkFacts::Routing &routing, const QString &sysClassNet, QString *detail)
{
    if (const auto route = NetworkFacts::vpnRoute(routing, sysClassNet)) {
        *detail = *route;
        return true;
    }
    const QStringList defaults = NetworkFacts::defaultRouteInterfaces(routing);
    *detail = defaults.isEmpty() ? QStringLiteral("no default route")
                                 : QStringLiteral("default route through %1").arg(defaults.join(u", "));
    return false;
}

QStringList ownAddresses()
{
    QStringList result;
    const QList<QHostAddress> all = QNetworkInterface::allAddresses();
    for (const QHostAddress &each : all) {
        if (each.protocol() == QAbstractSocket::IPv4Protocol)
            result.append(each.toString());
    }
    return result;
}

} // namespace

QByteArray ConnectionDoctor::searchForAllDatagram()
{
    return QByteArrayLiteral("M-SEARCH * HTTP/1.1\r\n"
                             "HOST: 239.255.255.250:1900\r\n"
                             "MAN: \"ssdp:discover\"\r\n"
                             "MX: 1\r\n"
                             "ST: ssdp:all\r\n"
                             "\r\n");
}

bool ConnectionDoctor::isSpeakerAnswer(const QString &answer)
{
    const QStringList lines = answer.split(QStringLiteral("\r\n"));
    for (const QString &line : lines) {
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            continue;
        const QString name = line.left(colon).trimmed().toLower();
        const QString value = line.mid(colon + 1);
        if (name == u"server" && value.contains(u"Sonos/", Qt::CaseInsensitive))
            return true;
        if ((name == u"st" || name == u"usn" || name == u"nt")
            && value.contains(u"urn:schemas-upnp-org:device:ZonePlayer:", Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QCoro::Task<Diagnosis> ConnectionDoctor::examine(Options options)
{
    const Clock::time_point started = Clock::now();
    QElapsedTimer clock;
    clock.start();
    Diagnosis diagnosis;
    diagnosis.manualHost = options.manualHost;

    // 1. The interfaces: instant. Tunnels and the bridges of containers and
    // virtual machines are no network the speakers could be on.
    diagnosis.interfaces = NetworkFacts::interfaces();
    QStringList networks;
    for (const NetworkFacts::Interface &each : std::as_const(diagnosis.interfaces)) {
        if (NetworkFacts::isLocalNetwork(options.sysClassNet, each))
            networks.append(each.name);
    }
    const bool hasNetwork = !networks.isEmpty();
    diagnosis.checks.append({QStringLiteral("network"), hasNetwork ? DoctorCheck::Outcome::passed : DoctorCheck::Outcome::failed,
        hasNetwork ? QStringLiteral("local networks on %1").arg(networks.join(u", "))
                   : QStringLiteral("no IPv4 interface up, running and multicast-capable besides tunnels and guests' bridges"),
        since(clock)});

    // Everything that waits starts now, side by side.
    QFuture<BusResult> bus = offMainThread<BusResult>(
        [address = options.systemBusAddress] { return blockingBusQuestions(address); });
    const auto searchTime = share(options.timeout, searchShare);
    const auto probeTime = share(options.timeout, probeShare);
    QFuture<SearchResult> search;
    const bool searches = hasNetwork && options.search;
    if (searches)
        search = offMainThread<SearchResult>([searchTime, own = ownAddresses()] { return blockingSearch(searchTime, own); });
    // Every probe ends by then, whatever the devices asked do.
    const Clock::time_point probesEnd = started + searchTime + probeTime;
    std::optional<QCoro::Task<Probe>> manualProbe;
    if (options.manualHost)
        manualProbe.emplace(probeControl(*options.manualHost, probesEnd));

    // Files: quick enough for the main thread.
    QElapsedTimer step;
    step.start();
    const NetworkFacts::Routing routing = options.routing ? *options.routing : NetworkFacts::routing();
    QString vpnDetail;
    diagnosis.vpnActive = vpnActive(routing, options.sysClassNet, &vpnDetail);
    diagnosis.checks.append({QStringLiteral("vpn"),
        diagnosis.vpnActive ? DoctorCheck::Outcome::failed : DoctorCheck::Outcome::passed, vpnDetail, since(step)});
    const bool ufw = NetworkFacts::ufwEnabled(NetworkFacts::readSmallFile(options.ufwConfigPath));

    // 2. The search.
    SearchResult found;
    if (searches) {
        step.restart();
        found = co_await search;
        DoctorCheck check{QStringLiteral("search"), DoctorCheck::Outcome::passed, {}, {}};
        if (!found.error.isEmpty()) {
            check.outcome = DoctorCheck::Outcome::failed;
            check.detail = found.error;
        } else {
            check.outcome = found.answers.isEmpty() ? DoctorCheck::Outcome::failed : DoctorCheck::Outcome::passed;
            check.detail
                = QStringLiteral("devices answering: %1, speakers: %2").arg(found.devices.size()).arg(found.speakerHosts.size());
            if (found.ownAnswers > 0)
                check.detail += QStringLiteral(", answers from this computer ignored: %1").arg(found.ownAnswers);
        }
        check.duration = since(step);
        diagnosis.checks.append(check);
    } else {
        diagnosis.checks.append({QStringLiteral("search"), DoctorCheck::Outcome::skipped,
            hasNetwork ? QStringLiteral("not asked for") : QStringLiteral("no network"), {}});
    }

    // 3. May the speakers that answered be controlled?
    bool speakerRefuses = false;
    {
        step.restart();
        std::vector<QCoro::Task<Probe>> probes;
        const QStringList asked = found.speakerHosts.mid(0, speakersProbed);
        for (const QString &host : asked)
            probes.push_back(probeControl(host, probesEnd));
        QStringList details;
        for (std::size_t i = 0; i < probes.size(); ++i) {
            const Probe probe = co_await std::move(probes[i]);
            speakerRefuses = speakerRefuses || probe.status == httpForbidden;
            details.append(probeDetail(asked[qsizetype(i)], probe));
        }
        if (asked.isEmpty()) {
            diagnosis.checks.append(
                {QStringLiteral("control"), DoctorCheck::Outcome::skipped, QStringLiteral("no speaker answered"), {}});
        } else {
            diagnosis.checks.append({QStringLiteral("control"),
                speakerRefuses ? DoctorCheck::Outcome::failed : DoctorCheck::Outcome::passed, details.join(u"; "), since(step)});
        }
    }
    bool manualRefuses = false;
    if (manualProbe) {
        step.restart();
        const Probe probe = co_await std::move(*manualProbe);
        manualRefuses = probe.status == httpForbidden;
        diagnosis.checks.append({QStringLiteral("manual address"),
            probe.status >= 200 && probe.status < 300 ? DoctorCheck::Outcome::passed : DoctorCheck::Outcome::failed,
            probeDetail(*options.manualHost, probe), since(step)});
    }

    // 4. The bus, asked all along.
    step.restart();
    const BusResult busFacts = co_await bus;
    diagnosis.avahiRunning = busFacts.avahi;
    diagnosis.firewall = ufw ? Diagnosis::Firewall::ufw
                             : (busFacts.firewalld ? Diagnosis::Firewall::firewalld : Diagnosis::Firewall::none);
    diagnosis.checks.append(
        {QStringLiteral("avahi"), busFacts.avahi ? DoctorCheck::Outcome::passed : DoctorCheck::Outcome::failed,
            busFacts.reachable ? (busFacts.avahi ? QStringLiteral("running") : QStringLiteral("not on the system bus"))
                               : QStringLiteral("no system bus"),
            since(step)});
    diagnosis.checks.append(
        {QStringLiteral("firewall"), DoctorCheck::Outcome::passed, Diagnosis::firewallName(diagnosis.firewall), {}});
    if (!busFacts.avahi)
        diagnosis.hints.append(Diagnosis::avahiHint());

    // The most likely cause: what stops everything else comes first.
    if (manualRefuses || speakerRefuses)
        diagnosis.cause = Diagnosis::Cause::upnpOff;
    else if (!hasNetwork)
        diagnosis.cause = Diagnosis::Cause::noNetwork;
    else if (!searches)
        diagnosis.cause = Diagnosis::Cause::none; // nothing seen that names a cause
    else if (found.answers.isEmpty())
        diagnosis.cause = Diagnosis::Cause::firewall;
    else if (found.speakerHosts.isEmpty())
        diagnosis.cause = Diagnosis::Cause::noSpeakerOnNetwork;
    // Nothing else explains it: the VPN may, whether searched or typed.
    if (diagnosis.cause == Diagnosis::Cause::none && diagnosis.vpnActive)
        diagnosis.hints.append(Diagnosis::vpnHint());

    // The firewall is opened to the network the speakers are on, no other.
    QStringList heard = found.speakerHosts;
    if (options.manualHost)
        heard.append(*options.manualHost);
    heard += found.devices;
    diagnosis.speakerInterface = NetworkFacts::speakerInterface(diagnosis.interfaces, routing, heard, options.sysClassNet);
    diagnosis.fix = diagnosis.cause == Diagnosis::Cause::firewall
        ? Diagnosis::firewallFix(diagnosis.firewall, diagnosis.localSubnets(), options.ufwProfilePath)
        : Diagnosis::fixFor(diagnosis.cause);
    co_return diagnosis;
}

} // namespace SonosKit
