// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <SonosKit/SonosHousehold.h>

#include <QByteArray>
#include <QCoroTask>
#include <QList>

namespace zonescout {

// `discover`: every household on the network with the players that answered
// for it, and the players that named none.
QCoro::Task<QByteArray> discoverHouseholds(Options options);

// A household for a person: its generation and rooms, "S2 · Living Room,
// Kitchen +3"; the players announce no name of their own.
QString householdLabel(const SonosKit::SonosHousehold &household);

// The household `id` names, or without one the household with most rooms
// (with a note for stderr in `note` when there were others to choose from).
// Throws CommandError when `id` is not among them.
SonosKit::SonosHousehold chosenHousehold(
    const QList<SonosKit::SonosHousehold> &households, const std::optional<QString> &id, QString *note);

} // namespace zonescout
