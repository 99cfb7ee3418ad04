// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLocale>

class QCoreApplication;

// Quillo's texts and Qt's own (standard dialogs, context menus) in the
// user's language, from the translations built into the program and the
// ones Qt installs; English where there is none. Call once, before any
// window or QML engine exists.
void installTranslations(QCoreApplication &application, const QLocale &locale = QLocale());
