// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QUrl>

#include <memory>

class QQmlEngine;

// The engine every window of the program shares, and that view tests load
// the shipped views with: Fusion style, the Quillo module from the
// resources, Qt.quit() ending the program.
std::unique_ptr<QQmlEngine> makeQmlEngine();

// The panel's content, shown by the tray popup and the fallback window.
inline const QUrl panelContent{QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml")};
