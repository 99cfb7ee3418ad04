// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
// Saves what an X display shows, whole or one window, as a PNG: the desktop
// tests and the Run command use it to record the real program under Xvfb.
//   screengrab OUT.png [WINDOW-ID]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2 || arguments.size() > 3) {
        std::fprintf(stderr, "usage: screengrab OUT.png [WINDOW-ID]\n");
        return 2;
    }
    bool ok = true;
    const WId window = arguments.size() == 3 ? WId(arguments.at(2).toULongLong(&ok, 0)) : 0;
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!ok || !screen) {
        std::fprintf(stderr, "screengrab: no such window or no screen\n");
        return 1;
    }
    const QPixmap shot = screen->grabWindow(window);
    if (shot.isNull() || !shot.save(arguments.at(1), "PNG")) {
        std::fprintf(stderr, "screengrab: could not save %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    return 0;
}
