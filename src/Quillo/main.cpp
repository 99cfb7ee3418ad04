// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/QuilloApplication.h"
#include "Quillo/app/SingleInstance.h"
#include "Quillo/app/Translations.h"
#include "Quillo/store/PlayerStore.h"

#include "SonosKit/BoundedRead.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <chrono>
#include <cstdio>

namespace {

// Requests still under way when the program ends get this long to end.
constexpr std::chrono::milliseconds endingLimit{500};

// Whether the windowing system can be reached. Qt picks X11, or Wayland in a
// Wayland session, and both name their display in the environment; without
// one, QApplication aborts the process. A platform asked for outright
// (QT_QPA_PLATFORM or -platform, such as offscreen) is left to Qt.
bool hasDisplay(int argc, char *argv[])
{
    for (const char *variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(variable))
            return true;
    }
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland"))
        return true;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("quillo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLO_VERSION));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Control Sonos speakers from the system tray."));
    const QCommandLineOption help = options.addHelpOption();
    const QCommandLineOption version = options.addVersionOption();

    // --help and --version answer without a display (over SSH, in a package's
    // smoke test): they are read before any QApplication exists. Qt's own
    // options (-platform, -style …) are unknown here, so a mistake is left
    // for the full reading below, once QApplication has taken those out,
    // unless there is no display to get that far.
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bool understood = options.parse(arguments);
    const bool display = hasDisplay(argc, argv);
    if (options.isSet(help) || options.isSet(version) || options.isSet(QStringLiteral("help-all")) || (!understood && !display)) {
        QCoreApplication core(argc, argv);
        installTranslations(core);
        if (options.isSet(version))
            options.showVersion();
        if (options.isSet(help))
            options.showHelp();
        options.process(core); // --help-all, or the mistake; both end the program
        return 1;
    }
    if (!display) {
        std::fputs("quillo: no display to show on: neither DISPLAY nor WAYLAND_DISPLAY is set\n", stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quillo"));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUILLO_APP_ID));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(QUILLO_APP_ID), QIcon(QStringLiteral(":/Quillo/icons/app/quillo.svg"))));
    // A tray program: closing its last window (the welcome) must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    installTranslations(app);
    options.process(app);

    // Once per session: a second start asks the first to show its panel.
    SingleInstance instance(QStringLiteral(QUILLO_APP_ID));
    if (!instance.claim())
        return 0;

    QuilloApplication quillo(nullptr);
    QObject::connect(&instance, &SingleInstance::activated, &quillo, &QuilloApplication::openPanel);
    quillo.launch();
    const int code = app.exec() == 0 ? 0 : 1;
    // The speakers were left tidy on the way out; whatever is still waiting
    // ends now, while everything it may touch is still there.
    SonosKit::BoundedRead::finish(endingLimit);
    return code;
}
