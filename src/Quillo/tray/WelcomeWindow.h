// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

class QQmlEngine;
class QQuickView;

// The first-run window, "Getting the most out of Quillo". Closing it with the
// title bar only hides it; its "Got It" closes it for good and reports
// `dismissed`.
class WelcomeWindow : public QObject
{
    Q_OBJECT

public:
    explicit WelcomeWindow(QQmlEngine *engine, QObject *parent = nullptr);
    ~WelcomeWindow() override;

    // Shows the window, making it if there is none.
    void show();
    QQuickView *window() const { return m_window.get(); }

Q_SIGNALS:
    void dismissed();

private Q_SLOTS:
    void dismiss();

private:
    QQmlEngine *m_engine;
    std::unique_ptr<QQuickView> m_window;
};
