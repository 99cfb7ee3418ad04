// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace SonosKit {

enum class Repeat { off, all, one };

// A group's shuffle and repeat, which AVTransport folds into one PlayMode
// string: NORMAL, REPEAT_ALL, REPEAT_ONE, SHUFFLE_NOREPEAT, SHUFFLE (shuffle
// and repeat all) and SHUFFLE_REPEAT_ONE.
struct PlayMode {
    bool shuffle = false;
    Repeat repeat = Repeat::off;

    QString rawValue() const;
    // Exact, case-sensitive; anything else is no mode.
    static std::optional<PlayMode> fromRawValue(QStringView raw);

    friend bool operator==(const PlayMode &, const PlayMode &) = default;
};

// What the loaded source lets a controller change, from CurrentValidPlayModes
// ("SHUFFLE,REPEAT,REPEAT_ONE,CROSSFADE" for the queue; radio, line-in and
// TV list fewer or none).
struct ValidPlayModes {
    bool canShuffle = false;
    bool canRepeat = false;
    bool canRepeatOne = false;
    bool canCrossfade = false;

    // A comma-separated list; names this system does not know are skipped.
    static ValidPlayModes fromRawValue(QStringView raw);
    // The same reading from the source's URI alone, for when no event has
    // said: streams (radio, line-in, TV) allow none, anything else all.
    static ValidPlayModes forTransportURI(QStringView uri);
    // Whether `mode` may be set on this source (NORMAL always may).
    bool allows(const PlayMode &mode) const;

    friend bool operator==(const ValidPlayModes &, const ValidPlayModes &) = default;
};

} // namespace SonosKit
