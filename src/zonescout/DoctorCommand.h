// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <SonosKit/doctor/Diagnosis.h>

#include <QByteArray>
#include <QCoroTask>
#include <QJsonObject>

namespace zonescout {

// The diagnosis as one JSON document: cause (its stable name), text, fix
// {kind, text}, hints, vpnActive, avahi, firewall, manualHost (or null),
// interfaces, speakerInterface (the one toward the speakers, or empty) and
// checks (name, outcome, detail, ms).
QJsonObject diagnosisJson(const SonosKit::Diagnosis &diagnosis);

// The diagnosis for a person: the cause, its fix and the hints, then the
// report for a bug.
QString diagnosisText(const SonosKit::Diagnosis &diagnosis);

// `doctor`: why no speaker is found, with --host as the address to check.
// Never fails; what it could not learn is part of the output.
QCoro::Task<QByteArray> runDoctor(Options options);

} // namespace zonescout
