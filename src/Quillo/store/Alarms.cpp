// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Alarms.h"

#include "Quillo/app/Logging.h"
#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/Library.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/AlarmClock.h"
#include "SonosKit/NextAlarm.h"

#include <QLocale>

#include <algorithm>
#include <chrono>

using SonosKit::Alarm;

namespace {

const QString timeFormat = QStringLiteral("HH:mm");
// The next alarm moves on this long after it rang.
constexpr std::chrono::seconds moveOnDelay(1);
// However far off the next alarm is, it is worked out again (here, without
// asking the players) after this long: the timer stops while the computer
// sleeps, and the clock or the time zone may move.
constexpr std::chrono::minutes longestWait(15);

} // namespace

Alarms::Alarms(StoreContext &context, Household &household, Library &library, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
    , m_library(library)
{
    m_nextTimer.setSingleShot(true);
    m_nextTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_nextTimer, &QTimer::timeout, this, &Alarms::updateNext);
    connect(&m_household, &Household::groupsChanged, this, &Alarms::followPlayers);
    connect(&m_library, &Library::favoritesChanged, this, [this] {
        m_draft.setFavorites(m_library.favorites());
        show();
    });
}

QString Alarms::host() const
{
    if (const std::optional<SonosKit::ZoneGroup> &selected = m_household.selectedGroup())
        return selected->coordinator.host;
    const QList<SonosKit::ZoneGroup> &groups = m_household.groups();
    return groups.isEmpty() ? QString() : groups.constFirst().coordinator.host;
}

QList<SonosKit::SonosDevice> Alarms::rooms() const
{
    QList<SonosKit::SonosDevice> rooms;
    for (const SonosKit::ZoneGroup &group : m_household.groups())
        rooms.append(group.members);
    return rooms;
}

void Alarms::followPlayers()
{
    QStringList players;
    for (const SonosKit::SonosDevice &player : rooms())
        players.append(player.id());
    players.sort();
    // Rooms renamed, gone or back: the list shows them so.
    show();
    // No players found (the network not up yet after a wake) is no other
    // household: the list and the editor stay until players answer.
    if (players.isEmpty() || players == m_players)
        return;
    const bool anotherHousehold = std::none_of(
        players.cbegin(), players.cend(), [&](const QString &player) { return m_players.contains(player); });
    m_players = players;
    if (anotherHousehold)
        forget();
    // Players that came or went (one may have kept alarms of its own while
    // it was away), or another household's.
    read();
}

void Alarms::forget()
{
    // Its alarms' IDs name other alarms here: none may be changed, and
    // nothing read or sent there may land here.
    ++m_householdGeneration;
    m_alarms.clear();
    m_version.clear();
    m_hasRead = false;
    m_alarmEventsHeard = false;
    m_draft.close();
    show();
}

void Alarms::opened()
{
    if (!m_eventsFlowing || !m_alarmEventsHeard || !m_hasRead)
        read();
    // After a suspend the timer may have slept through the last ring.
    updateNext();
}

void Alarms::windowOpened()
{
    opened();
    if (m_library.favorites().isEmpty())
        StoreContext::start(m_library.load());
}

void Alarms::readAgain()
{
    m_alarmEventsHeard = false;
    updateNext();
    read();
}

void Alarms::apply(const QString &version)
{
    m_alarmEventsHeard = true;
    // Also the first event after a wake: the timer slept.
    updateNext();
    if (version != m_version)
        read(version);
}

void Alarms::read(std::optional<QString> version)
{
    if (m_reading) {
        // The read on its way may already bring that version; anything else
        // needs one more.
        if (!version)
            m_readAgain = true;
        else if (!m_readAgain)
            m_awaitedVersion = version;
        return;
    }
    if (host().isEmpty())
        return;
    m_reading = true;
    StoreContext::start(readTask());
}

StoreTask<void> Alarms::readTask()
{
    for (;;) {
        m_readAgain = false;
        m_awaitedVersion.reset();
        const QString from = host();
        if (from.isEmpty())
            break;
        if (!m_hasRead)
            assignNotifying(this, m_isLoading, true, &Alarms::isLoadingChanged);
        const quint64 generation = m_householdGeneration;
        const SonosKit::AlarmClock clock(from);
        const Attempt<SonosKit::AlarmList> answer = co_await m_context.attempt(clock.list(m_context.token()));
        if (generation != m_householdGeneration) {
            // The household changed meanwhile: its own list is read.
            m_readAgain = true;
        } else if (answer) {
            m_hasRead = true;
            m_alarms = answer->alarms;
            m_version = answer->version;
            assignNotifying(this, m_readFailed, false, &Alarms::readFailedChanged);
            show();
        } else {
            // The list held stays; a window with none says so.
            qCInfo(lcStore).noquote() << "The alarms could not be read:" << answer.failure().text();
            if (!m_hasRead)
                assignNotifying(this, m_readFailed, true, &Alarms::readFailedChanged);
        }
        if (!m_readAgain && !(m_awaitedVersion && *m_awaitedVersion != m_version))
            break;
    }
    m_reading = false;
    assignNotifying(this, m_isLoading, false, &Alarms::isLoadingChanged);
    Q_EMIT readDone();
}

std::optional<Alarm> Alarms::alarm(const QString &id) const
{
    const auto found = std::find_if(m_alarms.cbegin(), m_alarms.cend(), [&](const Alarm &alarm) { return alarm.id == id; });
    return found == m_alarms.cend() ? std::nullopt : std::optional(*found);
}

void Alarms::setEnabled(const QString &id, bool on)
{
    std::optional<Alarm> changed = alarm(id);
    if (!changed || !changed->readable || changed->enabled == on)
        return;
    changed->enabled = on;
    send(Change::Switch, *changed);
}

void Alarms::edit(const QString &id)
{
    const std::optional<Alarm> chosen = alarm(id);
    // One the players gave in a form not understood here is never rewritten.
    if (!chosen || !chosen->readable)
        return;
    setFailureText({});
    m_draft.open(chosen, rooms(), {}, m_library.favorites());
}

void Alarms::add()
{
    const std::optional<SonosKit::ZoneGroup> &selected = m_household.selectedGroup();
    setFailureText({});
    m_draft.open(std::nullopt, rooms(), selected ? selected->coordinator.uuid : QString(), m_library.favorites());
}

void Alarms::save()
{
    if (!m_draft.isOpen())
        return;
    if (m_draft.isNew()) {
        send(Change::Add, m_draft.result());
        return;
    }
    // What the user changed, on the alarm as the list holds it now: what
    // another app changed meanwhile stays.
    const std::optional<Alarm> current = alarm(m_draft.alarmID());
    if (!current) {
        //: Saving an alarm in the editor that was removed meanwhile; the editor keeps the user's values.
        setFailureText(tr("This alarm was removed in another app."));
        return;
    }
    if (!current->readable) {
        // Changed elsewhere into a form not understood here: never rewritten.
        //: Saving an alarm in the editor that another app changed into a form this app can't write back.
        setFailureText(tr("This alarm was changed in another app and can't be changed here."));
        return;
    }
    send(Change::Save, m_draft.applyTo(*current));
}

void Alarms::cancelEdit()
{
    setFailureText({});
    m_draft.close();
}

void Alarms::remove(const QString &id)
{
    if (const std::optional<Alarm> gone = alarm(id)) {
        send(Change::Remove, *gone);
        return;
    }
    // Removed elsewhere already: what the user wanted.
    m_draft.close();
    //: Removing an alarm that another app removed already.
    setFailureText(tr("This alarm was already removed in another app."));
    show();
}

QCoro::Task<QString> Alarms::sent(QString host, Change change, Alarm alarm)
{
    const SonosKit::AlarmClock clock(std::move(host));
    switch (change) {
    case Change::Add: {
        QString assigned = co_await clock.create(alarm);
        co_return assigned;
    }
    case Change::Remove:
        co_await clock.destroy(alarm.id);
        break;
    case Change::Switch:
    case Change::Save:
        co_await clock.update(alarm);
        break;
    }
    co_return QString();
}

bool Alarms::send(Change change, Alarm alarm)
{
    const QString to = host();
    if (m_busy || to.isEmpty())
        return false;
    assignNotifying(this, m_busy, true, &Alarms::busyChanged);
    setFailureText({});
    StoreContext::start(sendTask(to, change, std::move(alarm)));
    return true;
}

StoreTask<void> Alarms::sendTask(QString host, Change change, Alarm alarm)
{
    const quint64 generation = m_householdGeneration;
    const Attempt<QString> done = co_await m_context.attempt(sent(std::move(host), change, alarm));
    assignNotifying(this, m_busy, false, &Alarms::busyChanged);
    if (generation != m_householdGeneration)
        co_return;
    if (!done) {
        // The editor stays open with the user's values, and the list as it
        // was: nothing was changed.
        refused(done.failure());
        co_return;
    }
    // Shown at once; the players' event (or the read below) confirms it.
    switch (change) {
    case Change::Add:
        alarm.id = *done;
        m_alarms.append(alarm);
        break;
    case Change::Remove:
        m_alarms.removeIf([&](const Alarm &held) { return held.id == alarm.id; });
        break;
    case Change::Switch:
    case Change::Save:
        std::replace_if(
            m_alarms.begin(), m_alarms.end(), [&](const Alarm &held) { return held.id == alarm.id; }, alarm);
        break;
    }
    if (change != Change::Switch)
        m_draft.close();
    show();
    if (!m_eventsFlowing)
        read();
}

void Alarms::refused(const Failure &failure)
{
    if (failure.isCancellation())
        return;
    m_context.report(failure);
    setFailureText(failure.text());
    // Any refusal but a taken time may come from a list changed elsewhere
    // (an alarm removed meanwhile): it is read again.
    if (!failure.isAlarmTimeTaken())
        read();
}

void Alarms::setFailureText(const QString &text)
{
    assignNotifying(this, m_failureText, text, &Alarms::failureTextChanged);
}

QString Alarms::roomName(const QString &uuid, bool *available) const
{
    for (const SonosKit::SonosDevice &room : rooms()) {
        if (room.uuid == uuid && !room.roomName.isEmpty()) {
            if (available)
                *available = true;
            return room.roomName;
        }
    }
    if (available)
        *available = false;
    //: In place of an alarm's room that is switched off, bonded to another or gone.
    return tr("Room not available");
}

QString Alarms::programText(const Alarm &alarm) const
{
    const QString title = alarm.programTitle();
    if (!title.isEmpty())
        return title;
    for (const SonosKit::ContentItem &favorite : m_library.favorites()) {
        if (favorite.uri == alarm.programURI)
            return favorite.title;
    }
    //: What an alarm plays when it is none of the Sonos Favorites and has no title.
    return tr("Other music");
}

void Alarms::show()
{
    QList<AlarmRecord> records;
    records.reserve(m_alarms.size());
    for (const Alarm &alarm : std::as_const(m_alarms)) {
        AlarmRecord record;
        record.id = alarm.id;
        record.startTime = alarm.startTime;
        //: An alarm whose time could not be read.
        record.time = alarm.startTime.isValid() ? alarm.startTime.toString(timeFormat) : tr("--:--");
        record.room = roomName(alarm.roomUUID, &record.roomAvailable);
        // Days written in a form not known here show as the player wrote them.
        record.recurrence = alarm.recurrence.displayText(QLocale());
        record.program = programText(alarm);
        record.enabled = alarm.enabled;
        record.readable = alarm.readable;
        records.append(record);
    }
    m_list.setRecords(std::move(records));
    updateNext();
}

void Alarms::updateNext()
{
    const QDateTime now = QDateTime::currentDateTime();
    const std::optional<SonosKit::NextAlarm> next = SonosKit::nextAlarm(m_alarms, now);
    QString text;
    m_nextTimer.stop();
    if (next) {
        const QString time = next->when.toString(timeFormat);
        const QString room = roomName(next->alarm.roomUUID);
        if (now.date().daysTo(next->when.date()) <= 1) {
            //: The next alarm to ring, today or tomorrow: %1 its time ("07:00"), %2 its room.
            text = tr("Alarm %1 · %2").arg(time, room);
        } else {
            //: The next alarm to ring, later this week: %1 the day ("Sat"), %2 its time, %3 its room.
            text = tr("Alarm %1 %2 · %3").arg(QLocale().dayName(next->when.date().dayOfWeek(), QLocale::ShortFormat), time, room);
        }
        const auto until = std::chrono::milliseconds(now.msecsTo(next->when)) + moveOnDelay;
        m_nextTimer.start(std::clamp<std::chrono::milliseconds>(until, moveOnDelay, longestWait));
    }
    assignNotifying(this, m_nextAlarm, text, &Alarms::nextAlarmChanged);
}
