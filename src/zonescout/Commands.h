// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Options.h"

#include <SonosKit/ZoneGroup.h>

#include <QByteArray>
#include <QCoroTask>

#include <stdexcept>

namespace zonescout {

// A command that cannot be carried out for a reason of zonescout's own (an
// item or room that is not there); what() is the sentence for a person.
class CommandError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Checks the command's arguments before anything is sent; throws UsageError.
void validateArguments(const Options &options);

// Runs the command and returns what goes to stdout. Throws SonosError for a
// failure of the household, CommandError or UsageError for the rest.
QCoro::Task<QByteArray> runCommand(Options options);

// The household's groups: of the household at --host, or found by discovery
// (the one --household names, or the one with most rooms).
QCoro::Task<QList<SonosKit::ZoneGroup>> householdGroups(Options options);
// The group holding `room`, the first group without it. Throws SonosError
// for an unknown room, CommandError when there are no groups.
SonosKit::ZoneGroup selectedGroup(const QList<SonosKit::ZoneGroup> &groups, const std::optional<QString> &room);

// The group the options name: --room's (the first without it), of the
// household at --host or found by discovery. Throws as runCommand() does.
QCoro::Task<SonosKit::ZoneGroup> selectedGroup(Options options);

} // namespace zonescout
