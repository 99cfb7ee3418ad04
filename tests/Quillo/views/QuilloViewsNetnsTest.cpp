// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The setup screen over the real store and the real connection doctor, in a
// private network namespace with LAN links (tests/netns/run-in-netns --links):
// the store searches with the real discovery, the doctor examines the
// namespace, and the screen is read the way assistive technology reads it.
// Skipped in the machine's own namespace.
#include "ViewTestSupport.h"

#include "AsyncTestSupport.h"
#include "TestAddresses.h"
#include "netns/NetnsTestSupport.h"

#include "SonosKit/doctor/ConnectionDoctor.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

using namespace netnstest;
using namespace std::chrono_literals;
using SonosKit::Diagnosis;
using viewtest::StoreHandle;
using viewtest::ViewWindow;

namespace {

const QUrl menuView(QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml"));
constexpr auto Text = QAccessible::StaticText;
constexpr auto Button = QAccessible::Button;

// The store's search, then the doctor's whole examination (3 s at most), on
// a machine busy with other tests.
constexpr double searchTimeout = 1.0;
constexpr auto causeShownWithin = 15s;

// The harness's links that are up; its multicast route goes with the first.
const QStringList harnessLinks{QStringLiteral("qa0"), QStringLiteral("qb0")};

// Every link of the namespace down, as on a computer off the network; the
// links and the harness's multicast route come back after (the case runs
// last, so nothing waits for them).
class LinksDown
{
public:
    LinksDown()
    {
        for (const QString &link : harnessLinks)
            EXPECT_TRUE(run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"), link, QStringLiteral("down")}));
    }
    ~LinksDown()
    {
        for (const QString &link : harnessLinks)
            run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"), link, QStringLiteral("up")});
        run(QStringLiteral("ip"),
            {QStringLiteral("route"), QStringLiteral("replace"), QStringLiteral("224.0.0.0/4"), QStringLiteral("dev"),
                harnessLinks.front()});
    }
    LinksDown(const LinksDown &) = delete;
    LinksDown &operator=(const LinksDown &) = delete;
};

// What a case places in the namespace.
enum class Network { routerOnly, routerBehindFirewall, refusingSpeaker, routerAndTunnel, nothingUp };

struct Placed {
    std::optional<RouterLikeDevice> router;
    std::optional<RefusingSpeaker> speaker;
    std::optional<DroppedInboundUdp> firewall;
    std::optional<TunnelRoute> tunnel;
    std::optional<LinksDown> down;

    // Empty, or why this machine can't build the network.
    QString place(Network network, const QTemporaryDir &files)
    {
        const QString peer = QString::fromLatin1(lanAPeer);
        switch (network) {
        case Network::routerOnly:
            router.emplace(lanA, peer);
            break;
        case Network::routerBehindFirewall:
            router.emplace(lanA, peer);
            firewall.emplace(files);
            return firewall->skipReason();
        case Network::refusingSpeaker:
            speaker = refusingSpeakerOn(lanA, peer);
            break;
        case Network::routerAndTunnel:
            router.emplace(lanA, peer);
            tunnel.emplace();
            return tunnel->skipReason();
        case Network::nothingUp:
            down.emplace();
            break;
        }
        return {};
    }
};

// The store as the program makes it, with its real household search and
// the real doctor; the doctor reads the namespace's own links and a ufw
// configuration of the test's.
StoreHandle realStore(const QTemporaryDir &files, const QString &classNet)
{
    PlayerStore::Settings settings = PlayerStore::defaultSettings();
    // Nothing here is about the players' events or a network that comes back.
    settings.events = false;
    settings.followNetworkChanges = false;
    settings.householdSearchTimeout = searchTimeout;
    settings.examineConnection = [ufw = files.filePath(QStringLiteral("ufw.conf")), classNet](
                                     SonosKit::ConnectionDoctor::Options options) {
        options.ufwConfigPath = ufw;
        options.sysClassNet = classNet;
        return SonosKit::ConnectionDoctor::examine(std::move(options));
    };
    return StoreHandle(new PlayerStore(
        std::make_unique<QSettings>(files.filePath(QStringLiteral("Quillo.conf")), QSettings::IniFormat), std::move(settings)));
}

} // namespace

TEST(QuilloViewsNetns, TheSetupScreenNamesTheCauseTheDoctorFindsOnTheNetworkAndItsFix)
{
    if (!inPrivateNamespace() || !withLinks())
        GTEST_SKIP() << "needs a private network namespace with LAN links (tests/netns/run-in-netns --links)";
    QTemporaryDir files;
    ASSERT_TRUE(files.isValid());
    const OwnSysfs sys(files);
    ASSERT_TRUE(sys.mounted());
    {
        // ufw on: a firewall's fix is its command for the network found.
        QFile ufw(files.filePath(QStringLiteral("ufw.conf")));
        ASSERT_TRUE(ufw.open(QIODevice::WriteOnly));
        ufw.write("ENABLED=yes\n");
    }
    // The doctor's sentences are the library's to pin; here, that the screen
    // shows what the check found, for each network the test can build.
    const struct {
        Network network;
        SonosKit::Diagnosis::Cause cause;
        QString report; // a line of the copied report
    } cases[] = {
        {Network::routerOnly, Diagnosis::Cause::noSpeakerOnNetwork, QStringLiteral("VPN active: no\n")},
        {Network::routerBehindFirewall, Diagnosis::Cause::firewall, QStringLiteral("Cause: firewall\n")},
        {Network::refusingSpeaker, Diagnosis::Cause::upnpOff, QStringLiteral("  control: failed in ")},
        {Network::routerAndTunnel, Diagnosis::Cause::noSpeakerOnNetwork, QStringLiteral("VPN active: yes\n")},
        {Network::nothingUp, Diagnosis::Cause::noNetwork, QStringLiteral("Cause: noNetwork\n")},
    };
    for (const auto &each : cases) {
        SCOPED_TRACE(Diagnosis::causeName(each.cause).toStdString());
        Placed placed;
        if (const QString reason = placed.place(each.network, files); !reason.isEmpty()) {
            std::printf("skipping a case: %s\n", qPrintable(reason));
            continue;
        }
        StoreHandle store = realStore(files, sys.classNet());
        ViewWindow view(*store, menuView);

        // The panel showing starts the search; the examination follows it.
        const ConnectionCheck &check = store->household().connectionCheck();
        ASSERT_TRUE(testsupport::waitUntil([&] { return check.hasCause(); }, causeShownWithin));
        EXPECT_EQ(check.causeName(), Diagnosis::causeName(each.cause));
        ASSERT_TRUE(view.waitForNode(Text, check.causeText())) << view.tree();
        EXPECT_TRUE(view.node(Text, QStringLiteral("No Sonos speakers found"))) << view.tree();
        EXPECT_TRUE(view.node(Text, check.fixText())) << view.tree();
        // Only a command is copied: the rule that opens the speakers' network alone.
        EXPECT_EQ(view.node(Button, QStringLiteral("Copy")) != nullptr, each.network == Network::routerBehindFirewall);
        if (each.network == Network::routerBehindFirewall) {
            EXPECT_EQ(check.fixText(), Diagnosis::firewallFix(Diagnosis::Firewall::ufw, {QString::fromLatin1(lanASubnet)}).text);
            view.click(Button, QStringLiteral("Copy"));
            EXPECT_EQ(QGuiApplication::clipboard()->text(), check.fixText());
        }
        EXPECT_TRUE(view.node(Text, Diagnosis::avahiHint())) << "no Avahi daemon runs here";

        // The report copied says what the doctor found.
        view.click(Button, QStringLiteral("Copy diagnostics"));
        const QString report = QGuiApplication::clipboard()->text();
        EXPECT_TRUE(report.contains(each.report)) << report.toStdString();
    }
}
