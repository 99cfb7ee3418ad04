#pragma once

#include <QObject>

#include <memory>

#include "PlayerStore.h"
class MprisService;
class Popover;
class QQmlEngine;
class QQuickView;
class StatusItem;
class TrayHostWatch;
class WelcomeWindowController;

// The program's one shell: owns the store for the life of the process, the
// tray icon, the panel, the welcome window, and the plain window that stands
// in for the panel on a desktop without a tray.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    // `store` null means the user's own preferences and real discovery.
    explicit AppDelegate(std::unique_ptr<PlayerStore> store, QObject *parent = nullptr);
    ~AppDelegate() override;

    void launch();
    void togglePopover();
    void openPopover();
    void showWelcome();

    PlayerStore *store() const { return m_store.get(); }
    QQmlEngine *engine() const { return m_engine.get(); }
    Popover *popover() const { return m_popover.get(); }
    QQuickView *fallbackWindow() const { return m_fallbackWindow.get(); }
    StatusItem *statusItem() const { return m_statusItem.get(); }
    WelcomeWindowController *welcome() const { return m_welcome.get(); }
    MprisService *mpris() const { return m_mpris.get(); }

private:
    void observeForIconUpdates();
    void observeForFirstRun();
    void firstRunStep();
    void launchWithoutTray();
    void addTrayIcon();
    void watchForTray();

    std::unique_ptr<PlayerStore> m_store;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<StatusItem> m_statusItem;
    std::unique_ptr<Popover> m_popover;
    std::unique_ptr<QQuickView> m_fallbackWindow;
    std::unique_ptr<WelcomeWindowController> m_welcome;
    std::unique_ptr<MprisService> m_mpris;
    bool m_waitingForSpeakers = false;
    bool m_launching = false;
    std::unique_ptr<TrayHostWatch> m_trayWatch;
};

// The engine every window of the program shares: Fusion style, the Quillo
// module from the resources, Qt.quit() ending the program.
std::unique_ptr<QQmlEngine> makeQuilloEngine();
