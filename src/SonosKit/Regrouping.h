// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/SonosDevice.h"
#include "SonosKit/ZoneGroup.h"

#include <QList>
#include <QString>

// The household as the players arrange it after a room joins or leaves a
// group, so a controller can show the result before the next topology read
// confirms it. A coordinator that moves hands its group to the next member;
// a room that leaves plays alone, in a group named after itself until the
// players name it.
namespace SonosKit::Regrouping {

QList<ZoneGroup> joined(QList<ZoneGroup> groups, const SonosDevice &room, const QString &groupID);
QList<ZoneGroup> left(QList<ZoneGroup> groups, const SonosDevice &room);

} // namespace SonosKit::Regrouping
