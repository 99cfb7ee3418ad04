// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace zonescout {

// A command line that cannot be run; what() says why, for a person.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct Options {
    std::optional<QString> host; // the player to ask; discovery when absent
    // The household discovery picks; the one with most rooms when absent.
    std::optional<QString> household;
    std::optional<QString> room; // the group holding this room; the first group when absent
    bool json = false;
    bool help = false;
    QString command;
    QStringList arguments; // after the command, verbatim
};

// Options go before the command; everything after it is the command's own,
// taken as written so that "volume -5" is a volume change and not an option.
// Throws UsageError.
Options parseOptions(const QStringList &arguments);

QString usageText();

} // namespace zonescout
