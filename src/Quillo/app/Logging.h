// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>

// One category per folder, so that `QT_LOGGING_RULES="quillo.events.debug=true"`
// shows one concern's story and nothing else.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcStore)
Q_DECLARE_LOGGING_CATEGORY(lcEvents)
Q_DECLARE_LOGGING_CATEGORY(lcMpris)
Q_DECLARE_LOGGING_CATEGORY(lcTray)
