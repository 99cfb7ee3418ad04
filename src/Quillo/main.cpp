// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/QuilloApplication.h"
#include "Quillo/app/SingleInstance.h"
#include "Quillo/app/Translations.h"
#include "Quillo/store/PlayerStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillo"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLO_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLO_APP_ID));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(QUILLO_APP_ID), QIcon(QStringLiteral(":/Quillo/icons/app/quillo.svg"))));
    // A tray program: closing its last window (the welcome) must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    installTranslations(app);

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Control Sonos speakers from the system tray."));
    options.addHelpOption();
    options.addVersionOption();
    options.process(app);

    // Once per session: a second start asks the first to show its panel.
    SingleInstance instance(QStringLiteral(QUILLO_APP_ID));
    if (!instance.claim())
        return 0;

    QuilloApplication quillo(nullptr);
    QObject::connect(&instance, &SingleInstance::activated, &quillo, &QuilloApplication::openPanel);
    quillo.launch();
    return app.exec() == 0 ? 0 : 1;
}
