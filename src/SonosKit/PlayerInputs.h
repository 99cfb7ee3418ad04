// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/CancellationToken.h"

#include <QCoroTask>
#include <QString>
#include <QStringView>

#include <optional>

namespace SonosKit {

// The inputs a player has, as its device description lists their services:
// AudioIn for a line-in, HTControl for the TV of a soundbar (HDMI ARC or
// optical). A player's hardware does not change, so one read serves for as
// long as the player is known.
struct PlayerInputs {
    bool lineIn = false;
    bool tv = false;

    bool any() const { return lineIn || tv; }

    // From the text of /xml/device_description.xml; throws
    // SonosError::malformedResponse when it is no XML (a DTD included).
    static PlayerInputs fromDescription(const QString &description);
    // The description of the player at `host`, read within the usual six
    // seconds and 256 KiB; nothing when it cannot be read.
    static QCoro::Task<std::optional<PlayerInputs>> read(QString host, CancellationToken cancel = {});

    friend bool operator==(const PlayerInputs &, const PlayerInputs &) = default;
};

// A transport URI that plays an input live: a player's line-in
// ("x-rincon-stream:<UUID>") or a soundbar's TV ("x-sonos-htastream:<UUID>:spdif").
struct InputSource {
    enum class Kind { lineIn, tv };
    Kind kind = Kind::lineIn;
    QString uuid; // the player whose input it is

    // Nothing for any other URI.
    static std::optional<InputSource> fromURI(QStringView uri);
    // Whether `uri` plays an input, well formed or not.
    static bool isInput(QStringView uri);
    QString uri() const;
    // "TV (Living Room)", "Line-In (Office)", untranslated.
    static QString nameFor(Kind kind, const QString &room);

    friend bool operator==(const InputSource &, const InputSource &) = default;
};

} // namespace SonosKit
