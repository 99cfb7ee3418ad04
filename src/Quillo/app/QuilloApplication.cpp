// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/QuilloApplication.h"

#include "Quillo/app/Logging.h"
#include "Quillo/app/QmlEngine.h"
#include "Quillo/mpris/MprisService.h"
#include "Quillo/store/PlayerStore.h"
#include "Quillo/tray/AlarmsWindow.h"
#include "Quillo/tray/FallbackWindow.h"
#include "Quillo/tray/TrayHost.h"
#include "Quillo/tray/TrayIcon.h"
#include "Quillo/tray/TrayPopup.h"
#include "Quillo/tray/WelcomeWindow.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QQmlEngine>
#include <QTimer>

namespace {

// How long to wait for a tray before showing the panel as a window.
constexpr std::chrono::seconds trayPatience(10);

} // namespace

QuilloApplication::QuilloApplication(std::unique_ptr<PlayerStore> store, QObject *parent)
    : QObject(parent)
    , m_store(store ? std::move(store) : std::make_unique<PlayerStore>(nullptr))
{
    PlayerStore::provideToQml(m_store.get());
    m_engine = makeQmlEngine();
    m_welcome = std::make_unique<WelcomeWindow>(m_engine.get());
    connect(m_welcome.get(), &WelcomeWindow::dismissed, m_store.get(), [this] { m_store->setHasSeenWelcome(true); });
    connect(m_store.get(), &PlayerStore::welcomeRequested, this, &QuilloApplication::showWelcome);
    m_alarmsWindow = std::make_unique<AlarmsWindow>(m_engine.get(), m_store->alarms());
    connect(&m_store->alarms(), &Alarms::windowRequested, this, &QuilloApplication::showAlarms);
    // Before anything is destroyed, the players are left tidy: the store
    // unsubscribes within its bound while the program still runs its loop.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &QuilloApplication::shutdown);
}

void QuilloApplication::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    QCoro::waitFor(m_store->shutdown());
}

QuilloApplication::~QuilloApplication()
{
    m_mpris.reset();
    // Windows go before the engine their content lives in.
    m_popup.reset();
    m_fallbackWindow.reset();
    m_welcome.reset();
    m_alarmsWindow.reset();
    m_engine.reset();
    PlayerStore::provideToQml(nullptr);
}

void QuilloApplication::addTrayIcon()
{
    m_trayIcon = std::make_unique<TrayIcon>();
    connect(m_trayIcon.get(), &TrayIcon::toggleRequested, this, &QuilloApplication::togglePanel);
    connect(m_trayIcon.get(), &TrayIcon::openRequested, this, &QuilloApplication::openPanel);
    connect(
        m_trayIcon.get(), &TrayIcon::quitRequested, QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    PlayerStore *store = m_store.get();
    NowPlaying *nowPlaying = &store->nowPlaying();
    connect(m_trayIcon.get(), &TrayIcon::playPauseRequested, nowPlaying, &NowPlaying::togglePlayPause);
    connect(m_trayIcon.get(), &TrayIcon::nextRequested, nowPlaying, &NowPlaying::next);
    connect(m_trayIcon.get(), &TrayIcon::previousRequested, nowPlaying, &NowPlaying::previous);
    // Hollow at launch whatever plays; every change of playback after that
    // decides.
    connect(&store->nowPlaying(), &NowPlaying::playbackChanged, m_trayIcon.get(),
        [this] { m_trayIcon->showPlayback(m_store->nowPlaying().playback()); });
    m_trayIcon->showPlayback(m_store->nowPlaying().playback());
    connect(&store->sleepTimer(), &SleepTimer::textChanged, m_trayIcon.get(),
        [this] { m_trayIcon->showSleepTimer(m_store->sleepTimer().accessibleDescription()); });
    m_trayIcon->showSleepTimer(m_store->sleepTimer().accessibleDescription());
    connect(m_trayIcon.get(), &TrayIcon::alarmsRequested, &store->alarms(), &Alarms::requestWindow);
    connect(&store->alarms(), &Alarms::nextAlarmChanged, m_trayIcon.get(),
        [this] { m_trayIcon->showNextAlarm(m_store->alarms().nextAlarmText()); });
    m_trayIcon->showNextAlarm(m_store->alarms().nextAlarmText());
    m_trayIcon->show();
    m_popup = std::make_unique<TrayPopup>(m_engine.get(), panelContent);
}

void QuilloApplication::watchForTray()
{
    // A tray that starts after Quillo (both autostarted at login) still gets
    // the icon; until one is there for a while, the panel is a window.
    m_trayWatch = std::make_unique<TrayHostWatch>();
    connect(
        m_trayWatch.get(), &TrayHostWatch::appeared, this,
        [this] {
            m_trayWatch.reset();
            addTrayIcon();
        },
        Qt::QueuedConnection);
    QTimer::singleShot(trayPatience, this, [this] {
        if (!m_trayIcon && !m_fallbackWindow)
            launchWithoutTray();
    });
}

void QuilloApplication::launch()
{
    if (TrayHost::present())
        addTrayIcon();
    else
        watchForTray();
    // The desktop's media controls see the selected group from the start.
    m_mpris = std::make_unique<MprisService>(m_store.get());
    connect(m_mpris.get(), &MprisService::raiseRequested, this, &QuilloApplication::openPanel);
    if (!m_mpris->registerOnBus())
        m_mpris.reset();

    // One read of the topology and the playback covers the first run's
    // search too.
    m_launching = true;
    StoreContext::start(m_store->refreshAll());
    watchFirstRun();
    m_launching = false;
}

void QuilloApplication::launchWithoutTray()
{
    qCInfo(lcTray) << "No system tray appeared; the panel shows as a window";
    m_fallbackWindow = std::make_unique<FallbackWindow>(m_engine.get(), panelContent, [this] { return m_trayIcon != nullptr; });
    m_fallbackWindow->show();
}

void QuilloApplication::togglePanel()
{
    if (m_popup && m_trayIcon)
        m_popup->toggle(m_trayIcon->geometry());
}

void QuilloApplication::openPanel()
{
    if (m_popup && m_trayIcon) {
        if (!m_popup->isVisible())
            m_popup->open(m_trayIcon->geometry());
        m_popup->requestActivate();
    } else if (m_fallbackWindow) {
        m_fallbackWindow->show();
        m_fallbackWindow->raise();
        m_fallbackWindow->requestActivate();
    }
}

void QuilloApplication::watchFirstRun()
{
    connect(&m_store->household(), &Household::groupsChanged, this, [this] {
        if (m_waitingForSpeakers)
            firstRunStep();
    });
    m_waitingForSpeakers = true;
    firstRunStep();
}

void QuilloApplication::firstRunStep()
{
    if (m_store->preferences().hasSeenWelcome())
        return; // stays armed, with nothing to do
    if (!m_store->household().groups().isEmpty()) {
        m_waitingForSpeakers = false;
        showWelcome();
        return;
    }
    // Discovery starts at launch even if the panel is never opened; at
    // launch itself the program's first read is already on its way.
    if (!m_launching)
        StoreContext::start(m_store->household().refresh());
}

void QuilloApplication::showWelcome()
{
    m_welcome->show();
}

void QuilloApplication::showAlarms()
{
    // The panel gives way to the window it opened: it would otherwise hold
    // the pointer until the next click.
    if (m_popup && m_popup->isVisible())
        m_popup->close();
    m_alarmsWindow->show();
}
