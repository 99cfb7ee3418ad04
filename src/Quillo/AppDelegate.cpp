#include "AppDelegate.h"

#include "MprisService.h"
#include "PlayerStore.h"
#include "Popover.h"
#include "StatusItem.h"
#include "TrayHost.h"
#include "WelcomeWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickView>

namespace {

const QUrl menuContent(QStringLiteral("qrc:/Quillo/qml/MenuContentView.qml"));

// The window a desktop without a tray gets instead of the panel; closing it
// ends the program, so nobody is left with an invisible process.
class FallbackWindow : public QQuickView
{
public:
    FallbackWindow(QQmlEngine *engine, std::function<bool()> hasTrayIcon)
        : QQuickView(engine, nullptr)
        , m_hasTrayIcon(std::move(hasTrayIcon))
    {
    }

protected:
    bool event(QEvent *event) override
    {
        // Once a tray icon came up late, the icon is the way back in.
        if (event->type() == QEvent::Close && !m_hasTrayIcon())
            QCoreApplication::quit();
        return QQuickView::event(event);
    }

private:
    std::function<bool()> m_hasTrayIcon;
};

// How long to wait for a tray before showing the panel as a window.
constexpr qint64 trayPatienceMs = 10000;

} // namespace

std::unique_ptr<QQmlEngine> makeQuilloEngine()
{
    // Once per process, before any QML imports the controls.
    static const bool styled = [] {
        QQuickStyle::setStyle(QStringLiteral("Fusion"));
        return true;
    }();
    Q_UNUSED(styled);
    auto engine = std::make_unique<QQmlEngine>();
    engine->addImportPath(QStringLiteral("qrc:/"));
    QObject::connect(engine.get(), &QQmlEngine::quit, QCoreApplication::instance(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    return engine;
}

AppDelegate::AppDelegate(std::unique_ptr<PlayerStore> store, QObject *parent)
    : QObject(parent)
    , m_store(store ? std::move(store) : std::make_unique<PlayerStore>(nullptr))
{
    PlayerStore::provideToQml(m_store.get());
    m_engine = makeQuilloEngine();
    m_welcome = std::make_unique<WelcomeWindowController>(m_engine.get());
}

AppDelegate::~AppDelegate()
{
    m_mpris.reset();
    // Windows go before the engine their content lives in.
    m_popover.reset();
    m_fallbackWindow.reset();
    m_welcome.reset();
    m_engine.reset();
    PlayerStore::provideToQml(nullptr);
}

void AppDelegate::addTrayIcon()
{
    m_statusItem = std::make_unique<StatusItem>();
    connect(m_statusItem.get(), &StatusItem::toggleRequested, this, &AppDelegate::togglePopover);
    connect(m_statusItem.get(), &StatusItem::openRequested, this, &AppDelegate::openPopover);
    connect(m_statusItem.get(), &StatusItem::quitRequested, QCoreApplication::instance(), &QCoreApplication::quit,
            Qt::QueuedConnection);
    PlayerStore *store = m_store.get();
    connect(m_statusItem.get(), &StatusItem::playPauseRequested, store, &PlayerStore::togglePlayPause);
    connect(m_statusItem.get(), &StatusItem::nextRequested, store, &PlayerStore::next);
    connect(m_statusItem.get(), &StatusItem::previousRequested, store, &PlayerStore::previous);
    m_statusItem->showPlayback(m_store->playback());
    m_statusItem->show();
    m_popover = std::make_unique<Popover>(m_engine.get(), menuContent);
}

void AppDelegate::watchForTray()
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
    QTimer::singleShot(std::chrono::milliseconds(trayPatienceMs), this, [this] {
        if (!m_statusItem && !m_fallbackWindow)
            launchWithoutTray();
    });
}

void AppDelegate::launch()
{
    if (TrayHost::present())
        addTrayIcon();
    else
        watchForTray();
    QPointer<AppDelegate> self(this);
    m_store->setRequestWelcome([self] {
        if (self)
            self->showWelcome();
    });
    // The desktop's media controls see the selected group from the start,
    // and keep seeing it while it plays with the panel closed.
    m_mpris = std::make_unique<MprisService>(m_store.get(), [self] {
        if (self)
            self->openPopover();
    });
    if (m_mpris->registerOnBus())
        m_store->setClosedPollInterval(std::chrono::seconds(5));
    else
        m_mpris.reset();

    observeForIconUpdates();
    // One read of the topology and the playback covers the first run's
    // search too.
    m_launching = true;
    m_store->refreshAll();
    observeForFirstRun();
    m_launching = false;
}

void AppDelegate::launchWithoutTray()
{
    auto window = std::make_unique<FallbackWindow>(m_engine.get(), [this] { return m_statusItem != nullptr; });
    window->setTitle(QStringLiteral("Quillo"));
    window->setResizeMode(QQuickView::SizeViewToRootObject);
    window->setSource(menuContent);
    if (QQuickItem *root = window->rootObject())
        root->setProperty("notice", QStringLiteral("No tray here: on GNOME, add the AppIndicator extension."));
    window->show();
    m_fallbackWindow = std::move(window);
}

void AppDelegate::togglePopover()
{
    if (m_popover && m_statusItem)
        m_popover->toggle(m_statusItem->geometry());
}

void AppDelegate::openPopover()
{
    if (m_popover && m_statusItem) {
        if (!m_popover->isVisible())
            m_popover->open(m_statusItem->geometry());
        m_popover->requestActivate();
    } else if (m_fallbackWindow) {
        m_fallbackWindow->show();
        m_fallbackWindow->raise();
        m_fallbackWindow->requestActivate();
    }
}

void AppDelegate::observeForIconUpdates()
{
    // Hollow at launch whatever plays; every change of playback after that
    // decides.
    connect(m_store.get(), &PlayerStore::playbackChanged, this, [this] {
        if (m_statusItem)
            m_statusItem->showPlayback(m_store->playback());
    });
}

void AppDelegate::observeForFirstRun()
{
    connect(m_store.get(), &PlayerStore::groupsChanged, this, [this] {
        if (m_waitingForSpeakers)
            firstRunStep();
    });
    m_waitingForSpeakers = true;
    firstRunStep();
}

void AppDelegate::firstRunStep()
{
    if (m_store->hasSeenWelcome())
        return; // stays armed, with nothing to do
    if (!m_store->groups().isEmpty()) {
        m_waitingForSpeakers = false;
        showWelcome();
        return;
    }
    // Discovery starts at launch even if the panel is never opened; at
    // launch itself the program's first read is already on its way.
    if (!m_launching)
        m_store->refreshTopology();
}

void AppDelegate::showWelcome()
{
    QPointer<AppDelegate> self(this);
    m_welcome->show([self] {
        if (self)
            self->m_store->setHasSeenWelcome(true);
    });
}
