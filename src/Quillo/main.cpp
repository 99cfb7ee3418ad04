#include "AppDelegate.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillo"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLO_VERSION));
    // A tray program: closing its last window (the welcome) must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    AppDelegate delegate(nullptr);
    delegate.launch();
    return app.exec() == 0 ? 0 : 1;
}
