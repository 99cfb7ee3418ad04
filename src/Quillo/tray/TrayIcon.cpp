// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/tray/TrayIcon.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>
#include <QSystemTrayIcon>

namespace {

const QString idleSymbol = QStringLiteral("hifispeaker.2");
const QString playingSymbol = QStringLiteral("hifispeaker.2.fill");
const QString toolTipTitle = QStringLiteral("Quillo");

} // namespace

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
    , m_menu(std::make_unique<QMenu>())
    , m_tray(std::make_unique<QSystemTrayIcon>())
{
    // The menu goes on before its actions: some hosts export the menu's
    // structure once, when it is set.
    m_tray->setContextMenu(m_menu.get());
    QAction *open = m_menu->addAction(tr("Open Quillo"));
    connect(open, &QAction::triggered, this, &TrayIcon::openRequested);
    connect(m_menu->addAction(tr("Alarms…")), &QAction::triggered, this, &TrayIcon::alarmsRequested);
    m_menu->addSeparator();
    connect(m_menu->addAction(tr("Play/Pause")), &QAction::triggered, this, &TrayIcon::playPauseRequested);
    connect(m_menu->addAction(tr("Next")), &QAction::triggered, this, &TrayIcon::nextRequested);
    connect(m_menu->addAction(tr("Previous")), &QAction::triggered, this, &TrayIcon::previousRequested);
    m_menu->addSeparator();
    QAction *quit = m_menu->addAction(tr("Quit"));
    connect(quit, &QAction::triggered, this, &TrayIcon::quitRequested);

    m_tray->setToolTip(toolTipTitle);
    connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // Some hosts send only a double click for a left click.
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT toggleRequested();
        // As desktop media players do.
        else if (reason == QSystemTrayIcon::MiddleClick)
            Q_EMIT playPauseRequested();
    });
    // Hollow at launch whatever plays: the first change of playback decides.
    setSymbol(idleSymbol);
}

TrayIcon::~TrayIcon() = default;

QString TrayIcon::symbolFor(const std::optional<SonosKit::PlaybackState> &playback)
{
    return playback && SonosKit::isPlaying(playback->transportState) ? playingSymbol : idleSymbol;
}

QIcon TrayIcon::trayIcon(const QString &symbol, const QColor &color)
{
    QFile file(QStringLiteral(":/Quillo/icons/%1.svg").arg(symbol));
    QByteArray svg;
    if (file.open(QIODevice::ReadOnly))
        svg = file.readAll();
    // The symbols are drawn in pure black only, so the panel's own text
    // colour replaces it: legible on light and dark panels alike.
    svg.replace("#000000", color.name(QColor::HexRgb).toLatin1());
    QSvgRenderer renderer(svg);
    QIcon drawn;
    for (const int size : {16, 22, 24, 32, 44, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        drawn.addPixmap(pixmap);
    }
    // Hosts that recolour symbolic icons (StatusNotifierItem) get the name.
    return QIcon::fromTheme(QStringLiteral("quillo-%1-symbolic").arg(symbol), drawn);
}

void TrayIcon::show()
{
    m_tray->show();
}

void TrayIcon::showPlayback(const std::optional<SonosKit::PlaybackState> &playback)
{
    setSymbol(symbolFor(playback));
}

void TrayIcon::showSleepTimer(const QString &timeLeft)
{
    //: %1 is the time left, such as "29 minutes left".
    m_sleepTimer = timeLeft.isEmpty() ? QString() : tr("Sleep timer: %1").arg(timeLeft);
    updateToolTip();
}

void TrayIcon::showNextAlarm(const QString &nextAlarm)
{
    // It names a room, which comes from the network, and a tray host may
    // show the tooltip as markup.
    m_nextAlarm = nextAlarm.toHtmlEscaped();
    updateToolTip();
}

void TrayIcon::updateToolTip()
{
    QStringList lines{toolTipTitle};
    for (const QString &line : {m_sleepTimer, m_nextAlarm}) {
        if (!line.isEmpty())
            lines.append(line);
    }
    m_tray->setToolTip(lines.join(u'\n'));
}

QString TrayIcon::toolTip() const
{
    return m_tray->toolTip();
}

QRect TrayIcon::geometry() const
{
    return m_tray->geometry();
}

void TrayIcon::setSymbol(const QString &symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    m_tray->setIcon(trayIcon(symbol, QApplication::palette().color(QPalette::WindowText)));
}
