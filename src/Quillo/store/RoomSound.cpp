// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/RoomSound.h"

#include "Quillo/store/Rooms.h"
#include "Quillo/store/StoreContext.h"

#include <utility>

using SonosKit::EQType;
using SonosKit::RoomSoundControl;
using SonosKit::SonosDevice;

namespace {

// Outside the coroutines: a temporary in a wait's expression lives in the
// coroutine's frame, where GCC 12 has been seen to destroy it twice. The
// field's index: bass, treble, loudness, night mode, speech enhancement.
QCoro::Task<void> request(const RoomSoundControl &control, int field, int value)
{
    switch (field) {
    case 0:
        return control.setBass(value);
    case 1:
        return control.setTreble(value);
    case 2:
        return control.setLoudness(value != 0);
    case 3:
        return control.setEQ(EQType::nightMode, value != 0);
    default:
        return control.setEQ(EQType::speechEnhancement, value != 0);
    }
}

std::optional<int> number(std::optional<bool> flag)
{
    return flag ? std::optional<int>(*flag ? 1 : 0) : std::nullopt;
}

} // namespace

RoomSound::RoomSound(StoreContext &context, Rooms &rooms, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_rooms(rooms)
{ }

void RoomSound::open(const QString &roomID)
{
    const std::optional<SonosDevice> device = m_rooms.device(roomID);
    if (!device)
        return;
    const Values before = shownValues();
    const bool wasOpen = isOpen();
    const bool wasLoading = m_loading;
    const QString host = followedHost();
    const QString name = roomName();
    const QString id = m_roomID;
    ++m_serial;
    m_device = device;
    m_roomID = roomID;
    m_known = {};
    m_pending = {};
    m_knownAsked = {};
    m_loading = true;
    if (id != roomID || name != roomName())
        Q_EMIT roomChanged();
    if (!wasOpen)
        Q_EMIT openChanged();
    if (!wasLoading)
        Q_EMIT loadingChanged();
    notifyChanges(before);
    if (host != followedHost())
        Q_EMIT followedHostChanged();
    StoreContext::start(readTask(*device, m_serial));
}

void RoomSound::close()
{
    closePage(true);
}

void RoomSound::closeHidden()
{
    closePage(false);
}

void RoomSound::closePage(bool giveFocusBack)
{
    if (!m_device)
        return;
    const QString roomID = m_roomID;
    ++m_serial;
    m_device.reset();
    m_roomID.clear();
    Q_EMIT openChanged();
    Q_EMIT roomChanged();
    if (std::exchange(m_loading, false))
        Q_EMIT loadingChanged();
    Q_EMIT followedHostChanged();
    if (giveFocusBack)
        Q_EMIT closed(roomID);
}

void RoomSound::updateRoom()
{
    if (!m_device)
        return;
    const std::optional<SonosDevice> device = m_rooms.device(m_roomID);
    // Gone from the household: what was known of it is all there is.
    if (!device)
        return;
    const bool moved = device->host != m_device->host;
    const bool renamed = device->roomName != m_device->roomName;
    m_device = device;
    if (renamed)
        Q_EMIT roomChanged();
    if (moved)
        Q_EMIT followedHostChanged();
}

StoreTask<void> RoomSound::readTask(SonosDevice device, quint64 serial)
{
    // A player known to have no EQ type is not asked for them again.
    const bool probeEQ = m_hasEQ.value(device.uuid, true);
    const quint64 asked = ask();
    const RoomSoundControl control(device);
    QCoro::Task<SonosKit::RoomSound> read = control.read(probeEQ, m_context.token());
    const Attempt<SonosKit::RoomSound> sound = co_await m_context.attempt(std::move(read));
    if (serial != m_serial)
        co_return;
    const Values before = shownValues();
    m_loading = false;
    Q_EMIT loadingChanged();
    if (!sound) {
        // Nothing on the page would be the player's: the status line says
        // why, and the room's row has the focus again.
        m_context.report(sound.failure());
        close();
        co_return;
    }
    if (probeEQ)
        m_hasEQ.insert(device.uuid, sound->nightMode || sound->speechEnhancement);
    learn(Field::bass, sound->bass, asked);
    learn(Field::treble, sound->treble, asked);
    learn(Field::loudness, sound->loudness ? 1 : 0, asked);
    // The probe alone tells which types the player has; an event may have
    // told a newer value of one it has.
    for (const auto &[field, value] :
        {std::pair{Field::nightMode, sound->nightMode}, std::pair{Field::speechEnhancement, sound->speechEnhancement}}) {
        if (value)
            learn(field, number(value), asked);
        else
            m_known[size_t(index(field))].reset();
    }
    notifyChanges(before);
}

void RoomSound::previewBass(int level)
{
    previewTone(Field::bass, level);
}

void RoomSound::commitBass(int level)
{
    commitTone(Field::bass, level);
}

void RoomSound::previewTreble(int level)
{
    previewTone(Field::treble, level);
}

void RoomSound::commitTreble(int level)
{
    commitTone(Field::treble, level);
}

void RoomSound::previewTone(Field field, int level)
{
    if (!m_device)
        return;
    const Values before = shownValues();
    m_pending[index(field)] = SonosKit::RoomSound::heldTone(level);
    notifyChanges(before);
}

void RoomSound::commitTone(Field field, int level)
{
    send(field, SonosKit::RoomSound::heldTone(level));
}

void RoomSound::send(Field field, int value)
{
    if (!m_device)
        return;
    const Values before = shownValues();
    m_pending[size_t(index(field))] = value;
    notifyChanges(before);
    // One send at a time: a value chosen meanwhile replaces any that
    // waited, and goes once the send before it is answered.
    const SendKey key{m_device->uuid, index(field)};
    if (const auto underWay = m_sends.find(key); underWay != m_sends.end()) {
        *underWay = value;
        return;
    }
    m_sends.insert(key, std::nullopt);
    StoreContext::start(sendTask(field, value));
}

StoreTask<void> RoomSound::sendTask(Field field, int value)
{
    const int i = index(field);
    const SendKey key{m_device->uuid, i};
    const RoomSoundControl control(*m_device);
    for (;;) {
        QCoro::Task<void> sending = request(control, i, value);
        const Attempt<void> sent = co_await m_context.attempt(std::move(sending));
        // The page may have closed, or show another room, by now: the
        // player still gets the last value, the page only its own.
        const bool shown = m_device && m_device->uuid == key.first;
        const Values before = shownValues();
        if (!sent) {
            // The control shows the player's value again.
            m_sends.remove(key);
            if (shown)
                m_pending[size_t(i)].reset();
            notifyChanges(before);
            m_context.report(sent.failure());
            co_return;
        }
        // The player holds it from its answer on: nothing known from before
        // that is newer.
        if (shown)
            learn(field, value, ask());
        const std::optional<int> waiting = m_sends.value(key);
        if (!waiting) {
            m_sends.remove(key);
            if (shown && m_pending[size_t(i)] == value)
                m_pending[size_t(i)].reset();
            notifyChanges(before);
            co_return;
        }
        notifyChanges(before);
        value = *waiting;
        m_sends[key].reset();
    }
}

void RoomSound::setLoudness(bool on)
{
    setFlag(Field::loudness, on);
}

void RoomSound::setNightMode(bool on)
{
    setFlag(Field::nightMode, on);
}

void RoomSound::setSpeechEnhancement(bool on)
{
    setFlag(Field::speechEnhancement, on);
}

void RoomSound::setFlag(Field field, bool on)
{
    // A control the player lacks is not offered, nor sent.
    if (!m_device || (field != Field::loudness && !m_known[size_t(index(field))]))
        return;
    send(field, on ? 1 : 0);
}

void RoomSound::reset()
{
    // Each after whatever of its control is under way, so that a value
    // chosen before cannot land after it.
    commitTone(Field::bass, 0);
    commitTone(Field::treble, 0);
    setLoudness(true);
}

void RoomSound::apply(const QString &host, const SonosKit::RenderingEvent &event)
{
    if (!m_device || host != m_device->host)
        return;
    const Values before = shownValues();
    const quint64 asked = ask();
    if (event.bass)
        learn(Field::bass, event.bass, asked);
    if (event.treble)
        learn(Field::treble, event.treble, asked);
    if (event.loudness)
        learn(Field::loudness, number(event.loudness), asked);
    // Only a type the probe found (or is about to tell): a player may put
    // every state variable in its events, those it cannot set too.
    if (event.nightMode && (m_loading || m_known[size_t(index(Field::nightMode))]))
        learn(Field::nightMode, number(event.nightMode), asked);
    if (event.dialogLevel && (m_loading || m_known[size_t(index(Field::speechEnhancement))]))
        learn(Field::speechEnhancement, number(event.dialogLevel), asked);
    notifyChanges(before);
}

void RoomSound::learn(Field field, std::optional<int> value, quint64 asked)
{
    const int i = index(field);
    if (asked < m_knownAsked[size_t(i)])
        return;
    m_knownAsked[size_t(i)] = asked;
    m_known[size_t(i)] = value;
}

std::optional<int> RoomSound::shown(Field field) const
{
    const int i = index(field);
    const std::optional<int> known = m_known[size_t(i)];
    // A switch the player lacks stays hidden whatever was chosen.
    if (field == Field::nightMode || field == Field::speechEnhancement)
        return known ? m_pending[size_t(i)].value_or(*known) : known;
    return m_pending[size_t(i)] ? m_pending[size_t(i)] : known;
}

RoomSound::Values RoomSound::shownValues() const
{
    Values values;
    for (int i = 0; i < fieldCount; ++i)
        values[size_t(i)] = shown(Field(i));
    return values;
}

void RoomSound::notifyChanges(const Values &before)
{
    static constexpr std::array<void (RoomSound::*)(), fieldCount> changed{&RoomSound::bassChanged, &RoomSound::trebleChanged,
        &RoomSound::loudnessChanged, &RoomSound::nightModeChanged, &RoomSound::speechEnhancementChanged};
    const Values now = shownValues();
    for (int i = 0; i < fieldCount; ++i) {
        if (before[size_t(i)] != now[size_t(i)])
            Q_EMIT(this->*changed[size_t(i)])();
    }
}
