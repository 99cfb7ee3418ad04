// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/PlaybackState.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>

class QMenu;
class QSystemTrayIcon;

// The icon in the desktop's system tray: hollow ("hifispeaker.2") unless the
// selected group plays, then filled ("hifispeaker.2.fill"). A left click asks
// for the panel; the context menu offers "Open Quillo", "Alarms…", the
// transport and "Quit". The tooltip tells the sleep timer and the next alarm.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    static QString symbolFor(const std::optional<SonosKit::PlaybackState> &playback);
    // The bundled monochrome symbol drawn in `color`, with the desktop
    // theme's icon of `themeName` preferred where the theme has one.
    static QIcon trayIcon(const QString &symbol, const QColor &color);

    void show();
    void showPlayback(const std::optional<SonosKit::PlaybackState> &playback);
    // The selected group's sleep timer in the tooltip ("29 minutes left");
    // empty when none runs.
    void showSleepTimer(const QString &timeLeft);
    // The next alarm to ring ("Alarm 07:00 · Bedroom"); empty for none.
    void showNextAlarm(const QString &nextAlarm);
    QString symbol() const { return m_symbol; }
    QString toolTip() const;
    // Where the tray host says the icon is; empty under StatusNotifierItem.
    QRect geometry() const;

Q_SIGNALS:
    void toggleRequested();
    void openRequested();
    void alarmsRequested();
    void quitRequested();
    // The selected group's transport, from the menu and the middle click.
    void playPauseRequested();
    void nextRequested();
    void previousRequested();

private:
    void setSymbol(const QString &symbol);
    void updateToolTip();

    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QString m_symbol;
    QString m_sleepTimer;
    QString m_nextAlarm;
};
