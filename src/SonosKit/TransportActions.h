// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QFlags>
#include <QStringView>

namespace SonosKit {

// What the current source lets a controller do, from CurrentTransportActions
// ("Set, Stop, Pause, Play, X_DLNA_SeekTime, Next, Previous"; some players
// say "Seek").
enum class TransportAction {
    play = 0x1,
    pause = 0x2,
    stop = 0x4,
    next = 0x8,
    previous = 0x10,
    seek = 0x20,
};
Q_DECLARE_FLAGS(TransportActions, TransportAction)
Q_DECLARE_OPERATORS_FOR_FLAGS(TransportActions)

// Names this system does not act on ("Set", "X_DLNA_SeekTrackNr") are left out.
TransportActions transportActionsFromText(QStringView text);

} // namespace SonosKit
