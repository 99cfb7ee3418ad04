// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/Logging.h"

// Warnings and above show by default: what a user pastes into a bug report.
Q_LOGGING_CATEGORY(lcApp, "quillo.app", QtWarningMsg)
Q_LOGGING_CATEGORY(lcStore, "quillo.store", QtWarningMsg)
Q_LOGGING_CATEGORY(lcEvents, "quillo.events", QtWarningMsg)
Q_LOGGING_CATEGORY(lcMpris, "quillo.mpris", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTray, "quillo.tray", QtWarningMsg)
