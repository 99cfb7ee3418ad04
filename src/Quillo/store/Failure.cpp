// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/Failure.h"

Failure::Failure(const std::exception &error)
{
    if (const auto *sonos = dynamic_cast<const SonosKit::SonosError *>(&error)) {
        m_error = *sonos;
        m_text = sonos->errorDescription();
    } else {
        m_text = QString::fromLocal8Bit(error.what());
    }
}
