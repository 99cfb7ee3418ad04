// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/tray/TrayHost.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

// A bus that does not answer this quickly has no tray host worth waiting for.
constexpr int hostQueryTimeoutMs = 1000;

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

xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// The atom of `name`, or none when `onlyIfExists` and nobody ever named it.
xcb_atom_t atom(xcb_connection_t *connection, const QByteArray &name, bool onlyIfExists)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, onlyIfExists, uint16_t(name.size()), name.constData()), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t found = reply->atom;
    std::free(reply);
    return found;
}

QByteArray traySelection()
{
    return "_NET_SYSTEM_TRAY_S" + QByteArray::number(defaultScreenNumber());
}

} // namespace

namespace TrayHost {

bool statusNotifierHostRegistered()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << watcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    // Without a watcher the bus answers at once; a hung one must not hang us.
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, hostQueryTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toBool();
}

bool xembedTrayPresent()
{
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return false;
    const xcb_atom_t selection = atom(connection, traySelection(), true);
    if (selection == XCB_ATOM_NONE) // no tray has ever run on this display
        return false;
    xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selection), nullptr);
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
        m_watcher = std::make_unique<QDBusServiceWatcher>(watcherService, bus, QDBusServiceWatcher::WatchForRegistration);
        connect(m_watcher.get(), &QDBusServiceWatcher::serviceRegistered, this, &TrayHostWatch::check);
        bus.connect(
            watcherService, watcherPath, watcherInterface, QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(check()));
    }
    // Qt already listens to the root window's structure events, which is
    // where an XEmbed tray announces itself when it takes the selection.
    if (xcb_connection_t *connection = x11Connection()) {
        m_managerAtom = atom(connection, "MANAGER", false);
        m_selectionAtom = atom(connection, traySelection(), false);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    // A tray may have come between the caller's look and the watch.
    QMetaObject::invokeMethod(this, &TrayHostWatch::check, Qt::QueuedConnection);
}

TrayHostWatch::~TrayHostWatch()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
    QDBusConnection::sessionBus().disconnect(
        watcherService, watcherPath, watcherInterface, QStringLiteral("StatusNotifierHostRegistered"), this, SLOT(check()));
}

bool TrayHostWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_reported || m_managerAtom == XCB_ATOM_NONE || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto *client = reinterpret_cast<const xcb_client_message_event_t *>(event);
    if (client->type == m_managerAtom && client->format == 32 && client->data.data32[1] == m_selectionAtom)
        QMetaObject::invokeMethod(this, &TrayHostWatch::check, Qt::QueuedConnection);
    return false; // Qt's own tray support wants the message too
}

void TrayHostWatch::check()
{
    if (m_reported || !TrayHost::present())
        return;
    m_reported = true;
    Q_EMIT appeared();
}
