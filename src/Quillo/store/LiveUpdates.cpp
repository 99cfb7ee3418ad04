// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/LiveUpdates.h"

void LiveUpdates::setFlowing(bool flowing)
{
    if (flowing == m_flowing)
        return;
    m_flowing = flowing;
    Q_EMIT flowingChanged();
}

void LiveUpdates::setEventsBlocked(bool blocked)
{
    if (blocked == m_blocked)
        return;
    m_blocked = blocked;
    Q_EMIT eventsBlockedChanged();
}
