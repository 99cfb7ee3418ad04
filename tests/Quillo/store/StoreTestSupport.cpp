// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "StoreTestSupport.h"

#include "SonosKit/SonosDiscovery.h"
#include "SonosKit/ZoneTopology.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaProperty>

#include <gtest/gtest.h>

namespace storetest {

namespace {

QJsonArray tracks(const QString &prefix, int count, int seconds = 200)
{
    QJsonArray list;
    for (int i = 1; i <= count; ++i)
        list.append(QJsonObject{{"title", QStringLiteral("%1 %2").arg(prefix).arg(i)},
            {"uri", QStringLiteral("x-file-cifs://nas/%1/%2.flac").arg(prefix).arg(i)}, {"duration", seconds},
            {"artist", "Test Artist"}});
    return list;
}

// Every household one of `addresses` belongs to; one that does not answer
// is not found. Everything by value: the store may go while it asks.
QCoro::Task<QList<SonosKit::SonosHousehold>> householdsAt(
    QStringList addresses, std::shared_ptr<int> searches, std::function<QCoro::Task<bool>()> mayAsk)
{
    ++*searches;
    if (mayAsk && !co_await mayAsk())
        co_return {};
    QList<SonosKit::SonosHousehold> found;
    std::exception_ptr failure;
    for (const QString &address : std::as_const(addresses)) {
        try {
            SonosKit::SonosHousehold household = co_await SonosKit::SonosDiscovery::householdAt(address);
            found.append(std::move(household));
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (found.isEmpty() && failure)
        std::rethrow_exception(failure);
    co_return found;
}

} // namespace

QByteArray householdJson()
{
    const QJsonObject household{
        {"players",
            QJsonArray{QJsonObject{{"uuid", "RINCON_L01400"}, {"room", "Living Room"}, {"volume", 30},
                           {"queue", tracks("Queued", 3)}, {"tv", true}},
                QJsonObject{{"uuid", "RINCON_K01400"}, {"room", "Kitchen"}, {"volume", 20}},
                QJsonObject{{"uuid", "RINCON_O01400"}, {"room", "Office"}, {"volume", 40}}}},
        {"groups",
            QJsonArray{QJsonObject{{"coordinator", "RINCON_K01400"}, {"members", QJsonArray{"RINCON_K01400", "RINCON_O01400"}}}}},
        {"services",
            QJsonArray{QJsonObject{{"id", 12}, {"name", "Spotify"}}, QJsonObject{{"id", 254}, {"name", "TuneIn"}},
                QJsonObject{{"id", 2}, {"name", "Deezer"}, {"authorized", false}}}},
        {"favorites",
            QJsonArray{
                QJsonObject{{"kind", "station"}, {"title", "Radio Paradise"}, {"serviceId", 254},
                    {"uri", "x-sonosapi-stream:s13606?sid=254&flags=8224&sn=0"}, {"itemId", "F00092020s13606"}},
                QJsonObject{{"kind", "container"}, {"title", "Discover Weekly"}, {"serviceId", 12},
                    {"uri", "x-rincon-cpcontainer:1006206cspotify%3aplaylist%3aweekly?sid=12&flags=8300&sn=1"},
                    {"itemId", "1006206cspotify%3aplaylist%3aweekly"}, {"tracks", tracks("Weekly", 3)}},
                QJsonObject{{"kind", "station"}, {"title", "Morning Mix"}, {"serviceId", 2},
                    {"uri", "x-sonosapi-stream:s999?sid=2&flags=8224&sn=3"}, {"itemId", "F00092020s999"}},
                QJsonObject{{"kind", "shortcut"}, {"title", "Browse Jazz"}, {"serviceId", 12}, {"itemId", "S:jazz"}},
                QJsonObject{{"kind", "track"}, {"title", "Solo"}, {"serviceId", 12},
                    {"uri", "x-sonos-spotify:spotify%3atrack%3asolo?sid=12&flags=8224&sn=1"},
                    {"itemId", "10032020spotify%3atrack%3asolo"}},
            }},
        {"playlists", QJsonArray{QJsonObject{{"number", 3}, {"title", "Dinner Party"}, {"tracks", tracks("Dinner", 2)}}}},
    };
    return QJsonDocument(household).toJson();
}

QByteArray householdWithQueue(int length)
{
    QJsonObject household = QJsonDocument::fromJson(householdJson()).object();
    QJsonArray players = household.value("players").toArray();
    QJsonObject living = players.first().toObject();
    living.insert("queue", tracks(QStringLiteral("Track"), length));
    players.replace(0, living);
    household.insert("players", players);
    return QJsonDocument(household).toJson(QJsonDocument::Compact);
}

playersim::Household startedHousehold(testsupport::Suite suite, int slot)
{
    return testsupport::startedHousehold(playersim::Household::fromJson(householdJson(), testsupport::firstAddress(suite, slot)));
}

NotificationCounter::NotificationCounter(QObject *object)
    : NotificationCounter(object, QByteArray(), true)
{ }

NotificationCounter::NotificationCounter(QObject *object, const QByteArray &prefix, bool isStore)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QByteArray name = prefix + property.name();
        // The store's parts: their properties count under their own names;
        // what a part holds, under the part's name for it ("draft.volume").
        if (property.isConstant() && property.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
            QObject *part = property.read(object).value<QObject *>();
            if (!part)
                continue;
            if (qobject_cast<QAbstractItemModel *>(part)) {
                // A list counts its rows under its own name: "groups.count".
                watch(part, part->metaObject()->property(part->metaObject()->indexOfProperty("count")), name + ".count");
                continue;
            }
            const NotificationCounter inner(part, isStore ? prefix : name + '.', false);
            m_counts.insert(inner.m_counts);
            continue;
        }
        watch(object, property, name);
    }
}

void NotificationCounter::watch(QObject *object, const QMetaProperty &property, const QByteArray &name)
{
    if (!property.hasNotifySignal())
        return;
    auto counter = std::make_shared<EmissionCounter>();
    m_counts.insert(name, counter);
    // Several properties may share one signal; each counts it.
    const QMetaMethod slot = counter->metaObject()->method(counter->metaObject()->indexOfSlot("count_()"));
    QObject::connect(object, property.notifySignal(), counter.get(), slot, Qt::DirectConnection);
}

int NotificationCounter::count(const char *property) const
{
    const auto counter = m_counts.value(property);
    EXPECT_TRUE(counter) << "no notifying property " << property;
    return counter ? counter->count : 0;
}

QStringList NotificationCounter::notified() const
{
    QStringList names;
    for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it) {
        if (it.value()->count > 0)
            names.append(QString::fromLatin1(it.key()));
    }
    names.sort();
    return names;
}

void NotificationCounter::reset()
{
    for (const auto &counter : std::as_const(m_counts))
        counter->count = 0;
}

StoreRig::StoreRig(const playersim::Household &household)
    : StoreRig(household.addresses().first())
{ }

StoreRig::StoreRig(QString address)
    : searchAddress(std::move(address))
{
    EXPECT_TRUE(directory.isValid());
}

std::unique_ptr<PlayerStore> StoreRig::makeStore()
{
    PlayerStore::Settings settings;
    settings.pollPause = pollPause;
    settings.closedPollInterval = closedPollInterval;
    settings.householdSearchTimeout = 0.5;
    settings.events = events;
    if (!eventAddress.isNull())
        settings.eventAddress = eventAddress;
    settings.followNetworkChanges = followNetworkChanges;
    settings.eventRetryInterval = eventRetryInterval;
    settings.householdLookInterval = householdLookInterval;
    settings.proofWhilePlaying = proofWhilePlaying;
    settings.proofWhileIdle = proofWhileIdle;
    settings.examineConnection = examineConnection;
    settings.findHouseholds = [addresses = QStringList{searchAddress} + otherSearchAddresses, searches = searches,
                                  mayAsk = searchMayAsk](double) { return householdsAt(addresses, searches, mayAsk); };
    auto store = std::make_unique<PlayerStore>(
        std::make_unique<QSettings>(settingsPath(), QSettings::IniFormat), std::move(settings));
    testListModels(*store);
    return store;
}

void testListModels(PlayerStore &store)
{
    const QList<QAbstractItemModel *> models = {store.household().groupsModel(), store.library().favoritesModel(),
        store.library().visibleFavoritesModel(), store.trackList().tracksModel(), store.rooms().listModel()};
    for (QAbstractItemModel *model : models)
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, model);
}

void serveFor(std::chrono::milliseconds span)
{
    testsupport::waitUntil([] { return false; }, span);
}

std::unique_ptr<PlayerStore> StoreRig::makeFollowingStore(testsupport::Suite suite, const QString &room)
{
    events = true;
    eventAddress = listenAddress(suite);
    auto store = makeStore();
    testsupport::await(store->refreshAll());
    selectGroupLedBy(*store, room);
    if (!testsupport::waitUntil([&] { return store->liveUpdates().isFlowing(); }))
        return nullptr;
    return store;
}

QString StoreRig::settingsPath() const
{
    return directory.filePath(QStringLiteral("Quillo.conf"));
}

QString StoreRig::settingsText() const
{
    QFile file(settingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void StoreRig::writeSettingsText(const QByteArray &text)
{
    QFile file(settingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QHostAddress listenAddress(testsupport::Suite suite)
{
    const QString first = testsupport::firstAddress(suite);
    return QHostAddress(first.left(first.lastIndexOf(u'.') + 1) + QStringLiteral("250"));
}

playersim::Fault brokenAnswer(int times)
{
    return {.answer = playersim::Answer{500, "internal error", "text/plain", {}}, .remaining = times};
}

bool waitUntilSettled(const PlayerStore &store)
{
    return testsupport::waitUntil([&store] {
        return !store.household().groups().isEmpty() && !store.library().favorites().isEmpty() && !store.trackList().isLoading();
    });
}

bool refreshedFavorites(PlayerStore &store)
{
    store.library().refresh();
    return testsupport::waitUntil([&store] { return !store.library().isRefreshing() && !store.library().favorites().isEmpty(); })
        && waitUntilSettled(store);
}

QStringList titles(const QList<SonosKit::ContentItem> &items)
{
    QStringList list;
    for (const SonosKit::ContentItem &item : items)
        list.append(item.title);
    return list;
}

QString idOfTitle(const PlayerStore &store, const QString &title)
{
    for (const SonosKit::ContentItem &item : store.library().favorites()) {
        if (item.title == title)
            return item.id;
    }
    ADD_FAILURE() << "no favorite titled " << title.toStdString();
    return QString();
}

int callCount(const playersim::Household &household, const QString &action)
{
    return int(household.log()->calls(action).size());
}

void selectGroupLedBy(PlayerStore &store, const QString &room)
{
    for (const SonosKit::ZoneGroup &group : store.household().groups()) {
        if (group.coordinator.roomName == room)
            store.household().select(group.id);
    }
}

QString roomID(const PlayerStore &store, const QString &name)
{
    for (const RoomRecord &room : store.rooms().records())
        if (room.name == name)
            return room.id;
    return {};
}

QList<QByteArray> freshCallbacks(const playersim::Household &household, const QString &player)
{
    QList<QByteArray> callbacks;
    for (const auto &request : household.log()->forPlayer(player))
        if (request.method == "SUBSCRIBE" && !request.header("CALLBACK").isEmpty())
            callbacks.append(request.header("CALLBACK"));
    return callbacks;
}

} // namespace storetest
