// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"
#include "SonosKit/SonosDevice.h"

#include <QCoroTask>
#include <QStringView>

#include <optional>

namespace SonosKit {

// How one room sounds, as its own player reports it. Night sound and speech
// enhancement are none on a player that does not have them (only
// home-theatre players do).
struct RoomSound {
    static constexpr int lowestTone = -10;
    static constexpr int highestTone = 10;

    int bass = 0;
    int treble = 0;
    bool loudness = true;
    std::optional<bool> nightMode;
    std::optional<bool> speechEnhancement;

    // Bass and treble held to what players take.
    static int heldTone(qint64 level);
    // An EQ type's value as read or heard: any level but 0 is on (speech
    // enhancement may come as a level); none when it is no number.
    static std::optional<bool> eqSetting(QStringView text);

    friend bool operator==(const RoomSound &, const RoomSound &) = default;
};

// The EQ types of GetEQ and SetEQ this system offers.
enum class EQType {
    nightMode, // "NightMode"
    speechEnhancement, // "DialogLevel"
};

// One player's sound settings at its RenderingControl. A small value made
// for each operation, as GroupController is: nothing it does outlives it.
class RoomSoundControl
{
public:
    explicit RoomSoundControl(SonosDevice device);

    // Bass, treble, loudness and, when `probeEQ`, each EQ type, asked at the
    // same time. GetEQ refused as an invalid argument or action (402, 401)
    // means the player lacks that type: it reads as none, and is no failure.
    // Any other failure, another fault too, fails the read, and no request
    // outlives it.
    QCoro::Task<RoomSound> read(bool probeEQ = true, CancellationToken cancel = {}) const;
    // One EQ type; none when the player lacks it (as for read()).
    QCoro::Task<std::optional<bool>> eq(EQType type, CancellationToken cancel = {}) const;

    // Bass and treble are held to -10 to +10 before they are sent.
    QCoro::Task<void> setBass(int level) const;
    QCoro::Task<void> setTreble(int level) const;
    QCoro::Task<void> setLoudness(bool on) const;
    QCoro::Task<void> setEQ(EQType type, bool on) const;
    // Bass and treble 0, loudness on: how a player leaves the factory.
    QCoro::Task<void> reset() const;

    const SonosDevice &device() const { return m_device; }

private:
    SonosDevice m_device;
};

} // namespace SonosKit
