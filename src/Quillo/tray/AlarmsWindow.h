// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

class Alarms;
class QQmlEngine;
class QQuickView;

// The Alarms window: the household's alarms and their editor, a window of
// its own beside the panel (editing needs room). Made at its first opening,
// brought forward at every later one; closing it only hides it.
class AlarmsWindow : public QObject
{
    Q_OBJECT

public:
    AlarmsWindow(QQmlEngine *engine, Alarms &alarms, QObject *parent = nullptr);
    ~AlarmsWindow() override;

    void show();
    QQuickView *window() const { return m_window.get(); }

private Q_SLOTS:
    void hide();

private:
    QQmlEngine *m_engine;
    Alarms &m_alarms;
    std::unique_ptr<QQuickView> m_window;
};
