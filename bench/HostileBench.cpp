// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

// What a hostile device costs, printed: for each input, how far the peak
// resident memory rose and how long Quillo's code took to return. The device
// is served on loopback (127.119.60.0/24) and asked as a typed address, so
// nothing is multicast and no namespace is needed.
//
// Another kind of input is one more entry in `inputs()`: a crafted document
// (entity amplification, deep nesting, …) is served whole by
// playersim::HostileDevice::Mode::cannedBody and read through the SOAP client,
// which parses it, as cannedSoapAnswer() does.

#include "BenchEvents.h"

#include <Quillo/mpris/ArtworkCache.h>
#include <SonosKit/SOAPClient.h>
#include <SonosKit/SonosError.h>
#include <SonosKit/doctor/ConnectionDoctor.h>
#include <SonosKit/events/EventListener.h>
#include <playersim/HostileDevice.h>
#include <playersim/ResidentMemory.h>

#include <QCoreApplication>
#include <QCoroTask>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>

using Clock = std::chrono::steady_clock;
using playersim::HostileDevice;
using namespace std::chrono_literals;

namespace {

const QString deviceAddress = QStringLiteral("127.119.60.11");
const QString elsewhereAddress = QStringLiteral("127.119.60.12");
const QString listenAddress = QStringLiteral("127.119.60.250");
const QString playerAddress = QStringLiteral("127.119.60.13");
const QString strangerAddress = QStringLiteral("127.119.60.99");
constexpr int heldConnections = 40;
constexpr auto waitLimit = 60s;

// Runs `task` to its end on the event loop.
template<typename T>
void finish(QCoro::Task<T> task)
{
    bool done = false;
    QCoro::connect(std::move(task), QCoreApplication::instance(), [&done](auto &&...) { done = true; });
    bench::serveEventsUntil([&] { return done; }, waitLimit);
}

void finish(QCoro::Task<void> task)
{
    bool done = false;
    QCoro::connect(std::move(task), QCoreApplication::instance(), [&done] { done = true; });
    bench::serveEventsUntil([&] { return done; }, waitLimit);
}

QCoro::Task<void> soapCall()
{
    try {
        co_await SonosKit::SOAPClient(deviceAddress).call(SonosKit::SOAPClient::Service::avTransport, QStringLiteral("Play"));
    } catch (const SonosKit::SonosError &) {
    }
}

void doctor()
{
    SonosKit::ConnectionDoctor::Options options;
    options.manualHost = deviceAddress;
    options.search = false;
    finish(SonosKit::ConnectionDoctor::examine(options));
}

void artwork()
{
    QTemporaryDir folder;
    ArtworkCache cache{QDir(folder.path())};
    cache.localURL(QUrl(QStringLiteral("http://%1:1400/getaa?s=1").arg(deviceAddress)));
    bench::serveEventsUntil([&] { return cache.refusedCount() > 0 || cache.bytesOnDisk() > 0; }, waitLimit);
}

// A player's NOTIFY while a stranger holds `heldConnections` connections to
// the listener, sent from another thread.
void notifyPastHeldConnections()
{
    SonosKit::EventListener listener;
    listener.listen(QHostAddress(listenAddress));
    const QString path = listener.addRoute(SonosKit::EventService::groupRenderingControl, playerAddress);
    listener.setSubscriptionID(path, QStringLiteral("uuid:bench"));
    bool arrived = false;
    QObject::connect(&listener, &SonosKit::EventListener::eventReceived, [&arrived] { arrived = true; });
    const playersim::ConnectionHolder stranger(strangerAddress, listenAddress, listener.port(), heldConnections);
    bench::serveEventsUntil([&] { return stranger.opened() >= heldConnections; }, waitLimit);
    const QByteArray body = "<e:propertyset xmlns:e=\"urn:schemas-upnp-org:event-1-0\"><e:property><GroupVolume>12"
                            "</GroupVolume></e:property></e:propertyset>";
    const QByteArray request = "NOTIFY " + path.toLatin1()
        + " HTTP/1.1\r\nHOST: x\r\nNT: upnp:event\r\nNTS: upnp:propchange\r\nSID: uuid:bench\r\nSEQ: 0\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    std::atomic<bool> stop{false};
    std::thread player([&] {
        // Tried again while refused, as a player would on the next change.
        while (!stop && !arrived) {
            const int sock = playersim::connectFrom(playerAddress, listenAddress, listener.port());
            if (sock >= 0) {
                ::send(sock, request.constData(), std::size_t(request.size()), MSG_NOSIGNAL);
                char buffer[256];
                while (::recv(sock, buffer, sizeof buffer, 0) > 0) {
                }
                ::close(sock);
            }
            std::this_thread::sleep_for(10ms);
        }
    });
    bench::serveEventsUntil([&] { return arrived; }, waitLimit);
    stop = true;
    player.join();
}

struct Input {
    const char *name;
    std::function<std::unique_ptr<HostileDevice>()> serve; // null: no device to serve
    std::function<void()> run;
};

std::unique_ptr<HostileDevice> serving(HostileDevice::Mode mode, QByteArray payload = {})
{
    return std::make_unique<HostileDevice>(deviceAddress, 1400, mode, std::move(payload));
}

// A document that names an entity which names ten of the next, ten levels
// deep: a billion characters once expanded.
QByteArray cannedSoapAnswer()
{
    QByteArray document = "<?xml version=\"1.0\"?><!DOCTYPE s:Envelope [<!ENTITY e0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        document += "<!ENTITY e" + QByteArray::number(level) + " \"";
        for (int i = 0; i < 10; ++i)
            document += "&e" + QByteArray::number(level - 1) + ';';
        document += "\">";
    }
    return document
        + "]><s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body><u:PlayResponse "
          "xmlns:u=\"urn:schemas-upnp-org:service:AVTransport:1\"><Echo>&e9;</Echo></u:PlayResponse></s:Body></s:Envelope>";
}

std::vector<Input> inputs()
{
    using B = HostileDevice::Mode;
    const QByteArray elsewhere = QStringLiteral("http://%1:1400/elsewhere").arg(elsewhereAddress).toLatin1();
    return {
        {"doctor, typed address: endless body", [] { return serving(B::endlessBody); }, doctor},
        {"doctor, typed address: trickled body", [] { return serving(B::trickledBody); }, doctor},
        {"doctor, typed address: trickled status line", [] { return serving(B::trickledHead); }, doctor},
        {"doctor, typed address: redirect", [elsewhere] { return serving(B::redirect, elsewhere); }, doctor},
        {"SOAP answer: endless body", [] { return serving(B::endlessBody); }, [] { finish(soapCall()); }},
        {"SOAP answer: trickled body", [] { return serving(B::trickledBody); }, [] { finish(soapCall()); }},
        {"SOAP answer: redirect", [elsewhere] { return serving(B::redirect, elsewhere); }, [] { finish(soapCall()); }},
        {"SOAP answer: entity amplification", [] { return serving(B::cannedBody, cannedSoapAnswer()); },
            [] { finish(soapCall()); }},
        {"album art: endless body", [] { return serving(B::endlessBody); }, artwork},
        {"album art: trickled body", [] { return serving(B::trickledBody); }, artwork},
        {"album art: redirect", [elsewhere] { return serving(B::redirect, elsewhere); }, artwork},
        {"event listener: NOTIFY past 40 held connections", nullptr, notifyPastHeldConnections},
    };
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    // What Qt sets up on first use is not charged to the first input.
    doctor();
    finish(soapCall());

    std::printf("%-50s %18s %14s\n", "hostile input", "peak RSS growth", "returned in");
    for (const Input &input : inputs()) {
        const std::unique_ptr<HostileDevice> device = input.serve ? input.serve() : nullptr;
        QString error;
        if (device && !device->start(&error)) {
            std::printf("%-50s %s\n", input.name, qPrintable(error));
            continue;
        }
        const playersim::ResidentGrowth growth;
        const auto started = Clock::now();
        input.run();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        std::printf("%-50s %15lld KiB %11.0f ms\n", input.name, static_cast<long long>(growth.kib()), ms);
        std::fflush(stdout);
    }
    return 0;
}
