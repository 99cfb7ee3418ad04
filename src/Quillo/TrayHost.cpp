#include "TrayHost.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

using namespace std::chrono_literals;

constexpr auto startingCheckInterval = 500ms;
constexpr auto laterCheckInterval = 2s;

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString watcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");

// The screen an X client draws on unless told otherwise: the number after the
// dot of DISPLAY (":0.1"), else the first.
int defaultScreenNumber()
{
    const QString display = qEnvironmentVariable("DISPLAY");
    const qsizetype colon = display.lastIndexOf(u':');
    const qsizetype dot = display.indexOf(u'.', colon + 1);
    if (colon < 0 || dot < 0)
        return 0;
    bool ok = false;
    const int screen = display.mid(dot + 1).toInt(&ok);
    return ok && screen >= 0 ? screen : 0;
}

} // namespace

namespace TrayHost {

bool statusNotifierHostRegistered()
{
    QDBusMessage get = QDBusMessage::createMethodCall(watcherService, watcherPath,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << watcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    // Without a watcher the bus answers at once; a hung one must not hang us.
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

bool xembedTrayPresent()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const QByteArray selection = "_NET_SYSTEM_TRAY_S" + QByteArray::number(defaultScreenNumber());
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(selection.size()), selection.constData()), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t name = atom->atom;
    std::free(atom);
    if (name == XCB_ATOM_NONE) // nobody ever named it: no tray has run on this display
        return false;
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, name), nullptr);
    if (!owner)
        return false;
    const bool owned = owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}

bool present()
{
    // The bus first: where a StatusNotifierItem host exists, Qt must meet
    // it when it makes the icon, even on X11 with an XEmbed tray beside it.
    return statusNotifierHostRegistered() || xembedTrayPresent();
}

} // namespace TrayHost

TrayHostWatch::TrayHostWatch(QObject *parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        m_watcher = std::make_unique<QDBusServiceWatcher>(watcherService, bus,
                                                          QDBusServiceWatcher::WatchForRegistration);
        connect(m_watcher.get(), &QDBusServiceWatcher::serviceRegistered, this, &TrayHostWatch::check);
        bus.connect(watcherService, watcherPath, watcherInterface, QStringLiteral("StatusNotifierHostRegistered"),
                    this, SLOT(check()));
    }
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        m_xembedPoll.setTimerType(Qt::CoarseTimer);
        m_xembedPoll.setInterval(startingCheckInterval);
        connect(&m_xembedPoll, &QTimer::timeout, this, &TrayHostWatch::check);
        m_xembedPoll.start();
        m_sinceStart.start();
    }
}

TrayHostWatch::~TrayHostWatch()
{
    QDBusConnection::sessionBus().disconnect(watcherService, watcherPath, watcherInterface,
                                             QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(check()));
}

void TrayHostWatch::check()
{
    if (m_reported)
        return;
    if (!TrayHost::present()) {
        // A panel starting at login shows up within seconds; after that a
        // tray comes only when the user adds one.
        if (m_sinceStart.isValid() && m_sinceStart.elapsed() > 10000)
            m_xembedPoll.setInterval(laterCheckInterval);
        return;
    }
    m_reported = true;
    m_xembedPoll.stop();
    Q_EMIT appeared();
}
