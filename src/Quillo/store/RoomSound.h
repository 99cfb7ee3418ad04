// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/StoreTask.h"

#include "SonosKit/RoomSound.h"
#include "SonosKit/SonosDevice.h"
#include "SonosKit/events/RenderingEvent.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <array>
#include <optional>
#include <utility>

class Rooms;
class StoreContext;

// One room's sound, shown on its own page: bass, treble, loudness, and night
// sound and speech enhancement where its player has them. Which of those a
// player has is asked once, the first time its page opens; a player that
// has neither is not asked again. A slider shows a drag at once and sends on
// release (and each key at once); sends of one control go one after another,
// the newest value last, so the player always ends on it, even when the page
// closes meanwhile. A read that fails closes the page. The player's
// events, here or from another controller, keep the page current while it
// is open.
class RoomSound : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns each room's sound.")
    Q_PROPERTY(bool isOpen READ isOpen NOTIFY openChanged)
    Q_PROPERTY(QString roomID READ roomID NOTIFY roomChanged)
    Q_PROPERTY(QString roomName READ roomName NOTIFY roomChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY loadingChanged)
    Q_PROPERTY(int bass READ bass NOTIFY bassChanged)
    Q_PROPERTY(int treble READ treble NOTIFY trebleChanged)
    Q_PROPERTY(bool loudness READ loudness NOTIFY loudnessChanged)
    Q_PROPERTY(bool hasNightMode READ hasNightMode NOTIFY nightModeChanged)
    Q_PROPERTY(bool nightMode READ nightMode NOTIFY nightModeChanged)
    Q_PROPERTY(bool hasSpeechEnhancement READ hasSpeechEnhancement NOTIFY speechEnhancementChanged)
    Q_PROPERTY(bool speechEnhancement READ speechEnhancement NOTIFY speechEnhancementChanged)

public:
    RoomSound(StoreContext &context, Rooms &rooms, QObject *parent = nullptr);

    // Shows the room with this id (RoomRecord::id) and reads its player.
    Q_INVOKABLE void open(const QString &roomID);
    // Back or Escape: the control that opened the page takes the focus back.
    Q_INVOKABLE void close();
    // The panel hid: the page closes and the focus stays where it is.
    void closeHidden();

    Q_INVOKABLE void previewBass(int level);
    Q_INVOKABLE void commitBass(int level);
    Q_INVOKABLE void previewTreble(int level);
    Q_INVOKABLE void commitTreble(int level);
    Q_INVOKABLE void setLoudness(bool on);
    Q_INVOKABLE void setNightMode(bool on);
    Q_INVOKABLE void setSpeechEnhancement(bool on);
    // Bass and treble 0, loudness on.
    Q_INVOKABLE void reset();

    // The household changed: the open room's player may answer at another
    // address now, or bear another name.
    void updateRoom();
    // A RenderingControl event of the player at `host`.
    void apply(const QString &host, const SonosKit::RenderingEvent &event);
    // The open room's player, whose events the page needs; empty when closed.
    QString followedHost() const { return m_device ? m_device->host : QString(); }

    bool isOpen() const { return m_device.has_value(); }
    QString roomID() const { return m_roomID; }
    QString roomName() const { return m_device ? m_device->roomName : QString(); }
    bool isLoading() const { return m_loading; }
    int bass() const { return shown(Field::bass).value_or(0); }
    int treble() const { return shown(Field::treble).value_or(0); }
    bool loudness() const { return shown(Field::loudness).value_or(1) != 0; }
    bool hasNightMode() const { return shown(Field::nightMode).has_value(); }
    bool nightMode() const { return shown(Field::nightMode).value_or(0) != 0; }
    bool hasSpeechEnhancement() const { return shown(Field::speechEnhancement).has_value(); }
    bool speechEnhancement() const { return shown(Field::speechEnhancement).value_or(0) != 0; }

Q_SIGNALS:
    void openChanged();
    void roomChanged();
    void loadingChanged();
    void bassChanged();
    void trebleChanged();
    void loudnessChanged();
    void nightModeChanged();
    void speechEnhancementChanged();
    void followedHostChanged();
    // The page of this room closed: the control that opened it takes the
    // keyboard focus back.
    void closed(const QString &roomID);

private:
    enum class Field { bass, treble, loudness, nightMode, speechEnhancement };
    static constexpr int fieldCount = 5;
    using Values = std::array<std::optional<int>, fieldCount>;
    // A player's UUID and a field.
    using SendKey = std::pair<QString, int>;

    void closePage(bool giveFocusBack);
    StoreTask<void> readTask(SonosKit::SonosDevice device, quint64 serial);
    // Shows `value` at once and sends it after any send of that control
    // under way, replacing what waited behind it.
    void send(Field field, int value);
    // Sends one control's values, the newest last, until none waits.
    StoreTask<void> sendTask(Field field, int value);
    void commitTone(Field field, int level);
    void setFlag(Field field, bool on);
    void previewTone(Field field, int level);
    std::optional<int> shown(Field field) const;
    // What the page shows now, to notify what changed.
    Values shownValues() const;
    void notifyChanges(const Values &before);
    // Takes `value` for `field` unless something asked after `asked` is known.
    void learn(Field field, std::optional<int> value, quint64 asked);
    quint64 ask() { return ++m_asked; }
    static int index(Field field) { return int(field); }

    StoreContext &m_context;
    Rooms &m_rooms;
    std::optional<SonosKit::SonosDevice> m_device;
    QString m_roomID;
    // Changes with every opening: answers for an earlier one are dropped.
    quint64 m_serial = 0;
    bool m_loading = false;
    Values m_known; // what the player said; none where it has no such control
    Values m_pending; // what a slider or switch shows until the player agrees
    std::array<quint64, fieldCount> m_knownAsked{};
    // A send under way for each key, and the value waiting behind it. Kept
    // across openings: the last value goes however the page closes.
    QMap<SendKey, std::optional<int>> m_sends;
    quint64 m_asked = 0;
    // By player UUID: whether it answered any EQ type when asked.
    QHash<QString, bool> m_hasEQ;
};
