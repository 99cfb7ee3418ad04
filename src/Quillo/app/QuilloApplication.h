// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

class AlarmsWindow;
class FallbackWindow;
class MprisService;
class PlayerStore;
class QQmlEngine;
class TrayHostWatch;
class TrayIcon;
class TrayPopup;
class WelcomeWindow;

// The program's one shell: owns the store for the life of the process, the
// QML engine, the tray icon and its panel, the welcome window, the plain
// window that stands in for the panel on a desktop without a tray, the
// Alarms window and the media-player service. Shows the welcome window on the first run.
class QuilloApplication : public QObject
{
    Q_OBJECT

public:
    // `store` null means the user's own preferences and real discovery.
    explicit QuilloApplication(std::unique_ptr<PlayerStore> store, QObject *parent = nullptr);
    ~QuilloApplication() override;

    void launch();
    void togglePanel();
    // Opens the panel (or brings the fallback window forward) and focuses it.
    void openPanel();
    void showWelcome();
    // The Alarms window, from the panel or the tray icon's menu.
    void showAlarms();
    // Leaves the players tidy (bounded); run when the program is about to
    // quit, before anything is destroyed.
    void shutdown();

    PlayerStore *store() const { return m_store.get(); }
    QQmlEngine *engine() const { return m_engine.get(); }
    TrayPopup *popup() const { return m_popup.get(); }
    FallbackWindow *fallbackWindow() const { return m_fallbackWindow.get(); }
    TrayIcon *trayIcon() const { return m_trayIcon.get(); }
    WelcomeWindow *welcome() const { return m_welcome.get(); }
    AlarmsWindow *alarmsWindow() const { return m_alarmsWindow.get(); }
    MprisService *mpris() const { return m_mpris.get(); }

private:
    void watchFirstRun();
    void firstRunStep();
    void launchWithoutTray();
    void addTrayIcon();
    void watchForTray();

    std::unique_ptr<PlayerStore> m_store;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<TrayIcon> m_trayIcon;
    std::unique_ptr<TrayPopup> m_popup;
    std::unique_ptr<FallbackWindow> m_fallbackWindow;
    std::unique_ptr<WelcomeWindow> m_welcome;
    std::unique_ptr<AlarmsWindow> m_alarmsWindow;
    std::unique_ptr<MprisService> m_mpris;
    std::unique_ptr<TrayHostWatch> m_trayWatch;
    bool m_waitingForSpeakers = false;
    bool m_launching = false;
    bool m_shutDown = false;
};
