#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

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
// by the signals of the bus; an XEmbed tray only by asking the X server now
// and then (twice a second at first, every two seconds after ten), which
// costs one local round trip.
class TrayHostWatch : public QObject
{
    Q_OBJECT

public:
    explicit TrayHostWatch(QObject *parent = nullptr);
    ~TrayHostWatch() override;

Q_SIGNALS:
    void appeared();

private Q_SLOTS:
    void check();

private:
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    QTimer m_xembedPoll;
    QElapsedTimer m_sinceStart;
    bool m_reported = false;
};
