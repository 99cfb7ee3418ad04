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

// Each cause is the doctor's test to find (ConnectionDoctorNetnsTest); here,
// that the screen shows what it found, and that only a command is copied:
// the firewall rule that opens the speakers' network alone, never a setting.
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
    for (const Diagnosis::Cause cause : {Diagnosis::Cause::upnpOff, Diagnosis::Cause::firewall}) {
        SCOPED_TRACE(Diagnosis::causeName(cause).toStdString());
        const bool firewalled = cause == Diagnosis::Cause::firewall;
        std::unique_ptr<playersim::SsdpResponder> router;
        std::optional<DroppedInboundUdp> firewall;
        std::optional<RefusingSpeaker> speaker;
        if (firewalled) {
            router = routerOn(lanA, QString::fromLatin1(lanAPeer));
            if (!firewall.emplace(files).active())
                GTEST_SKIP() << firewall->skipReason().toStdString();
        } else {
            speaker = refusingSpeakerOn(lanA, QString::fromLatin1(lanAPeer));
        }
        StoreHandle store = realStore(files, sys.classNet());
        ViewWindow view(*store, menuView);

        // The panel showing starts the search; the examination follows it.
        const ConnectionCheck &check = store->household().connectionCheck();
        ASSERT_TRUE(testsupport::waitUntil([&] { return check.hasCause(); }, causeShownWithin));
        EXPECT_EQ(check.causeName(), Diagnosis::causeName(cause));
        ASSERT_TRUE(view.waitForNode(Text, check.causeText())) << view.tree();
        EXPECT_TRUE(view.node(Text, QStringLiteral("No Sonos speakers found"))) << view.tree();
        EXPECT_TRUE(view.node(Text, check.fixText())) << view.tree();
        EXPECT_TRUE(view.node(Text, Diagnosis::avahiHint())) << "no Avahi daemon runs here";
        EXPECT_EQ(view.node(Button, QStringLiteral("Copy")) != nullptr, firewalled);
        if (firewalled) {
            EXPECT_EQ(check.fixText(), Diagnosis::firewallFix(Diagnosis::Firewall::ufw, {QString::fromLatin1(lanASubnet)}).text);
            view.click(Button, QStringLiteral("Copy"));
            EXPECT_EQ(QGuiApplication::clipboard()->text(), check.fixText());
        }

        // The report copied says what the doctor found.
        view.click(Button, QStringLiteral("Copy diagnostics"));
        const QString report = QGuiApplication::clipboard()->text();
        EXPECT_TRUE(report.contains(QStringLiteral("Cause: %1\n").arg(Diagnosis::causeName(cause)))) << report.toStdString();
    }
}
