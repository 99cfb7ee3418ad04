// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// The panel and the welcome window as shipped, over a real store talking to
// the simulated household: which screen shows, what it says, and what a click
// on it reaches.
#include "StoreTestSupport.h"
#include "ViewTestSupport.h"

#include "Quillo/app/HelpLinks.h"
#include "Quillo/app/QmlEngine.h"
#include "Quillo/app/QuilloApplication.h"
#include "Quillo/tray/WelcomeWindow.h"

#include "SonosKit/events/EventSubscription.h"

#include <QAccessibleValueInterface>
#include <QClipboard>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

using namespace viewtest;
using storetest::callCount;
using storetest::idOfTitle;
using testsupport::Suite;
using testsupport::waitUntil;

namespace {

const QUrl menuView(QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml"));

constexpr auto Button = QAccessible::Button;
// Qt 6.4 keeps a control's own role whatever Accessible.role says: link buttons
// read as buttons.
constexpr auto Link = QAccessible::Button;
constexpr auto Text = QAccessible::StaticText;

const QString searching = QStringLiteral("Looking for speakers\u2026");
// Subscriptions whose first event does not come in this long count as blocked.
constexpr auto blockedWithin = SonosKit::EventSubscription::firstEventLimit + std::chrono::seconds(3);

// The store's household on the running test's block, and the panel open over
// it with the group that holds `room` chosen.
struct Panel {
    explicit Panel(const QString &room = QStringLiteral("Living Room"), std::optional<SonosKit::Diagnosis> examined = {},
        bool events = false)
    {
        if (examined) {
            rig.examineConnection = [found = *examined](SonosKit::ConnectionDoctor::Options) -> QCoro::Task<SonosKit::Diagnosis> {
                co_return found;
            };
        }
        // The players take the subscriptions, but their events never arrive;
        // blocked subscriptions are tried again quickly.
        if (events) {
            rig.events = true;
            rig.eventAddress = storetest::listenAddress(Suite::QuilloViews);
            rig.eventRetryInterval = std::chrono::milliseconds(500);
            household.setDropNotifications(true);
        }
        rig.writeSettingsText("selectedRoomName=" + room.toUtf8() + "\n");
        store = rig.makeStore();
        view = std::make_unique<ViewWindow>(*store, menuView);
        // The opening's load of favorites ends by putting back the entry
        // chosen when it began, overriding any choice made meanwhile: wait
        // for its very end, the service names and the entry's tracks.
        EXPECT_TRUE(waitUntil([this] {
            return !store->library().favorites().isEmpty() && !store->library().serviceNames().isEmpty()
                && store->library().selectedItem() && !store->trackList().isLoading();
        })) << view->tree();
    }

    void select(const QString &title)
    {
        store->library().selectItem(idOfTitle(*store, title));
        EXPECT_TRUE(waitUntil([this] { return !store->trackList().isLoading(); }));
    }
    QString address(const QString &room) const { return household.addressOfRoom(room); }

    playersim::Household household = storetest::startedHousehold(Suite::QuilloViews);
    storetest::StoreRig rig{household};
    StoreHandle store;
    std::unique_ptr<ViewWindow> view;
};

} // namespace

TEST(QuilloViews, SetupSearchesThenExplainsAnEmptySearchAndShowsTheControlsOnceGroupsArrive)
{
    playersim::Household household = storetest::startedHousehold(Suite::QuilloViews);
    // An address of this test's block that no player answers on.
    const QString silent = household.addresses().first().section(u'.', 0, 2) + QStringLiteral(".30");
    storetest::StoreRig rig(household);
    const auto gate = std::make_shared<SearchGate>();
    rig.searchMayAsk = SearchGate::waiter(gate);
    auto store = rig.makeStore();
    ViewWindow view(*store, menuView);

    // The panel showing is what starts the search.
    ASSERT_TRUE(view.waitForNode(Text, searching)) << view.tree();
    EXPECT_TRUE(store->nowPlaying().isPolling());
    EXPECT_TRUE(view.node(QAccessible::Indicator, QStringLiteral("Searching"))) << view.tree();
    EXPECT_FALSE(view.node(Button, QStringLiteral("Troubleshooting\u2026"))) << view.tree();
    EXPECT_FALSE(view.node(QAccessible::ComboBox, QStringLiteral("Group")));
    EXPECT_TRUE(view.isEnabled(Button, QStringLiteral("Try Again")));

    // The setup screen tells the store when the panel hides and shows, as
    // the controls do.
    view.hide();
    EXPECT_FALSE(store->nowPlaying().isPolling());
    view.show();
    EXPECT_TRUE(store->nowPlaying().isPolling());

    // The search finds nothing.
    gate->abandon();
    ASSERT_TRUE(view.waitForNode(Text, QStringLiteral("No Sonos speakers found"))) << view.tree();
    EXPECT_TRUE(view.node(Text,
        QStringLiteral("Quillo searched your network and no speaker answered. Check that this "
                       "computer is on the same network as your speakers, or enter a speaker's "
                       "address below.")))
        << view.tree();
    EXPECT_TRUE(view.node(Button, QStringLiteral("Troubleshooting\u2026")));
    EXPECT_FALSE(view.node(QAccessible::EditableText, QStringLiteral("Speaker address"))) << view.tree();
    EXPECT_FALSE(view.node(Link, QStringLiteral("Use Automatic Discovery")));
    {
        // In German, with what the program installs at start for a German user.
        QTranslator german;
        ASSERT_TRUE(
            german.load(QLocale(QLocale::German), QStringLiteral("quillo"), QStringLiteral("_"), QStringLiteral(":/i18n")));
        QCoreApplication::installTranslator(&german);
        view.window().engine()->retranslate();
        EXPECT_TRUE(view.waitForNode(Text, QStringLiteral("Keine Sonos-Lautsprecher gefunden"))) << view.tree();
        EXPECT_TRUE(view.node(Button, QStringLiteral("Fehlerbehebung\u2026"))) << view.tree();
        QCoreApplication::removeTranslator(&german);
        view.window().engine()->retranslate();
    }

    view.click(Link, QStringLiteral("Enter a speaker's IP address instead\u2026"));
    ASSERT_TRUE(view.waitForNode(QAccessible::EditableText, QStringLiteral("Speaker address"))) << view.tree();
    ASSERT_TRUE(view.activate());
    view.click(QAccessible::EditableText, QStringLiteral("Speaker address"));
    view.type(QStringLiteral("   "));
    EXPECT_FALSE(view.isEnabled(Button, QStringLiteral("Connect"))) << "blank but for spaces";
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&view.window(), Qt::Key_Backspace);
    view.type(silent);
    ASSERT_TRUE(view.isEnabled(Button, QStringLiteral("Connect")));
    view.click(Button, QStringLiteral("Connect"));

    ASSERT_TRUE(view.waitForNode(Text, QStringLiteral("Couldn't reach that speaker"))) << view.tree();
    EXPECT_TRUE(view.node(Text,
        silent
            + QStringLiteral(" didn't answer. Check the address, or clear it to go back to "
                             "automatic discovery.")))
        << view.tree();
    EXPECT_FALSE(view.node(Button, QStringLiteral("Troubleshooting\u2026"))) << view.tree();
    EXPECT_TRUE(view.node(Link, QStringLiteral("Use Automatic Discovery")));
    QQuickItem *field = ViewWindow::itemOf(view.node(QAccessible::EditableText, QStringLiteral("Speaker address")));
    ASSERT_TRUE(field);
    // Each time the panel opens, the stored address is back for correction.
    field->setProperty("text", QString());
    view.hide();
    view.show();
    EXPECT_EQ(field->property("text").toString(), silent);

    view.click(Link, QStringLiteral("Use Automatic Discovery"));
    ASSERT_TRUE(view.waitForNode(Text, QStringLiteral("No Sonos speakers found"))) << view.tree();
    EXPECT_FALSE(store->preferences().manualHost());

    // Another search, and the household answers.
    gate->open();
    view.click(Button, QStringLiteral("Try Again"));
    ASSERT_TRUE(view.waitForNode(QAccessible::ComboBox, QStringLiteral("Group"))) << view.tree();
    EXPECT_FALSE(view.node(Button, QStringLiteral("Try Again")));
    const QQuickItem *picker = ViewWindow::itemOf(view.node(QAccessible::ComboBox, QStringLiteral("Group")));
    ASSERT_TRUE(store->household().selectedGroup());
    EXPECT_EQ(picker->property("currentText").toString(), store->household().selectedGroup()->displayName());
}

TEST(QuilloViews, TransportAndVolumeReachTheGroupThePickerShows)
{
    Panel panel(QStringLiteral("Kitchen"));
    ViewWindow &view = *panel.view;
    const QQuickItem *picker = ViewWindow::itemOf(view.node(QAccessible::ComboBox, QStringLiteral("Group")));
    ASSERT_TRUE(picker) << view.tree();
    EXPECT_FALSE(view.node(QAccessible::ComboBox, QStringLiteral("System"))) << "one system: no choice to offer";

    // Another group, picked from the list as the user does.
    view.click(QAccessible::ComboBox, QStringLiteral("Group"));
    QObject *popup = picker->property("popup").value<QObject *>();
    ASSERT_TRUE(waitUntil([&] { return popup->property("opened").toBool(); }));
    const auto entry = [&] { return findItem(view.window(), "QQuickAbstractButton", QStringLiteral("Living Room")); };
    ASSERT_TRUE(waitUntil(entry));
    view.click(entry());
    ASSERT_TRUE(waitUntil([&] { return picker->property("displayText").toString() == QStringLiteral("Living Room"); }))
        << view.tree();

    panel.household.log()->clear();
    view.click(Button, QStringLiteral("Next"));
    ASSERT_TRUE(waitUntil([&] { return callCount(panel.household, QStringLiteral("Next")) == 1; }));
    EXPECT_EQ(panel.household.log()->calls(QStringLiteral("Next")).front().player, panel.address(QStringLiteral("Living Room")));
    // The play mode toggles beside it: checked as the store says, repeat's
    // description saying what it repeats.
    view.click(QAccessible::CheckBox, QStringLiteral("Shuffle"));
    view.click(QAccessible::CheckBox, QStringLiteral("Repeat"));
    ASSERT_TRUE(waitUntil([&] { return callCount(panel.household, QStringLiteral("SetPlayMode")) == 2; }));
    EXPECT_TRUE(view.node(QAccessible::CheckBox, QStringLiteral("Shuffle"))->state().checked);
    EXPECT_EQ(view.node(QAccessible::CheckBox, QStringLiteral("Repeat"))->text(QAccessible::Description), u"All tracks");

    // A drag shows its value as it goes and sends it once, on release.
    QAccessibleValueInterface *level = view.node(QAccessible::Slider, QStringLiteral("Volume"))->valueInterface();
    ASSERT_TRUE(level);
    view.dragSlider(QStringLiteral("Volume"), 0.2, 0.8);
    const int shown = level->currentValue().toInt();
    EXPECT_GT(shown, 60);
    EXPECT_LT(shown, 95);
    EXPECT_EQ(callCount(panel.household, QStringLiteral("SetGroupVolume")), 0) << "sent before the release";
    view.release();
    ASSERT_TRUE(waitUntil([&] { return panel.household.volume(panel.address(QStringLiteral("Living Room"))) == shown; }));
    EXPECT_EQ(callCount(panel.household, QStringLiteral("SetGroupVolume")), 1);

    // Assistive technology sets a value outright; it is sent at once.
    level->setCurrentValue(35);
    EXPECT_TRUE(waitUntil([&] { return panel.household.volume(panel.address(QStringLiteral("Living Room"))) == 35; }));

    // A sleep timer from the button's menu: the button then shows and says
    // the time left, and its menu offers turning it off, only while it runs.
    const QString sleepTimer = QStringLiteral("Sleep Timer");
    const QString turnOff = QStringLiteral("Turn Off Sleep Timer");
    const auto menuEntry = [&](const QString &text) { return findItem(view.window(), "QQuickMenuItem", text); };
    view.click(Button, sleepTimer);
    ASSERT_TRUE(waitUntil([&] { return menuEntry(QStringLiteral("30 minutes")); })) << view.tree();
    EXPECT_FALSE(menuEntry(turnOff));
    view.click(menuEntry(QStringLiteral("30 minutes")));
    QAccessibleInterface *sleep = view.node(Button, sleepTimer);
    ASSERT_TRUE(waitUntil([&] { return sleep->text(QAccessible::Description) == QStringLiteral("30 minutes left"); }));
    EXPECT_TRUE(visibleTexts(ViewWindow::itemOf(sleep)).contains(QStringLiteral("30 min")));
    view.click(Button, sleepTimer);
    ASSERT_TRUE(waitUntil([&] { return menuEntry(turnOff); }));
    view.click(menuEntry(turnOff));
    ASSERT_TRUE(waitUntil([&] { return sleep->text(QAccessible::Description).isEmpty(); }));
    EXPECT_FALSE(panel.store->sleepTimer().isRunning());
    // The soundbar's TV, one click away by its name; while it plays the
    // transport allows nothing.
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("TV (Living Room)"))) << view.tree();
    view.click(Button, QStringLiteral("TV (Living Room)"));
    ASSERT_TRUE(waitUntil([&] { return !view.isEnabled(Button, QStringLiteral("Next")); })) << view.tree();
    EXPECT_TRUE(panel.household.currentURI(panel.address(QStringLiteral("Living Room"))).startsWith(u"x-sonos-htastream:"));
    EXPECT_FALSE(view.isEnabled(Button, QStringLiteral("Previous")));
    // The transport's state reaches the button after the input starts: until
    // then it may still be named Play.
    EXPECT_TRUE(waitUntil([&] {
        const QQuickItem *pause = ViewWindow::itemOf(view.node(Button, QStringLiteral("Pause")));
        return pause && !pause->isEnabled();
    })) << view.tree();
}

TEST(QuilloViews, TheRoomsListGroupsRoomsAndSetsEachOnesLevelsByName)
{
    Panel panel(QStringLiteral("Kitchen"));
    ViewWindow &view = *panel.view;
    const QString office = panel.address(QStringLiteral("Office"));
    EXPECT_FALSE(view.node(QAccessible::CheckBox, QStringLiteral("Office"))) << "closed at first";
    view.click(Button, QStringLiteral("Rooms"));
    ASSERT_TRUE(view.waitForNode(QAccessible::Slider, QStringLiteral("Office volume"))) << view.tree();
    EXPECT_EQ(view.names(QAccessible::CheckBox),
        (QStringList{QStringLiteral("Shuffle"), QStringLiteral("Repeat"), QStringLiteral("Up Next"), QStringLiteral("Crossfade"),
            QStringLiteral("Kitchen"), QStringLiteral("Living Room"), QStringLiteral("Office")}));
    EXPECT_EQ(view.names(QAccessible::Slider),
        (QStringList{QStringLiteral("Volume"), QStringLiteral("Kitchen volume"), QStringLiteral("Office volume")}));
    EXPECT_TRUE(view.node(Button, QStringLiteral("Mute Kitchen")));
    EXPECT_FALSE(view.node(Button, QStringLiteral("Mute Living Room")));

    // A click on a room's box puts it in the group; the picker follows.
    const QQuickItem *picker = ViewWindow::itemOf(view.node(QAccessible::ComboBox, QStringLiteral("Group")));
    view.click(QAccessible::CheckBox, QStringLiteral("Living Room"));
    EXPECT_TRUE(waitUntil([&] { return picker->property("displayText").toString() == QStringLiteral("Kitchen + 2"); }));
    ASSERT_TRUE(view.waitForNode(QAccessible::Slider, QStringLiteral("Living Room volume"))) << view.tree();
    EXPECT_TRUE(view.node(QAccessible::CheckBox, QStringLiteral("Living Room"))->state().checked);

    view.click(Button, QStringLiteral("Mute Office"));
    EXPECT_TRUE(waitUntil([&] { return panel.household.isMuted(office); }));
    EXPECT_TRUE(waitUntil([&] { return view.node(Button, QStringLiteral("Mute Office"))->state().checked; }));

    // While the group slider is dragged every room's slider moves with it
    // (where the players end is the store's rooms test).
    QAccessibleValueInterface *officeLevel = view.node(QAccessible::Slider, QStringLiteral("Office volume"))->valueInterface();
    ASSERT_TRUE(officeLevel);
    const int before = officeLevel->currentValue().toInt();
    view.dragSlider(QStringLiteral("Volume"), 0.3, 0.05);
    EXPECT_LT(officeLevel->currentValue().toInt(), before);
    view.release();

    // Each room's sound on a page of its own: the soundbar's switches only
    // where it has them; Escape returns to the button that opened it.
    const QString livingSound = QStringLiteral("Living Room sound settings");
    view.click(Button, livingSound);
    ASSERT_TRUE(view.waitForNode(QAccessible::CheckBox, QStringLiteral("Speech Enhancement"))) << view.tree();
    EXPECT_EQ(view.names(QAccessible::Slider), (QStringList{QStringLiteral("Bass"), QStringLiteral("Treble")}));
    EXPECT_EQ(view.names(QAccessible::CheckBox),
        (QStringList{QStringLiteral("Loudness"), QStringLiteral("Night Sound"), QStringLiteral("Speech Enhancement")}));
    EXPECT_TRUE(view.node(Button, QStringLiteral("Reset")));
    ASSERT_TRUE(view.activate());
    QTest::keyClick(&view.window(), Qt::Key_Escape);
    ASSERT_TRUE(view.waitForNode(QAccessible::Slider, QStringLiteral("Office volume"))) << view.tree();
    EXPECT_EQ(view.window().activeFocusItem(), ViewWindow::itemOf(view.node(Button, livingSound)));
    view.click(Button, QStringLiteral("Office sound settings"));
    ASSERT_TRUE(view.waitForNode(QAccessible::CheckBox, QStringLiteral("Loudness"))) << view.tree();
    EXPECT_EQ(view.names(QAccessible::CheckBox), QStringList{QStringLiteral("Loudness")});
}

TEST(QuilloViews, ProgressAndTheLibrarysRowsShowWhatPlaysAndPlayWhatIsClicked)
{
    Panel panel;
    ViewWindow &view = *panel.view;
    // The queue's first track, stopped at its start: a position and a length.
    ASSERT_TRUE(view.waitForNode(QAccessible::ProgressBar, QStringLiteral("0:00 of 3:20"))) << view.tree();
    EXPECT_TRUE(view.node(Text, QStringLiteral("Queued 1")));

    panel.store->nowPlaying().seek(83);
    ASSERT_TRUE(view.waitForNode(QAccessible::ProgressBar, QStringLiteral("1:23 of 3:20"))) << view.tree();
    const QQuickItem *bar = ViewWindow::itemOf(view.node(QAccessible::ProgressBar, QStringLiteral("1:23 of 3:20")));

    // A station has a position but no length.
    panel.store->library().play(panel.store->library().favorites().at(0));
    ASSERT_TRUE(waitUntil([&] {
        const auto &playback = panel.store->nowPlaying().playback();
        return playback && playback->positionSeconds && !playback->durationSeconds && panel.store->nowPlaying().isPlaying();
    }));
    EXPECT_EQ(view.names(QAccessible::ProgressBar), QStringList()) << view.tree();
    EXPECT_FALSE(bar->isVisible());

    // Rows of a longer list are numbered from one and play their position.
    panel.select(QStringLiteral("Dinner Party"));
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("Dinner 2"))) << view.tree();
    QQuickItem *first = ViewWindow::itemOf(view.node(Button, QStringLiteral("Dinner 1")));
    QQuickItem *second = ViewWindow::itemOf(view.node(Button, QStringLiteral("Dinner 2")));
    ASSERT_TRUE(first);
    EXPECT_EQ(visibleTexts(first), (QStringList{QStringLiteral("1"), QStringLiteral("Dinner 1"), QStringLiteral("Test Artist")}));
    EXPECT_EQ(
        visibleTexts(second), (QStringList{QStringLiteral("2"), QStringLiteral("Dinner 2"), QStringLiteral("Test Artist")}));

    view.click(Button, QStringLiteral("Dinner 2"));
    EXPECT_TRUE(waitUntil([&] {
        return panel.store->nowPlaying().playback() && panel.store->nowPlaying().playback()->title == QStringLiteral("Dinner 2");
    })) << "now: "
        << panel.household.currentURI(panel.address(QStringLiteral("Living Room"))).toStdString();

    // A list of one has nothing to count.
    panel.select(QStringLiteral("Solo"));
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("Solo"))) << view.tree();
    EXPECT_EQ(visibleTexts(ViewWindow::itemOf(view.node(Button, QStringLiteral("Solo")))), QStringList{QStringLiteral("Solo")});

    // A streaming playlist's tracks come through the queue.
    panel.select(QStringLiteral("Discover Weekly"));
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("Show tracks"))) << view.tree();
    EXPECT_TRUE(view.node(Text,
        QStringLiteral("Spotify doesn't list tracks to the player directly. Showing them loads "
                       "this playlist into Living Room's queue, replacing what's there.")))
        << view.tree();
    // The favorite itself stays playable from its row.
    EXPECT_TRUE(view.node(Button, QStringLiteral("Discover Weekly")));
    view.click(Button, QStringLiteral("Show tracks"));
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("Weekly 3"))) << view.tree();
    const QStringList weekly{QStringLiteral("Weekly 1"), QStringLiteral("Weekly 2"), QStringLiteral("Weekly 3")};
    EXPECT_EQ(view.names(Button).filter(QStringLiteral("Weekly ")), weekly);
    EXPECT_EQ(panel.household.queueTitles(panel.address(QStringLiteral("Living Room"))), weekly);
    EXPECT_FALSE(view.node(Button, QStringLiteral("Show tracks")));

    // A row that fails dims, still plays, and the footer says why until the
    // next good refresh.
    const QString failure = QStringLiteral("\"Morning Mix\" can't play \u2014 its music service needs re-authorizing in "
                                           "the Sonos app.");
    panel.select(QStringLiteral("Morning Mix"));
    ASSERT_TRUE(view.waitForNode(Button, QStringLiteral("Morning Mix"))) << view.tree();
    EXPECT_DOUBLE_EQ(ViewWindow::itemOf(view.node(Button, QStringLiteral("Morning Mix")))->opacity(), 1.0);

    panel.household.log()->clear();
    view.click(Button, QStringLiteral("Morning Mix"));
    ASSERT_TRUE(view.waitForNode(Text, failure)) << view.tree();
    QAccessibleInterface *row = view.node(Button, QStringLiteral("Morning Mix"));
    ASSERT_TRUE(row) << view.tree();
    EXPECT_DOUBLE_EQ(ViewWindow::itemOf(row)->opacity(), 0.5);
    EXPECT_EQ(
        row->text(QAccessible::Description), QStringLiteral("This item's music service needs re-authorizing in the Sonos app."));
    EXPECT_EQ(callCount(panel.household, QStringLiteral("Play")), 1);

    view.click(Button, QStringLiteral("Morning Mix"));
    EXPECT_TRUE(waitUntil([&] { return callCount(panel.household, QStringLiteral("Play")) == 2; }))
        << "a dimmed row no longer answers clicks";

    view.click(Button, QStringLiteral("Refresh"));
    EXPECT_TRUE(waitUntil([&] { return !view.node(Text, failure); })) << view.tree();
}

TEST(QuilloViews, BlockedLiveUpdatesAreExplainedInThePanelWithTheRuleForTheFirewallFound)
{
    // This computer as the doctor finds it: ufw on, one network.
    SonosKit::Diagnosis found;
    found.firewall = SonosKit::Diagnosis::Firewall::ufw;
    found.interfaces = {
        {QStringLiteral("wlan0"), QStringLiteral("192.168.1.37"), QStringLiteral("192.168.1.0/24"), true, true, true, false}};
    Panel panel(QStringLiteral("Living Room"), found, true);
    ViewWindow &view = *panel.view;
    OpenedLinks links;
    const QString link = QStringLiteral("Live updates blocked by a firewall");
    const QString rule
        = SonosKit::Diagnosis::firewallFix(SonosKit::Diagnosis::Firewall::ufw, {QStringLiteral("192.168.1.0/24")}).text;
    const QString back = QStringLiteral("Back");
    const auto showsControls = [&] { return view.node(QAccessible::ComboBox, QStringLiteral("Group")) != nullptr; };
    const auto explain = [&] {
        view.click(Link, link);
        ASSERT_TRUE(view.waitForNode(Button, back)) << view.tree();
        EXPECT_FALSE(showsControls()) << "the explanation stands in for the controls";
    };
    EXPECT_FALSE(view.node(Link, link));

    ASSERT_TRUE(waitUntil([&] { return view.node(Link, link) != nullptr; }, blockedWithin)) << view.tree();
    explain();
    ASSERT_TRUE(view.waitForNode(Text, rule)) << view.tree();
    EXPECT_TRUE(view.node(Text, QStringLiteral("Live updates blocked")));
    EXPECT_TRUE(view.node(Text,
        QStringLiteral("Your speakers' live updates don't reach this computer; a firewall on it is probably blocking them. "
                       "Meanwhile Quillo keeps the panel current by asking the speakers every few seconds.")))
        << view.tree();
    view.click(Button, QStringLiteral("Copy"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), rule);
    view.click(Button, QStringLiteral("Troubleshooting\u2026"));
    EXPECT_EQ(links.urls, QList<QUrl>{HelpLinks::liveUpdatesHelpURL()});

    // Escape goes back rather than closing the panel, and the keyboard is
    // back on the link.
    ASSERT_TRUE(view.activate());
    QTest::keyClick(&view.window(), Qt::Key_Escape);
    ASSERT_TRUE(waitUntil(showsControls)) << view.tree();
    EXPECT_TRUE(view.window().isVisible());
    EXPECT_FALSE(view.node(Text, rule));
    EXPECT_EQ(view.window().activeFocusItem(), ViewWindow::itemOf(view.node(Link, link)));

    // So does Back; a panel closed on the explanation opens on the controls.
    explain();
    view.click(Button, back);
    ASSERT_TRUE(waitUntil(showsControls)) << view.tree();
    explain();
    view.hide();
    view.show();
    EXPECT_TRUE(showsControls()) << view.tree();

    // Events that get through again end the explanation and the link.
    explain();
    panel.household.setDropNotifications(false);
    ASSERT_TRUE(waitUntil(showsControls, blockedWithin)) << view.tree();
    EXPECT_FALSE(view.node(Link, link));
    EXPECT_FALSE(view.node(Button, back));
}

TEST(QuilloViews, WelcomeLinksOpenTheReportAndHelpPagesAndGotItDismissesForGood)
{
    storetest::StoreRig rig(QStringLiteral("127.0.0.1"));
    auto store = rig.makeStore();
    PlayerStore::provideToQml(store.get());
    auto engine = makeQmlEngine();
    OpenedLinks links;
    int dismissals = 0;
    {
        WelcomeWindow welcome(engine.get());
        QObject::connect(&welcome, &WelcomeWindow::dismissed, [&] { ++dismissals; });
        welcome.show();
        QQuickView *window = welcome.window();
        ASSERT_TRUE(window && window->status() == QQuickView::Ready);
        welcome.show();
        EXPECT_EQ(welcome.window(), window);

        clickItem(*window, findItem(*window, "QQuickAbstractButton", QStringLiteral("Report it")));
        clickItem(*window, findItem(*window, "QQuickAbstractButton", QStringLiteral("help page")));
        // What the links carry is the shell's test; here, that each opens its own.
        ASSERT_EQ(links.urls.size(), 2);
        EXPECT_EQ(links.urls.at(0), HelpLinks::reportURL());
        EXPECT_EQ(links.urls.at(1), HelpLinks::pageURL());

        // Closing from the title bar only hides the window.
        window->close();
        EXPECT_EQ(dismissals, 0);
        welcome.show();
        EXPECT_EQ(welcome.window(), window);

        clickItem(*window, findItem(*window, "QQuickAbstractButton", QStringLiteral("Got It")));
        ASSERT_TRUE(waitUntil([&] { return dismissals == 1; }));
        EXPECT_FALSE(welcome.window());

        // Return anywhere in a fresh window means "Got It".
        welcome.show();
        ASSERT_TRUE(welcome.window());
        ASSERT_TRUE(waitUntil([&] { return welcome.window()->isActive(); }));
        QTest::keyClick(welcome.window(), Qt::Key_Return);
        EXPECT_TRUE(waitUntil([&] { return dismissals == 2; }));
    }
    engine.reset();
    PlayerStore::provideToQml(nullptr);
}

TEST(QuilloViews, WithTwoSystemsTheSystemChooserPicksWhoseGroupsThePickerShows)
{
    playersim::Household current = storetest::startedHousehold(Suite::QuilloViews);
    playersim::Household older = testsupport::startedHousehold(
        playersim::Household::secondHousehold(testsupport::firstAddress(Suite::QuilloViews, 1)));
    storetest::StoreRig rig{current};
    rig.otherSearchAddresses = {older.addresses().first()};
    StoreHandle store = rig.makeStore();
    ViewWindow view(*store, menuView);
    ASSERT_TRUE(view.waitForNode(QAccessible::ComboBox, QStringLiteral("System"))) << view.tree();

    const QQuickItem *chooser = ViewWindow::itemOf(view.node(QAccessible::ComboBox, QStringLiteral("System")));
    view.click(QAccessible::ComboBox, QStringLiteral("System"));
    ASSERT_TRUE(waitUntil([&] { return chooser->property("popup").value<QObject *>()->property("opened").toBool(); }));
    const auto entry = [&] { return findItem(view.window(), "QQuickAbstractButton", QStringLiteral("S1 · Garage, Workshop")); };
    ASSERT_TRUE(waitUntil(entry)) << view.tree();
    view.click(entry());
    const QQuickItem *picker = ViewWindow::itemOf(view.node(QAccessible::ComboBox, QStringLiteral("Group")));
    EXPECT_TRUE(waitUntil([&] { return picker->property("displayText").toString() == QStringLiteral("Garage"); })) << view.tree();
    EXPECT_EQ(store->preferences().selectedHousehold(), older.householdId());
}
