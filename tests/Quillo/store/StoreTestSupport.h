// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "AsyncTestSupport.h"
#include "TestAddresses.h"

#include "Quillo/store/PlayerStore.h"
#include "playersim/Household.h"
#include "playersim/SoapMessages.h"

#include <QHash>
#include <QMetaProperty>
#include <QTemporaryDir>

#include <memory>

namespace storetest {

// A household made for the store's cases, on the running test's block:
//   "Living Room" stands alone, holds a queue of three tracks and is a
//   soundbar with a TV input;
//   "Kitchen" coordinates a group with "Office" ("Kitchen + 1").
// Services: Spotify (12), TuneIn (254), Deezer (2, needing re-authorizing).
// Favorites, in this order: the station "Radio Paradise" (TuneIn), the
// Spotify playlist "Discover Weekly" (not listed by the directory, three
// tracks through the queue), the station "Morning Mix" (Deezer), the
// shortcut "Browse Jazz" (no URI), the track "Solo" (Spotify), then the
// Sonos Playlist "Dinner Party" with two tracks.
QByteArray householdJson();
playersim::Household startedHousehold(testsupport::Suite suite, int slot = 0);
// The same with Living Room's queue `length` tracks long: "Track 1" onwards.
QByteArray householdWithQueue(int length);

// Counts the emissions of one signal, whatever its arguments.
class EmissionCounter : public QObject
{
    Q_OBJECT
public:
    int count = 0;
public Q_SLOTS:
    void count_() { ++count; }
};

// Counts every notification of every property of one object and, for the
// store, of each of its parts.
class NotificationCounter
{
public:
    explicit NotificationCounter(QObject *object);
    int count(const char *property) const;
    // Properties that notified at least once since the last reset.
    QStringList notified() const;
    void reset();

private:
    NotificationCounter(QObject *object, const QByteArray &prefix, bool isStore);
    void watch(QObject *object, const QMetaProperty &property, const QByteArray &name);

    QHash<QByteArray, std::shared_ptr<EmissionCounter>> m_counts;
};

// A store on a settings file of its own, with a household search that finds
// `household` (counted) and short pauses so tests need not wait.
struct StoreRig {
    explicit StoreRig(const playersim::Household &household);
    explicit StoreRig(QString searchAddress);

    std::unique_ptr<PlayerStore> makeStore();
    // A store that follows the players' events, listening at `suite`'s
    // address, with the group `room` leads chosen; none when the events do
    // not flow in time.
    std::unique_ptr<PlayerStore> makeFollowingStore(testsupport::Suite suite, const QString &room);
    QString settingsPath() const;
    // The settings file as raw text.
    QString settingsText() const;
    void writeSettingsText(const QByteArray &text);

    QTemporaryDir directory;
    QString searchAddress;
    // Players of other households the search finds too; one that does not
    // answer is not found.
    QStringList otherSearchAddresses;
    std::shared_ptr<int> searches = std::make_shared<int>(0);
    std::chrono::milliseconds pollPause{60};
    // Off unless a case is about the closed panel's reads.
    std::chrono::milliseconds closedPollInterval{0};
    // Off unless a case is about the players' events; then the listener
    // listens on `eventAddress`, or when that is null, on the address toward
    // the players.
    bool events = false;
    QHostAddress eventAddress;
    // Following this computer's network and its resume from suspend.
    bool followNetworkChanges = false;
    std::chrono::milliseconds eventRetryInterval{std::chrono::minutes(10)};
    std::chrono::milliseconds householdLookInterval{std::chrono::minutes(10)};
    // How often the way of the events is proven, playing and idle.
    std::chrono::milliseconds proofWhilePlaying{std::chrono::seconds(40)};
    std::chrono::milliseconds proofWhileIdle{std::chrono::seconds(330)};
    // The connection doctor; none: no examination.
    std::function<QCoro::Task<SonosKit::Diagnosis>(SonosKit::ConnectionDoctor::Options)> examineConnection;
    // Awaited by each search before it asks; a search finds nothing when it
    // answers false. None: every search asks at once.
    std::function<QCoro::Task<bool>()> searchMayAsk;
};

// Qt's own checks of every list model the store hands out, through every
// change the case makes: a model that breaks the rules stops the test.
void testListModels(PlayerStore &store);

// Shows that nothing happens: serves the event loop for `span`.
void serveFor(std::chrono::milliseconds span);

// An address of the running test's block that no player uses: where a
// store's event listener listens.
QHostAddress listenAddress(testsupport::Suite suite);

// A player's answer that is no SOAP at all: an internal server error.
playersim::Fault brokenAnswer(int times = 1);

// Waits until the store has groups and favorites and is not loading tracks.
bool waitUntilSettled(const PlayerStore &store);
// Refreshes the favorites and waits for the refresh and its track list.
bool refreshedFavorites(PlayerStore &store);

QStringList titles(const QList<SonosKit::ContentItem> &items);

// The ids of favorites by title.
QString idOfTitle(const PlayerStore &store, const QString &title);
// Chooses the group that `room` leads, as the group picker does.
void selectGroupLedBy(PlayerStore &store, const QString &room);
// The id the Rooms verbs take for the room called `name`.
QString roomID(const PlayerStore &store, const QString &name);
// How often `action` reached the household since the log was cleared.
int callCount(const playersim::Household &household, const QString &action);
// The CALLBACKs of the SUBSCRIBEs that asked `player` for a new subscription
// rather than renewing one, oldest first.
QList<QByteArray> freshCallbacks(const playersim::Household &household, const QString &player);

} // namespace storetest
