// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <memory>

class QDBusServiceWatcher;

// Whether the desktop has somewhere to show a tray icon. Qt settles on a tray
// protocol once per process, when the first icon is made or the first time it
// is asked whether a tray exists; so nothing here asks Qt, and the icon is
// made only once a tray is known to be there.
namespace TrayHost {

// A StatusNotifierItem host (KDE Plasma, GNOME's AppIndicator extension,
// waybar, …) is registered with the watcher on the session bus.
bool statusNotifierHostRegistered();
// An XEmbed tray manager owns the X screen's system tray selection.
bool xembedTrayPresent();
// Either of the two.
bool present();

} // namespace TrayHost

// Reports, once, that a tray host came up. A StatusNotifierItem host is seen
// by the signals of the bus, an XEmbed tray by the MANAGER message a tray
// sends to the root window when it takes the selection; nothing polls.
class TrayHostWatch
    : public QObject
    , public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit TrayHostWatch(QObject *parent = nullptr);
    ~TrayHostWatch() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    void appeared();

private Q_SLOTS:
    void check();

private:
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    quint32 m_managerAtom = 0;
    quint32 m_selectionAtom = 0;
    bool m_reported = false;
};
