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
// coroutine's frame, where GCC 12 has been seen to destroy it twice.
QCoro::Task<void> setTone(const RoomSoundControl &control, bool bass, int level)
{
    return bass ? control.setBass(level) : control.setTreble(level);
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
    m_sending = {};
    m_queued = {};
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
    Q_EMIT closed(roomID);
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
        m_context.report(sound.failure());
        co_return;
    }
    if (probeEQ)
        m_hasEQ.insert(device.uuid, sound->nightMode || sound->speechEnhancement);
    learn(Field::bass, sound->bass, asked);
    learn(Field::treble, sound->treble, asked);
    learn(Field::loudness, sound->loudness ? 1 : 0, asked);
    // An event may have told a type before the read came back.
    if (sound->nightMode || !m_known[index(Field::nightMode)])
        learn(Field::nightMode, number(sound->nightMode), asked);
    if (sound->speechEnhancement || !m_known[index(Field::speechEnhancement)])
        learn(Field::speechEnhancement, number(sound->speechEnhancement), asked);
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
    if (!m_device)
        return;
    level = SonosKit::RoomSound::heldTone(level);
    previewTone(field, level);
    // One send at a time: a value chosen meanwhile replaces any that
    // waited, and goes once the send before it is answered.
    if (m_sending[index(field)]) {
        m_queued[index(field)] = level;
        return;
    }
    StoreContext::start(sendTone(field, level));
}

StoreTask<void> RoomSound::sendTone(Field field, int level)
{
    const int i = index(field);
    const quint64 serial = m_serial;
    const RoomSoundControl control(*m_device);
    m_sending[i] = true;
    for (;;) {
        QCoro::Task<void> request = setTone(control, field == Field::bass, level);
        const Attempt<void> sent = co_await m_context.attempt(std::move(request));
        if (serial != m_serial)
            co_return;
        const Values before = shownValues();
        if (!sent) {
            // The slider shows the player's value again.
            m_sending[i] = false;
            m_queued[i].reset();
            m_pending[i].reset();
            notifyChanges(before);
            m_context.report(sent.failure());
            co_return;
        }
        // The player holds it from its answer on: nothing known from before
        // that is newer.
        learn(field, level, ask());
        if (!m_queued[i]) {
            m_sending[i] = false;
            if (m_pending[i] == level)
                m_pending[i].reset();
            notifyChanges(before);
            co_return;
        }
        level = *std::exchange(m_queued[i], std::nullopt);
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
    if (!m_device || (field != Field::loudness && !m_known[index(field)]))
        return;
    Values values;
    values[index(field)] = on ? 1 : 0;
    StoreContext::start(sendSettings(values, [field, on](RoomSoundControl control) {
        if (field == Field::loudness)
            return control.setLoudness(on);
        return control.setEQ(field == Field::nightMode ? EQType::nightMode : EQType::speechEnhancement, on);
    }));
}

void RoomSound::reset()
{
    if (!m_device)
        return;
    Values values;
    values[index(Field::bass)] = 0;
    values[index(Field::treble)] = 0;
    values[index(Field::loudness)] = 1;
    StoreContext::start(sendSettings(values, [](RoomSoundControl control) { return control.reset(); }));
}

StoreTask<void> RoomSound::sendSettings(Values values, Request request)
{
    const quint64 serial = m_serial;
    Values before = shownValues();
    for (int i = 0; i < fieldCount; ++i) {
        if (values[size_t(i)])
            m_pending[size_t(i)] = values[size_t(i)];
    }
    notifyChanges(before);
    const RoomSoundControl control(*m_device);
    QCoro::Task<void> task = request(control);
    const Attempt<void> sent = co_await m_context.attempt(std::move(task));
    if (serial != m_serial)
        co_return;
    before = shownValues();
    const quint64 asked = ask();
    for (int i = 0; i < fieldCount; ++i) {
        const std::optional<int> value = values[size_t(i)];
        if (!value)
            continue;
        if (sent)
            learn(Field(i), value, asked);
        // What a later choice shows stays.
        if (m_pending[size_t(i)] == value)
            m_pending[size_t(i)].reset();
    }
    notifyChanges(before);
    if (!sent)
        m_context.report(sent.failure());
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
    if (event.nightMode)
        learn(Field::nightMode, number(event.nightMode), asked);
    if (event.dialogLevel)
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
