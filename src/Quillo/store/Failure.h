// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/SonosError.h"

#include <QString>

#include <exception>
#include <optional>

// What a store task caught, in the terms the store reports it: the library's
// error where it was one, the exception's own text otherwise.
class Failure
{
public:
    explicit Failure(const std::exception &error);

    // The task was stopped by its caller; there is nothing to report.
    bool isCancellation() const { return m_error && m_error->isCancellation(); }
    bool needsReauthorization() const { return m_error && m_error->needsReauthorization(); }
    bool isNoPlayersFound() const { return m_error && m_error->kind() == SonosKit::SonosError::Kind::noPlayersFound; }
    // An alarm already rings at that time in that room.
    bool isAlarmTimeTaken() const { return m_error && m_error->kind() == SonosKit::SonosError::Kind::alarmTimeTaken; }
    bool isSonosError() const { return m_error.has_value(); }
    // The sentence shown to the user.
    const QString &text() const { return m_text; }

private:
    std::optional<SonosKit::SonosError> m_error;
    QString m_text;
};
