// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "HouseholdData.h"

namespace playersim {

// Plausible tracks for households that need many: titles, artists and URIs
// in the forms each service's tracks take on a real player. The same seed
// always gives the same tracks.
QList<SimTrack> generatedTracks(int serviceId, quint32 seed, int count);
// One track of the local library, shared over SMB as real households do.
SimTrack libraryTrack(const QString &artist, const QString &album, int number, const QString &title, int durationSeconds);
// The URI of one track of a music service, e.g. "x-sonos-spotify:spotify%3atrack%3a…?sid=12&flags=8224&sn=1".
QString serviceTrackURI(int serviceId, const QString &key);

} // namespace playersim
