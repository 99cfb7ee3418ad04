// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT

#include "TestAddresses.h"

#include <SonosKit/events/EventService.h>
#include <playersim/Household.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

using playersim::Household;
using testsupport::firstAddress;
using testsupport::waitUntil;

namespace {

constexpr testsupport::Suite block = testsupport::Suite::ZonescoutEvents;

// The JSON lines `events` printed so far.
struct Lines {
    QProcess &process;
    QByteArray pending;
    QList<QJsonObject> objects;

    QList<QJsonObject> &read()
    {
        pending += process.readAllStandardOutput();
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            QJsonParseError error;
            const QJsonDocument line = QJsonDocument::fromJson(pending.left(end), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << pending.left(end).toStdString();
            objects.append(line.object());
        }
        return objects;
    }
    bool has(const std::function<bool(const QJsonObject &)> &wanted)
    {
        const QList<QJsonObject> &all = read();
        return std::any_of(all.cbegin(), all.cend(), wanted);
    }
};

int requests(const Household &household, const QByteArray &method, const QByteArray &path = {})
{
    const auto log = household.log()->all();
    return int(std::count_if(
        log.cbegin(), log.cend(), [&](const auto &r) { return r.method == method && (path.isEmpty() || r.path == path); }));
}

} // namespace

TEST(ZonescoutEvents, PrintsEachEventAndTheProofOfTheirWayAsJsonLinesAndUnsubscribesOnInterrupt)
{
    Household household = testsupport::startedHousehold(
        Household::fromJson(R"({"players": [{"uuid": "RINCON_A01400", "room": "Küche", "volume": 20}]})", firstAddress(block)));
    const QString player = household.addresses().first();
    QProcess process;
    process.start(QStringLiteral(ZONESCOUT_PATH),
        {QStringLiteral("--host"), player, QStringLiteral("events"), QStringLiteral("--listen"),
            testsupport::spareAddress(block, 250)});
    ASSERT_TRUE(process.waitForStarted());
    Lines lines{process, {}, {}};

    // Every service by default, each starting with its full state.
    ASSERT_TRUE(waitUntil([&] { return lines.read().size() >= 7; })) << process.readAllStandardError().toStdString();
    QStringList services;
    for (const QJsonObject &line : lines.read()) {
        EXPECT_EQ(line[u"player"].toString(), player);
        EXPECT_EQ(line[u"seq"].toInt(-1), 0);
        services.append(line[u"service"].toString());
    }
    services.sort();
    EXPECT_EQ(services,
        QStringList({QStringLiteral("AVTransport"), QStringLiteral("AlarmClock"), QStringLiteral("ContentDirectory"),
            QStringLiteral("GroupRenderingControl"), QStringLiteral("Queue"), QStringLiteral("RenderingControl"),
            QStringLiteral("ZoneGroupTopology")}));
    EXPECT_TRUE(lines.has(
        [](const QJsonObject &l) { return l[u"service"].toString() == u"RenderingControl" && l[u"volume"].toInt() == 20; }));
    EXPECT_TRUE(lines.has([](const QJsonObject &l) {
        return l[u"service"].toString() == u"ZoneGroupTopology"
            && l[u"groups"][0][u"roomNames"][0].toString() == QStringLiteral("Küche");
    })) << QJsonDocument(lines.read().last()).toJson().toStdString();

    household.setVolume(player, 33);
    EXPECT_TRUE(waitUntil([&] {
        return lines.has([](const QJsonObject &l) {
            return l[u"service"].toString() == u"RenderingControl" && l[u"volume"].toInt() == 33 && l[u"seq"].toInt() == 1;
        });
    }));

    EXPECT_EQ(household.subscriptionCount(), 7);
    ::kill(pid_t(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(3000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(requests(household, "UNSUBSCRIBE"), 7);
    EXPECT_EQ(household.subscriptionCount(), 0);

    // A service of its own choosing only (an unknown one is a usage error),
    // and the proof of the way on a line of its own: each proof is one fresh
    // SUBSCRIBE (of AVTransport) whose first event came, or did not.
    const QByteArray groupRendering = SonosKit::eventPath(SonosKit::EventService::groupRenderingControl).toLatin1();
    const int subscribed = requests(household, "SUBSCRIBE", groupRendering);
    QProcess one;
    one.start(QStringLiteral(ZONESCOUT_PATH),
        {QStringLiteral("--json"), QStringLiteral("--host"), player, QStringLiteral("events"), QStringLiteral("--service"),
            QStringLiteral("grouprendering"), QStringLiteral("--listen"), testsupport::spareAddress(block, 250),
            QStringLiteral("--proof"), QStringLiteral("1")});
    Lines chosen{one, {}, {}};
    ASSERT_TRUE(waitUntil([&] { return !chosen.read().isEmpty(); })) << one.readAllStandardError().toStdString();
    EXPECT_EQ(chosen.read().first()[u"service"].toString(), QStringLiteral("GroupRenderingControl"));
    const auto proof = [&](const QString &outcome) {
        return chosen.has([&](const QJsonObject &l) { return l[u"proof"].toString() == outcome && l[u"player"] == player; });
    };
    EXPECT_TRUE(waitUntil(std::bind(proof, QStringLiteral("open")), std::chrono::seconds(4)))
        << one.readAllStandardError().toStdString();
    household.setDropNotifications(true);
    EXPECT_TRUE(waitUntil(std::bind(proof, QStringLiteral("shut")), std::chrono::seconds(7)));
    EXPECT_EQ(requests(household, "SUBSCRIBE", groupRendering), subscribed + 1);
    ::kill(pid_t(one.processId()), SIGTERM);
    ASSERT_TRUE(one.waitForFinished(3000));
    EXPECT_EQ(one.exitCode(), 0);
    // (A proof's short grant lapses by itself, without UNSUBSCRIBE.)
    EXPECT_EQ(requests(household, "UNSUBSCRIBE", groupRendering), 2);
}
