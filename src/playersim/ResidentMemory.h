// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

namespace playersim {

// How far the process's peak resident memory rose since this was made: what
// a hostile device cost the program that read it. Resetting the peak is
// Linux's (4.0 on); the measurement is of the whole process, so one at a time.
class ResidentGrowth
{
public:
    // Starts the peak afresh from what is resident now.
    ResidentGrowth();

    // The peak since construction less what was resident then, in KiB.
    qint64 kib() const;

private:
    qint64 m_before;
};

} // namespace playersim
