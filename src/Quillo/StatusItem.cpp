#include "StatusItem.h"

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

} // namespace

StatusItem::StatusItem(QObject *parent)
    : QObject(parent)
    , m_menu(std::make_unique<QMenu>())
    , m_tray(std::make_unique<QSystemTrayIcon>())
{
    // The menu goes on before its actions: some hosts export the menu's
    // structure once, when it is set.
    m_tray->setContextMenu(m_menu.get());
    QAction *open = m_menu->addAction(QStringLiteral("Open Quillo"));
    connect(open, &QAction::triggered, this, &StatusItem::openRequested);
    m_menu->addSeparator();
    connect(m_menu->addAction(QStringLiteral("Play/Pause")), &QAction::triggered, this, &StatusItem::playPauseRequested);
    connect(m_menu->addAction(QStringLiteral("Next")), &QAction::triggered, this, &StatusItem::nextRequested);
    connect(m_menu->addAction(QStringLiteral("Previous")), &QAction::triggered, this, &StatusItem::previousRequested);
    m_menu->addSeparator();
    QAction *quit = m_menu->addAction(QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &StatusItem::quitRequested);

    m_tray->setToolTip(QStringLiteral("Quillo"));
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

StatusItem::~StatusItem() = default;

QString StatusItem::symbolFor(const std::optional<SonosKit::PlaybackState> &playback)
{
    return playback && SonosKit::isPlaying(playback->transportState) ? playingSymbol : idleSymbol;
}

QIcon StatusItem::trayIcon(const QString &symbol, const QColor &color)
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

void StatusItem::show()
{
    m_tray->show();
}

void StatusItem::showPlayback(const std::optional<SonosKit::PlaybackState> &playback)
{
    setSymbol(symbolFor(playback));
}

QRect StatusItem::geometry() const
{
    return m_tray->geometry();
}

void StatusItem::setSymbol(const QString &symbol)
{
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    m_tray->setIcon(trayIcon(symbol, QApplication::palette().color(QPalette::WindowText)));
}
