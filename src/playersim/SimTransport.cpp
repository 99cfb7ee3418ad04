// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SimTransport.h"

#include <algorithm>
#include <iterator>

namespace playersim {

namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

} // namespace

void SimTransport::loadQueue(const QString &queueUri)
{
    m_source = Source::queue;
    m_mode = Mode::stopped;
    m_uri = queueUri;
    m_uriMetadata.clear();
    m_single = {};
    m_index = 0;
    m_anchorPosition = 0;
}

void SimTransport::loadSingle(const SimTrack &track, const QString &uri, const QString &metadata)
{
    m_source = Source::single;
    m_mode = Mode::stopped;
    m_uri = uri;
    m_uriMetadata = metadata;
    m_single = track;
    m_index = 0;
    m_anchorPosition = 0;
}

void SimTransport::loadInput(Source kind, const QString &uri)
{
    // Players set an input with empty metadata and report none for it.
    SimTrack live;
    live.uri = uri;
    loadSingle(live, uri, QString());
    m_source = kind;
}

void SimTransport::unload()
{
    // The group's play mode and crossfade stay, as they do on real players.
    const QString playMode = m_playMode;
    const bool crossfade = m_crossfade;
    *this = SimTransport();
    m_playMode = playMode;
    m_crossfade = crossfade;
}

std::optional<SimTrack> SimTransport::currentTrack(const QList<SimTrack> &queue) const
{
    if (m_source == Source::single || m_source == Source::lineIn || m_source == Source::tv)
        return m_single;
    if (m_source == Source::queue && m_index >= 0 && m_index < queue.size())
        return queue.at(m_index);
    return std::nullopt;
}

void SimTransport::settle(const QList<SimTrack> &queue, Clock::time_point now)
{
    if (m_sleepDeadline && *m_sleepDeadline <= now) {
        // Played up to the moment the timer ran out, paused from there on.
        const Clock::time_point deadline = *m_sleepDeadline;
        m_sleepDeadline.reset();
        ++m_sleepGeneration;
        settle(queue, deadline);
        // A TV, which takes no Pause, falls silent all the same.
        if (m_mode == Mode::playing && pause(deadline))
            m_mode = Mode::stopped;
    }
    if (m_mode != Mode::playing || now <= m_anchor)
        return;
    // Advance by whole milliseconds and keep the remainder on the anchor:
    // re-anchoring at `now` would drop it, and a player polled more often
    // than once a millisecond would never get anywhere.
    const milliseconds elapsed = duration_cast<milliseconds>(now - m_anchor);
    qint64 position = m_anchorPosition + elapsed.count();
    for (;;) {
        const std::optional<SimTrack> track = currentTrack(queue);
        if (!track) {
            m_mode = Mode::stopped;
            m_index = 0;
            position = 0;
            break;
        }
        const qint64 length = qint64(track->durationSeconds) * 1000;
        if (track->isStream() || position < length)
            break;
        position -= length;
        if (m_source == Source::queue && m_index + 1 < queue.size()) {
            ++m_index;
            continue;
        }
        // The end of the queue or of a single track: back to the start, stopped.
        m_mode = Mode::stopped;
        m_index = 0;
        position = 0;
        break;
    }
    m_anchorPosition = position;
    m_anchor = m_mode == Mode::playing ? m_anchor + elapsed : now;
}

QString SimTransport::stateName(Clock::time_point now) const
{
    switch (m_mode) {
    case Mode::noMedia:
        return QStringLiteral("NO_MEDIA_PRESENT");
    case Mode::stopped:
        return QStringLiteral("STOPPED");
    case Mode::paused:
        return QStringLiteral("PAUSED_PLAYBACK");
    case Mode::playing:
        return now < m_anchor ? QStringLiteral("TRANSITIONING") : QStringLiteral("PLAYING");
    }
    return QStringLiteral("STOPPED");
}

qint64 SimTransport::positionMilliseconds(Clock::time_point now) const
{
    if (m_mode != Mode::playing || now <= m_anchor)
        return m_anchorPosition;
    return m_anchorPosition + duration_cast<milliseconds>(now - m_anchor).count();
}

std::optional<SimTransport::Refusal> SimTransport::play(const QList<SimTrack> &queue, Clock::time_point now)
{
    if (m_mode == Mode::noMedia || !currentTrack(queue))
        return Refusal{701};
    if (m_mode == Mode::playing)
        // Soundbars have been reported to answer Play on a TV that already
        // plays with a fault.
        return m_source == Source::tv ? std::optional(Refusal{701}) : std::nullopt;
    m_mode = Mode::playing;
    m_anchor = now + transitionTime;
    return std::nullopt;
}

std::optional<SimTransport::Refusal> SimTransport::pause(Clock::time_point now)
{
    if (m_mode == Mode::noMedia || m_mode == Mode::stopped || m_source == Source::tv)
        return Refusal{701};
    if (m_mode == Mode::playing) {
        m_anchorPosition = positionMilliseconds(now);
        m_mode = Mode::paused;
    }
    return std::nullopt;
}

std::optional<SimTransport::Refusal> SimTransport::stop()
{
    // As reported of soundbars: Stop on the TV is refused.
    if (m_source == Source::tv)
        return Refusal{701};
    if (m_mode != Mode::noMedia) {
        m_mode = Mode::stopped;
        m_anchorPosition = 0;
    }
    return std::nullopt;
}

QString SimTransport::actions() const
{
    // The queue's list is what players send for a queue; the rest follow
    // what this transport accepts (assumed: live inputs and streams neither
    // seek nor skip, a TV that plays takes nothing but another source).
    switch (m_source) {
    case Source::queue:
        return QStringLiteral("Set, Stop, Pause, Play, X_DLNA_SeekTime, Next, Previous");
    case Source::single:
        return m_single.isStream() ? QStringLiteral("Set, Stop, Pause, Play")
                                   : QStringLiteral("Set, Stop, Pause, Play, X_DLNA_SeekTime");
    case Source::lineIn:
        return QStringLiteral("Set, Stop, Pause, Play");
    case Source::tv:
        return m_mode == Mode::playing ? QStringLiteral("Set") : QStringLiteral("Set, Play");
    case Source::none:
        break;
    }
    return QStringLiteral("Set");
}

void SimTransport::moveTo(int index, Clock::time_point now)
{
    m_index = index;
    m_anchorPosition = 0;
    if (m_mode == Mode::playing)
        m_anchor = now + transitionTime;
}

std::optional<SimTransport::Refusal> SimTransport::next(const QList<SimTrack> &queue, Clock::time_point now)
{
    if (m_source != Source::queue)
        return Refusal{701};
    if (m_index + 1 >= queue.size())
        return Refusal{711};
    moveTo(m_index + 1, now);
    return std::nullopt;
}

std::optional<SimTransport::Refusal> SimTransport::previous(const QList<SimTrack> &queue, Clock::time_point now)
{
    if (m_source != Source::queue || queue.isEmpty())
        return Refusal{701};
    // Like the players: a few seconds in, Previous restarts the track.
    if (m_index == 0 || positionMilliseconds(now) > 3000)
        moveTo(m_index, now);
    else
        moveTo(m_index - 1, now);
    return std::nullopt;
}

std::optional<SimTransport::Refusal> SimTransport::seekTrack(const QList<SimTrack> &queue, int number, Clock::time_point now)
{
    if (m_source != Source::queue)
        return Refusal{701};
    if (number < 1 || number > queue.size())
        return Refusal{711};
    moveTo(number - 1, now);
    return std::nullopt;
}

std::optional<SimTransport::Refusal> SimTransport::seekTime(const QList<SimTrack> &queue, qint64 seconds, Clock::time_point now)
{
    const std::optional<SimTrack> track = currentTrack(queue);
    if (!track || track->isStream())
        return Refusal{701};
    if (seconds < 0 || seconds > track->durationSeconds)
        return Refusal{711};
    m_anchorPosition = seconds * 1000;
    if (m_mode == Mode::playing)
        m_anchor = std::max(m_anchor, now);
    return std::nullopt;
}

void SimTransport::setSleepTimer(std::chrono::seconds length, Clock::time_point now)
{
    if (length > std::chrono::seconds::zero())
        m_sleepDeadline = now + length;
    else
        m_sleepDeadline.reset();
    ++m_sleepGeneration;
}

std::optional<qint64> SimTransport::sleepSecondsLeft(Clock::time_point now) const
{
    if (!m_sleepDeadline)
        return std::nullopt;
    return std::chrono::ceil<std::chrono::seconds>(std::max(*m_sleepDeadline - now, Clock::duration::zero())).count();
}

void SimTransport::queueCleared()
{
    if (m_source != Source::queue)
        return;
    m_mode = Mode::stopped;
    m_index = 0;
    m_anchorPosition = 0;
}

void SimTransport::queueTrackMoved(int index)
{
    if (m_source == Source::queue)
        m_index = index;
}

void SimTransport::queueTrackRemoved(const QList<SimTrack> &queue, Clock::time_point now)
{
    if (m_source != Source::queue)
        return;
    if (m_index >= queue.size())
        queueCleared();
    else
        moveTo(m_index, now);
}

namespace {

// The play modes as a controller sends them, with what each needs of the
// source (the UPnP AVTransport names plus Sonos's SHUFFLE_* variants).
struct PlayModeNeeds {
    QLatin1StringView mode;
    bool shuffle;
    bool repeat;
    bool repeatOne;
};
constexpr PlayModeNeeds playModes[] = {
    {QLatin1StringView("NORMAL"), false, false, false},
    {QLatin1StringView("REPEAT_ALL"), false, true, false},
    {QLatin1StringView("REPEAT_ONE"), false, false, true},
    {QLatin1StringView("SHUFFLE_NOREPEAT"), true, false, false},
    {QLatin1StringView("SHUFFLE"), true, true, false},
    {QLatin1StringView("SHUFFLE_REPEAT_ONE"), true, false, true},
};

// Sources a listener cannot reorder or repeat: radio, another player's
// line-in and a TV. Which modes real players list for these is an
// assumption (only the queue's full list is reported from real players);
// none is the safe reading, and it makes the controls' disabled state
// testable.
bool isStream(const QString &uri)
{
    static const QLatin1StringView streams[] = {QLatin1StringView("x-sonosapi-stream:"), QLatin1StringView("x-sonosapi-radio:"),
        QLatin1StringView("x-rincon-mp3radio:"), QLatin1StringView("x-rincon-stream:"), QLatin1StringView("x-sonos-htastream:"),
        QLatin1StringView("x-sonosapi-hls:")};
    return std::any_of(std::begin(streams), std::end(streams), [&](QLatin1StringView s) { return uri.startsWith(s); });
}

constexpr int playModeNotSupported = 712; // UPnP AVTransport: "Play mode not supported"

} // namespace

QString SimTransport::validPlayModes() const
{
    // The queue, a single track and nothing loaded (which falls back to the
    // queue) allow all of them, as the queue's events list them.
    return isStream(m_uri) ? QString() : QStringLiteral("SHUFFLE,REPEAT,REPEAT_ONE,CROSSFADE");
}

std::optional<SimTransport::Refusal> SimTransport::setPlayMode(const QString &mode)
{
    const auto *known = std::find_if(
        std::begin(playModes), std::end(playModes), [&](const PlayModeNeeds &needs) { return needs.mode == mode; });
    if (known == std::end(playModes))
        return Refusal{playModeNotSupported};
    const QStringList valid = validPlayModes().split(QLatin1Char(','), Qt::SkipEmptyParts);
    if ((known->shuffle && !valid.contains(u"SHUFFLE")) || (known->repeat && !valid.contains(u"REPEAT"))
        || (known->repeatOne && !valid.contains(u"REPEAT_ONE")))
        return Refusal{playModeNotSupported};
    m_playMode = mode;
    return std::nullopt;
}

std::optional<SimTransport::Refusal> SimTransport::setCrossfade(bool on)
{
    if (on && !validPlayModes().contains(u"CROSSFADE"))
        return Refusal{playModeNotSupported};
    m_crossfade = on;
    return std::nullopt;
}

} // namespace playersim
