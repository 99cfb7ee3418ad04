// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// The event listener's figures, printed: main-thread CPU per NOTIFY for a
// large household's topology and for a typical LastChange, the time from a
// change on a simulated player to the parsed event, and how late a 1 ms
// timer runs while 1000 hostile NOTIFYs arrive. Everything on 127.119.30.0/24.

#include "BenchEvents.h"

#include <SonosKit/XMLText.h>
#include <SonosKit/events/EventListener.h>
#include <SonosKit/events/EventSubscription.h>
#include <playersim/Household.h>

#include <QCoreApplication>
#include <QCoroTask>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;
using bench::serveEventsUntil;

namespace {

const QString listenAddress = QStringLiteral("127.119.30.250");
const QString senderAddress = QStringLiteral("127.119.30.2");
const QString strangerAddress = QStringLiteral("127.119.30.3");
const QString householdAddress = QStringLiteral("127.119.30.11");
constexpr int cpuRounds = 200;
constexpr int latencyRounds = 100;
constexpr int floodSize = 1000;
constexpr int floodThreads = 8;
constexpr qsizetype topologyTarget = 100 * 1024;

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

QByteArray propertySet(const QString &name, const QString &value)
{
    return (QStringLiteral("<e:propertyset xmlns:e=\"urn:schemas-upnp-org:event-1-0\"><e:property><") + name + u'>'
        + SonosKit::XMLText::escape(value) + QStringLiteral("</") + name + QStringLiteral("></e:property></e:propertyset>"))
        .toUtf8();
}

QByteArray notifyRequest(const QString &path, const QString &sid, quint32 seq, const QByteArray &body)
{
    return "NOTIFY " + path.toLatin1() + " HTTP/1.1\r\nHOST: x\r\nNT: upnp:event\r\nNTS: upnp:propchange\r\nSID: "
        + sid.toLatin1() + "\r\nSEQ: " + QByteArray::number(seq) + "\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

// Sends one request from `source` and waits for the connection to close.
void sendRequest(const QString &source, quint16 port, const QByteArray &request)
{
    const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in from{};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source.toLatin1().constData(), &from.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    inet_pton(AF_INET, listenAddress.toLatin1().constData(), &to.sin_addr);
    if (::bind(sock, reinterpret_cast<sockaddr *>(&from), sizeof from) == 0
        && ::connect(sock, reinterpret_cast<sockaddr *>(&to), sizeof to) == 0) {
        for (qsizetype sent = 0; sent < request.size();) {
            const ssize_t n = ::send(sock, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        char buffer[256];
        while (::recv(sock, buffer, sizeof buffer, 0) > 0) {
        }
    }
    ::close(sock);
}

// A household whose topology event is about `topologyTarget` bytes.
QByteArray largeTopologyBody(int *players)
{
    for (int count = 32;; count += 16) {
        playersim::GeneratorOptions options;
        options.players = count;
        options.favorites = 0;
        options.playlistTracks = 1;
        const QByteArray body = propertySet(
            QStringLiteral("ZoneGroupState"), playersim::Household::generate(options).zoneGroupState());
        if (body.size() >= topologyTarget) {
            *players = count;
            return body;
        }
    }
}

QByteArray lastChangeBody()
{
    const QString didl = QStringLiteral(
        "<DIDL-Lite xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:upnp=\"urn:schemas-upnp-org:metadata-1-0/upnp/\" "
        "xmlns:r=\"urn:schemas-rinconnetworks-com:metadata-1-0/\" xmlns=\"urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/\">"
        "<item id=\"-1\" parentID=\"-1\" restricted=\"true\"><res protocolInfo=\"x-file-cifs:*:audio/flac:*\" duration=\"0:04:12\">"
        "x-file-cifs://nas/music/Artist/Album/03%20A%20Rather%20Long%20Track%20Name.flac</res>"
        "<r:streamContent></r:streamContent><upnp:albumArtURI>/getaa?s=1&amp;u=x-file-cifs%3a%2f%2fnas%2fmusic%2fArtist%2fAlbum"
        "%2f03%2520A%2520Rather%2520Long%2520Track%2520Name.flac</upnp:albumArtURI>"
        "<upnp:class>object.item.audioItem.musicTrack</upnp:class><dc:title>A Rather Long Track Name</dc:title>"
        "<dc:creator>Some Artist</dc:creator><upnp:album>Some Album (Deluxe Edition)</upnp:album></item></DIDL-Lite>");
    const auto val = [](const QString &name, const QString &value) {
        return u'<' + name + QStringLiteral(" val=\"") + SonosKit::XMLText::escape(value) + QStringLiteral("\"/>");
    };
    const QString change = QStringLiteral("<Event xmlns=\"urn:schemas-upnp-org:metadata-1-0/AVT/\"><InstanceID val=\"0\">")
        + val(QStringLiteral("TransportState"), QStringLiteral("PLAYING"))
        + val(QStringLiteral("CurrentPlayMode"), QStringLiteral("NORMAL"))
        + val(QStringLiteral("NumberOfTracks"), QStringLiteral("12")) + val(QStringLiteral("CurrentTrack"), QStringLiteral("3"))
        + val(QStringLiteral("CurrentTrackURI"), QStringLiteral("x-file-cifs://nas/music/Artist/Album/03.flac"))
        + val(QStringLiteral("CurrentTrackDuration"), QStringLiteral("0:04:12"))
        + val(QStringLiteral("CurrentTrackMetaData"), didl)
        + val(QStringLiteral("AVTransportURI"), QStringLiteral("x-rincon-queue:RINCON_000E58000001400#0"))
        + QStringLiteral("</InstanceID></Event>");
    return propertySet(QStringLiteral("LastChange"), change);
}

// Main-thread CPU per delivered NOTIFY of `body`, sent from another thread.
double cpuPerNotify(SonosKit::EventListener &listener, SonosKit::EventService service, const QByteArray &body)
{
    const QString path = listener.addRoute(service, senderAddress);
    listener.setSubscriptionID(path, QStringLiteral("uuid:bench"));
    int delivered = 0;
    const auto connection = QObject::connect(
        &listener, &SonosKit::EventListener::eventReceived, [&](const SonosKit::ReceivedEvent &e) {
            if (e.path == path)
                ++delivered;
        });
    const quint16 port = listener.port();
    const double before = threadCpuMs();
    std::thread sender([&] {
        for (int i = 0; i < cpuRounds; ++i)
            sendRequest(senderAddress, port, notifyRequest(path, QStringLiteral("uuid:bench"), quint32(i), body));
    });
    serveEventsUntil([&] { return delivered == cpuRounds; }, std::chrono::seconds(60));
    const double spent = threadCpuMs() - before;
    sender.join();
    QObject::disconnect(connection);
    listener.removeRoute(path);
    if (delivered != cpuRounds)
        std::fprintf(stderr, "EventsBench: only %d of %d events were delivered\n", delivered, cpuRounds);
    return spent / cpuRounds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SonosKit::EventListener listener;
    listener.listen(QHostAddress(listenAddress));
    const quint16 port = listener.port();

    // 1. CPU per NOTIFY.
    int players = 0;
    const QByteArray topology = largeTopologyBody(&players);
    const QByteArray lastChange = lastChangeBody();
    const double topologyCpu = cpuPerNotify(listener, SonosKit::EventService::zoneGroupTopology, topology);
    const double lastChangeCpu = cpuPerNotify(listener, SonosKit::EventService::avTransport, lastChange);
    std::printf("CPU per NOTIFY (main thread, %d each):\n", cpuRounds);
    std::printf("  topology, %d players, %.1f KB: %.3f ms\n", players, topology.size() / 1024.0, topologyCpu);
    std::printf("  AVTransport LastChange, %.1f KB: %.3f ms\n", lastChange.size() / 1024.0, lastChangeCpu);

    // 2. A change on a simulated player to the parsed event.
    playersim::Household household = playersim::Household::fromJson(
        R"({"players": [{"uuid": "RINCON_BENCH01400", "room": "Bench", "volume": 0}]})", householdAddress);
    QString error;
    if (!household.start(&error)) {
        std::fprintf(stderr, "EventsBench: the simulated household did not start: %s\n", qPrintable(error));
        return 1;
    }
    SonosKit::EventSubscription subscription(&listener, householdAddress, SonosKit::EventService::renderingControl);
    int lastVolume = -1;
    Clock::time_point arrived;
    QObject::connect(
        &subscription, &SonosKit::EventSubscription::eventReceived, [&](const SonosKit::ServiceEvent &event, quint32) {
            if (const auto *rendering = std::get_if<SonosKit::RenderingEvent>(&event); rendering && rendering->volume) {
                lastVolume = *rendering->volume;
                arrived = Clock::now();
            }
        });
    QCoro::waitFor(subscription.start());
    serveEventsUntil([&] { return lastVolume == 0; }, std::chrono::seconds(5));
    std::vector<double> latencies;
    for (int i = 1; i <= latencyRounds; ++i) {
        const int volume = i % 100 + 1 == lastVolume ? i % 100 + 2 : i % 100 + 1;
        const auto changed = Clock::now();
        household.setVolume(householdAddress, volume);
        // Looked at without the polling of serveEventsUntil, which would
        // add up to its own interval.
        const auto deadline = changed + std::chrono::seconds(5);
        while (lastVolume != volume && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (lastVolume == volume)
            latencies.push_back(std::chrono::duration<double, std::milli>(arrived - changed).count());
    }
    QCoro::waitFor(subscription.stop());
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty()) {
        std::printf("Change to parsed event (%zu of %d): median %.2f ms, worst %.2f ms\n", latencies.size(), latencyRounds,
            latencies[latencies.size() / 2], latencies.back());
    }

    // 3. A flood of hostile NOTIFYs against a 1 ms timer: unknown paths,
    // strangers, wrong SIDs and unreadable 64 KB bodies on a real route.
    const QString path = listener.addRoute(SonosKit::EventService::renderingControl, senderAddress);
    listener.setSubscriptionID(path, QStringLiteral("uuid:flood"));
    const QByteArray garbage(64 * 1024, '<');
    std::atomic<int> sent{0};
    double worstLateness = 0;
    auto last = Clock::now();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        worstLateness = std::max(worstLateness, std::chrono::duration<double, std::milli>(now - last).count() - 1.0);
        last = now;
    });
    serveEventsUntil([] { return false; }, std::chrono::milliseconds(100));
    last = Clock::now();
    tick.start(1);
    std::vector<std::thread> flood;
    for (int t = 0; t < floodThreads; ++t) {
        flood.emplace_back([&, t] {
            for (int i = t; i < floodSize; i += floodThreads) {
                switch (i % 4) {
                case 0:
                    sendRequest(senderAddress, port,
                        notifyRequest(QStringLiteral("/events/none"), QStringLiteral("uuid:x"), 1, lastChange));
                    break;
                case 1:
                    sendRequest(strangerAddress, port, notifyRequest(path, QStringLiteral("uuid:flood"), 1, lastChange));
                    break;
                case 2:
                    sendRequest(senderAddress, port, notifyRequest(path, QStringLiteral("uuid:other"), 1, lastChange));
                    break;
                default:
                    sendRequest(senderAddress, port, notifyRequest(path, QStringLiteral("uuid:flood"), quint32(i), garbage));
                    break;
                }
                ++sent;
            }
        });
    }
    const auto floodStart = Clock::now();
    serveEventsUntil([&] { return sent == floodSize; }, std::chrono::seconds(120));
    const double floodMs = std::chrono::duration<double, std::milli>(Clock::now() - floodStart).count();
    for (std::thread &thread : flood)
        thread.join();
    tick.stop();
    std::printf("Flood of %d hostile NOTIFYs from %d threads: %.0f ms, worst lateness of a 1 ms timer %.2f ms\n", floodSize,
        floodThreads, floodMs, worstLateness);
    return 0;
}
