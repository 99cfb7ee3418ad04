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

class QQuickView;

// Loads `source` into `view`; a view that fails to load (a QML module
// missing from the user's install, say) says why on the terminal instead of
// showing nothing. True when it loaded.
bool loadView(QQuickView &view, const QUrl &source);
