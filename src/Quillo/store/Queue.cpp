// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Queue.h"

#include "Quillo/app/Logging.h"
#include "Quillo/models/Notify.h"
#include "Quillo/store/Household.h"
#include "Quillo/store/Library.h"
#include "Quillo/store/NowPlaying.h"
#include "Quillo/store/StoreContext.h"

#include "SonosKit/ContentDirectory.h"
#include "SonosKit/PlayerInputs.h"

#include <utility>

using SonosKit::GroupController;
using SonosKit::ZoneGroup;

namespace {

// The source of a group that plays its own queue.
const QLatin1StringView queueScheme("x-rincon-queue:");
// Answers that make up one page at most, for a player that answers in parts.
constexpr int maximumPageParts = 4;

} // namespace

Queue::Queue(StoreContext &context, Household &household, NowPlaying &nowPlaying, Library &library, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_household(household)
    , m_nowPlaying(nowPlaying)
    , m_library(library)
{
    connect(&m_entries, &QueueListModel::countChanged, this, &Queue::countChanged);
    connect(&m_entries, &QueueListModel::pageWanted, this, &Queue::fetch);
    connect(&m_household, &Household::selectedGroupChanged, this, &Queue::followGroup);
    connect(&m_nowPlaying, &NowPlaying::playbackChanged, this, &Queue::followPlayback);
    followGroup();
    followPlayback();
}

void Queue::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    Q_EMIT shownChanged();
    // Nothing is kept while hidden: each opening reads afresh, which is
    // where a change made meanwhile would have to be read anyway.
    startAfresh();
}

void Queue::startAfresh()
{
    ++m_generation;
    m_inFlight.clear();
    m_updateID.reset();
    setAwaitingVersion(false);
    m_entries.clear();
    setLoading(false);
    m_opensAtPlaying = false;
    m_hasRead = false;
    if (m_shown)
        reload();
}

void Queue::panelOpened()
{
    if (m_shown && !m_eventsFlowing)
        reload();
}

void Queue::apply(const QString &coordinatorHost, quint32 updateID)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (!m_shown || !group || group->coordinator.host != coordinatorHost || m_updateID == updateID)
        return;
    // Changed here or in another controller: the rows in view are read
    // again, and stay where they are meanwhile. A read already on its way
    // for a version not known yet (after a command of ours) is checked
    // against this one instead of being read twice.
    const bool readingUnknown = !m_updateID && !m_inFlight.isEmpty();
    m_updateID = updateID;
    // The rows held name entries of the old version until read again.
    updateBusy();
    if (!readingUnknown)
        reload();
}

void Queue::readAgain()
{
    if (m_shown)
        reload();
}

void Queue::followGroup()
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    const QString key = group ? group->id + u'|' + group->coordinator.host : QString();
    if (key == m_groupKey)
        return;
    m_groupKey = key;
    // Its playing entry is not known until its playback is read: the last
    // group's would open the list elsewhere.
    m_entries.setCurrentIndex(-1);
    assignNotifying(this, m_currentIndex, -1, &Queue::currentIndexChanged);
    // Another group's queue, or the same group led by another player: read
    // from the start, at its own playing entry.
    // Up Next stays open, as do its questions.
    if (m_shown)
        startAfresh();
}

void Queue::followPlayback()
{
    const std::optional<SonosKit::PlaybackState> &playback = m_nowPlaying.playback();
    const QString source = playback ? playback->sourceURI.value_or(QString()) : QString();
    const bool fromQueue = source.startsWith(queueScheme);
    QString reason;
    if (!source.isEmpty() && !fromQueue) {
        reason = SonosKit::InputSource::isInput(source) ? tr("An input plays; it has no queue.")
                                                        : tr("A station or stream plays; it has no queue.");
    }
    if (assignNotifying(this, m_unavailableReason, reason, &Queue::availableChanged) && !reason.isEmpty())
        setShown(false);
    const int current = fromQueue && playback->trackNumber ? *playback->trackNumber - 1 : -1;
    m_entries.setCurrentIndex(current);
    assignNotifying(this, m_currentIndex, current, &Queue::currentIndexChanged);
    if (current >= 0 && std::exchange(m_opensAtPlaying, false) && m_shown)
        Q_EMIT opened();
}

void Queue::reload()
{
    if (!m_shown || !m_household.selectedGroup())
        return;
    ++m_generation;
    m_inFlight.clear();
    QList<int> pages = m_entries.askedPages();
    if (pages.isEmpty()) {
        // A fresh read: the playing entry's page first, which tells the
        // length; the view asks for the rest it shows. An empty queue read
        // again is no opening: it goes on saying it is empty.
        if (!m_hasRead)
            setLoading(true);
        assignNotifying(this, m_readFailed, false, &Queue::readFailedChanged);
        pages.append(QueueListModel::pageOf(std::max(m_currentIndex, 0)));
    }
    for (const int page : std::as_const(pages))
        fetch(page);
}

void Queue::fetch(int page)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    if (!m_shown || !group || m_inFlight.contains(page))
        return;
    m_inFlight.insert(page);
    StoreContext::start(fetchTask(*group, page, m_generation));
}

StoreTask<void> Queue::fetchTask(ZoneGroup group, int page, quint64 generation)
{
    const int first = page * QueueListModel::pageSize;
    const SonosKit::ContentDirectory directory(group.coordinator.host);
    SonosKit::QueuePage read;
    read.start = first;
    bool changedWithin = false;
    // A player may answer with fewer entries than asked: the rest of the
    // page is asked for, a bounded number of times.
    for (int part = 0; part < maximumPageParts; ++part) {
        const int have = int(read.items.size());
        const auto answer = co_await m_context.attempt(
            directory.queuePage(first + have, QueueListModel::pageSize - have, m_context.token()));
        // Read before a change, another group, or Up Next closed since.
        if (generation != m_generation)
            co_return;
        if (!answer) {
            // Shown as before; a view that shows the page asks again.
            qCInfo(lcStore).noquote() << "A page of the queue could not be read:" << answer.failure().text();
            m_inFlight.remove(page);
            m_entries.forgetAsked(page);
            if (m_isLoading)
                assignNotifying(this, m_readFailed, true, &Queue::readFailedChanged);
            setLoading(false);
            setAwaitingVersion(false);
            updateBusy();
            co_return;
        }
        changedWithin = part > 0 && answer->updateID != read.updateID;
        if (changedWithin) {
            read.updateID = answer->updateID;
            break;
        }
        read.items.append(answer->items);
        read.total = answer->total;
        read.updateID = answer->updateID;
        if (answer->items.isEmpty() || read.items.size() >= std::min(QueueListModel::pageSize, read.total - first))
            break;
    }
    m_inFlight.remove(page);
    if (changedWithin || (m_updateID && *m_updateID != read.updateID)) {
        // The queue changed between two pages, or within one: all are read
        // again at the new version.
        m_updateID = read.updateID;
        updateBusy();
        reload();
        co_return;
    }
    m_updateID = read.updateID;
    m_hasRead = true;
    setAwaitingVersion(false);
    m_entries.setCount(read.total);
    if (read.start < read.total)
        m_entries.setPage(read.start, read.items, read.updateID);
    m_entries.setCurrentIndex(m_currentIndex);
    // Busy until every page held shows this version, not at the first.
    updateBusy();
    if (m_isLoading) {
        setLoading(false);
        m_opensAtPlaying = m_currentIndex < 0;
        Q_EMIT opened();
    }
}

bool Queue::isCurrentRow(int row) const
{
    const std::optional<quint32> version = m_entries.versionAt(row);
    return version && version == m_updateID;
}

bool Queue::playAt(int index)
{
    // The player takes a number, not a version: a row read before a change
    // would play another entry.
    if (m_commands > 0 || m_awaitingVersion || !isCurrentRow(index))
        return false;
    // Chosen here: the list stays where the user put it.
    m_opensAtPlaying = false;
    m_context.perform([index](GroupController controller) { return controller.playQueueTrack(index); });
    return true;
}

bool Queue::remove(int index)
{
    if (!isCurrentRow(index))
        return false;
    return edit([index](GroupController controller, quint32 version) { return controller.removeQueueTrack(index, version); });
}

bool Queue::move(int from, int to)
{
    if (from == to || !isCurrentRow(from) || !isCurrentRow(to))
        return false;
    return edit([from, to](GroupController controller, quint32 version) { return controller.moveQueueTrack(from, to, version); });
}

void Queue::clear()
{
    if (count() == 0)
        return;
    edit([](GroupController controller, quint32) { return controller.clearQueue(); });
}

bool Queue::edit(std::function<QCoro::Task<void>(GroupController, quint32)> command)
{
    const std::optional<ZoneGroup> &group = m_household.selectedGroup();
    // One change at a time, each on the version the last one made: a second
    // click before that is known would be refused as stale.
    if (isBusy() || !group)
        return false;
    if (!m_updateID) {
        // The last read failed: read again, the next click has a version.
        reload();
        return false;
    }
    StoreContext::start(editTask(command(GroupController(*group), *m_updateID)));
    return true;
}

StoreTask<void> Queue::editTask(QCoro::Task<void> command)
{
    countCommand(+1);
    const Attempt<void> done = co_await m_context.attempt(std::move(command));
    countCommand(-1);
    if (done) {
        // Removing or moving entries moves the playing one's number.
        Q_EMIT m_context.playbackStale();
    } else {
        // A refusal because the queue changed meanwhile is no trouble with
        // the household: it is said, and the queue read again.
        m_context.report(done.failure());
    }
    afterCommand();
}

void Queue::afterCommand()
{
    // Done or refused (the queue changed meanwhile), the rows in view are
    // read again at the version the queue has now.
    if (!m_shown)
        return;
    m_updateID.reset();
    setAwaitingVersion(true);
    reload();
}

void Queue::saveAs(const QString &title)
{
    if (const std::optional<ZoneGroup> &group = m_household.selectedGroup())
        StoreContext::start(saveTask(*group, title.trimmed()));
}

StoreTask<void> Queue::saveTask(ZoneGroup group, QString title)
{
    // The last save's result would stand for this one's.
    assignNotifying(this, m_savedText, QString(), &Queue::savedTextChanged);
    countCommand(+1);
    const auto saved = co_await m_context.attempt(GroupController(std::move(group)).saveQueue(title));
    countCommand(-1);
    if (!saved) {
        m_context.report(saved.failure());
        co_return;
    }
    //: %1 is the title the user gave the new playlist.
    assignNotifying(this, m_savedText, tr("Saved as the playlist “%1”.").arg(title), &Queue::savedTextChanged);
    // The new playlist shows among the Sonos Playlists at once.
    StoreContext::start(m_library.load());
}

void Queue::setLoading(bool loading)
{
    assignNotifying(this, m_isLoading, loading, &Queue::isLoadingChanged);
}

void Queue::countCommand(int change)
{
    m_commands += change;
    updateBusy();
}

void Queue::setAwaitingVersion(bool awaiting)
{
    m_awaitingVersion = awaiting;
    updateBusy();
}

void Queue::updateBusy()
{
    const bool busy = m_commands > 0 || m_awaitingVersion || (m_updateID && m_entries.holdsOtherThan(*m_updateID));
    assignNotifying(this, m_busy, busy, &Queue::busyChanged);
}
