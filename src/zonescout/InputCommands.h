// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <QByteArray>
#include <QCoroTask>

namespace zonescout {

// `inputs`, `line-in` and `tv`.
bool isInputCommand(const QString &command);

// `inputs` lists every line-in and TV of the household; `line-in [ROOM]`
// plays ROOM's line-in (the coordinator's own without ROOM) on the group,
// `tv` the TV of the soundbar that leads the group. Throws as runCommand()
// does; CommandError when the room has no line-in or no soundbar leads.
QCoro::Task<QByteArray> runInputCommand(Options options);

} // namespace zonescout
