#include "AppDelegate.h"
#include "MprisService.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillo"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLO_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLO_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(QUILLO_APP_ID), QIcon(QStringLiteral(":/Quillo/icons/app/quillo.svg"))));
    // A tray program: closing its last window (the welcome) must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // Once per session: a second start asks the first to show its panel.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        const auto reply = bus.interface()->registerService(QStringLiteral(QUILLO_APP_ID),
                                                            QDBusConnectionInterface::DontQueueService,
                                                            QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceNotRegistered) {
            const QDBusMessage raise = QDBusMessage::createMethodCall(MprisService::busName, MprisService::objectPath,
                                                                      QStringLiteral("org.mpris.MediaPlayer2"),
                                                                      QStringLiteral("Raise"));
            bus.call(raise, QDBus::Block, 5000);
            return 0;
        }
    }

    AppDelegate delegate(nullptr);
    delegate.launch();
    return app.exec() == 0 ? 0 : 1;
}
