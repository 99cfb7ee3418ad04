// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Names the players tell (rooms, inputs, favorites, playlists, tracks,
// artists, the next alarm's room) show as the text they are wherever the
// panel draws them: markup in one is never rendered, so an image it names is
// never fetched.
#include "StoreTestSupport.h"
#include "ViewTestSupport.h"

#include "Quillo/tray/TrayIcon.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

using namespace viewtest;
using testsupport::waitUntil;

TEST(QuilloViews, NamesFromThePlayersShowAsPlainTextInEveryControlPopupAndTip)
{
    QTcpServer imageHost;
    ASSERT_TRUE(imageHost.listen(QHostAddress::LocalHost));
    const QByteArray image = "<img src='http://127.0.0.1:" + QByteArray::number(imageHost.serverPort()) + "/x.png'>";
    QJsonObject root = QJsonDocument::fromJson(storetest::householdWithQueue(3)).object();
    root.insert(
        QStringLiteral("alarms"), QJsonArray{QJsonObject{{"id", 1}, {"startTime", "07:00:00"}, {"roomUUID", "RINCON_L01400"}}});
    QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Compact);
    for (const char *name :
        {"Living Room", "Kitchen", "Radio Paradise", "Discover Weekly", "Dinner Party", "Weekly", "Track", "Test Artist"})
        json.replace(QByteArray("\"") + name, "\"" + image + name);
    playersim::Household household = testsupport::startedHousehold(
        playersim::Household::fromJson(json, testsupport::firstAddress(testsupport::Suite::QuilloViews)));
    storetest::StoreRig rig(household);
    rig.writeSettingsText("selectedRoomName=\"" + image + "Living Room\"\n");
    StoreHandle store = rig.makeStore();
    ViewWindow view(*store, QUrl(QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml")));
    const QString tv = QStringLiteral("TV (%1Living Room)").arg(QString::fromUtf8(image));
    ASSERT_TRUE(view.waitForNode(QAccessible::Button, tv)) << view.tree();
    ASSERT_TRUE(waitUntil([&] { return store->library().selectedItem() && !store->trackList().isLoading(); }));

    // Every shown text holding markup, unless it is drawn as plain text.
    const auto richTexts = [&] {
        QStringList found;
        const std::function<void(const QQuickItem *)> walk = [&](const QQuickItem *item) {
            const QString text = item->property("text").toString();
            if (item->inherits("QQuickText") && text.contains(u"<img") && item->property("textFormat").toInt() != Qt::PlainText)
                found.append(QString::fromUtf8(item->parentItem()->metaObject()->className()) + u' ' + text);
            for (const QQuickItem *child : item->childItems()) {
                if (child->isVisible())
                    walk(child);
            }
        };
        walk(view.window().contentItem());
        return found;
    };
    EXPECT_EQ(richTexts(), QStringList());

    // Each chooser's list.
    for (const QString &chooser : {QStringLiteral("Group"), QStringLiteral("Provider"), QStringLiteral("Favorite")}) {
        auto *popup = ViewWindow::itemOf(view.node(QAccessible::ComboBox, chooser))->property("popup").value<QObject *>();
        view.click(QAccessible::ComboBox, chooser);
        ASSERT_TRUE(waitUntil([&] { return popup->property("opened").toBool(); }));
        EXPECT_EQ(richTexts(), QStringList());
        // The entries show their names, whatever kind of list it holds.
        const QString current = ViewWindow::itemOf(view.node(QAccessible::ComboBox, chooser))->property("currentText").toString();
        EXPECT_TRUE(visibleTexts(view.window().contentItem()).contains(current)) << chooser.toStdString();
        QTest::keyClick(&view.window(), Qt::Key_Escape);
        ASSERT_TRUE(waitUntil([&] { return !popup->property("visible").toBool(); }));
    }

    // The input's tip names it.
    QQuickItem *input = ViewWindow::itemOf(view.node(QAccessible::Button, tv));
    input->setProperty("hoverEnabled", true); // off under the offscreen platform
    QTest::mouseMove(&view.window(), input->mapToScene(QPointF(input->width() / 2, input->height() / 2)).toPoint());
    ASSERT_TRUE(waitUntil([&] { return visibleTexts(view.window().contentItem()).contains(QStringLiteral("Play ") + tv); }));
    EXPECT_EQ(richTexts(), QStringList());

    // Up Next's titles and artists.
    view.click(QAccessible::CheckBox, QStringLiteral("Up Next"));
    ASSERT_TRUE(
        waitUntil([&] { return visibleTexts(view.window().contentItem()).contains(QString::fromUtf8(image + "Track 3")); }));
    EXPECT_EQ(richTexts(), QStringList());

    // The footer's next alarm names its room.
    ASSERT_TRUE(waitUntil([&] { return store->alarms().nextAlarmText().contains(u"<img"); }));
    EXPECT_EQ(richTexts(), QStringList());
    // So does the tray's tooltip, which a tray host may show as markup.
    TrayIcon tray;
    tray.showNextAlarm(store->alarms().nextAlarmText());
    EXPECT_FALSE(tray.toolTip().contains(u"<img")) << tray.toolTip().toStdString();
    EXPECT_FALSE(imageHost.hasPendingConnections());
}
