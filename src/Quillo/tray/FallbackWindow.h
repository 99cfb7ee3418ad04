// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QQuickView>

#include <functional>

// The window a desktop without a tray gets instead of the panel. Closing it
// ends the program, so nobody is left with an invisible process, unless a
// tray icon came up late: then the icon is the way back in.
class FallbackWindow : public QQuickView
{
    Q_OBJECT

public:
    FallbackWindow(QQmlEngine *engine, const QUrl &content, std::function<bool()> hasTrayIcon);

protected:
    bool event(QEvent *event) override;

private:
    std::function<bool()> m_hasTrayIcon;
};
