// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/tray/TrayPopup.h"

#include "Quillo/app/QmlEngine.h"
#include "Quillo/tray/ContentSize.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQuickItem>
#include <QScreen>

namespace {

// A tray click that closed the panel arrives this soon after the panel
// lost activation to it.
constexpr qint64 sameClickMs = 400;
// The gap between the icon and the panel.
constexpr int gap = 4;
// Where no screen is known (a headless start), the panel assumes this one.
const QRect fallbackScreen(0, 0, 1280, 800);

// A Wayland client cannot place its windows, nor keep a frameless tool
// window where it wants it: there the panel is an ordinary window that the
// compositor places (and that window rules can pin, by the application id).
bool placesItsOwnWindows()
{
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

} // namespace

TrayPopup::TrayPopup(QQmlEngine *engine, const QUrl &content)
    : QQuickView(engine, nullptr)
{
    if (placesItsOwnWindows()) {
        setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setColor(Qt::transparent);
    } else {
        // A title to drag it by and a close button; the panel has one size.
        setFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    }
    setTitle(QStringLiteral("Quillo"));
    setResizeMode(QQuickView::SizeRootObjectToView);
    loadView(*this, content);
    followContentSize(this, [this](QSize size) { fitToContent(size); });
    connect(this, &QWindow::activeChanged, this, [this] {
        if (!isActive() && isVisible())
            hideFromOutside();
    });
}

TrayPopup::~TrayPopup()
{
    if (QQuickItem *root = rootObject())
        disconnect(root, nullptr, this, nullptr);
}

TrayPopup::Placement TrayPopup::placement(QSize size, QRect icon, QPoint pointer, QRect available)
{
    const QRect anchor = icon.isEmpty() ? QRect(pointer, QSize(1, 1)) : icon;
    const bool above = anchor.center().y() > available.center().y();
    Placement placed;
    placed.anchoredEdge = above ? Edge::Bottom : Edge::Top;
    int x = anchor.center().x() - size.width() / 2;
    int y = above ? anchor.top() - gap - size.height() : anchor.bottom() + 1 + gap;
    x = std::clamp(x, available.left(), std::max(available.left(), available.right() + 1 - size.width()));
    y = std::clamp(y, available.top(), std::max(available.top(), available.bottom() + 1 - size.height()));
    placed.frame = QRect(QPoint(x, y), size);
    return placed;
}

void TrayPopup::toggle(QRect icon)
{
    if (isVisible()) {
        close();
        return;
    }
    if (m_sinceOutsideClose.isValid() && m_sinceOutsideClose.elapsed() < sameClickMs) {
        m_sinceOutsideClose.invalidate();
        return;
    }
    open(icon);
}

void TrayPopup::open(QRect icon)
{
    const QPoint pointer = QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(icon.isEmpty() ? pointer : icon.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    m_available = screen ? screen->availableGeometry() : fallbackScreen;
    const QSize size = contentSize(*this);
    m_placement = placement(size, icon, pointer, m_available);
    if (placesItsOwnWindows()) {
        if (screen)
            setScreen(screen);
        setGeometry(m_placement.frame);
    } else {
        holdSize(this, size);
    }
    show();
    raise();
    requestActivate();
    // Without a window manager nothing tells the panel of a click
    // elsewhere; holding the pointer lets it see that click itself.
    if (QGuiApplication::platformName() == QStringLiteral("xcb"))
        setMouseGrabEnabled(true);
    if (QQuickItem *root = rootObject()) {
        if (QQuickItem *first = root->nextItemInFocusChain(true))
            first->forceActiveFocus(Qt::TabFocusReason);
    }
}

void TrayPopup::close()
{
    if (QGuiApplication::platformName() == QStringLiteral("xcb"))
        setMouseGrabEnabled(false);
    hide();
}

void TrayPopup::hideFromOutside()
{
    m_sinceOutsideClose.start();
    close();
}

bool TrayPopup::event(QEvent *event)
{
    // A press the grab delivered from outside the window.
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (!QRect(QPoint(0, 0), size()).contains(press->position().toPoint())) {
            hideFromOutside();
            return true;
        }
    }
    return QQuickView::event(event);
}

void TrayPopup::keyPressEvent(QKeyEvent *event)
{
    QQuickView::keyPressEvent(event);
    // Escape closes the panel unless a control used it (an open list, say).
    if (event->key() == Qt::Key_Escape && !event->isAccepted())
        close();
}

void TrayPopup::fitToContent(QSize size)
{
    if (size == geometry().size())
        return;
    if (!placesItsOwnWindows()) {
        holdSize(this, size);
        return;
    }
    QRect frame = geometry();
    // The anchored edge stays where it is; the other one moves.
    if (m_placement.anchoredEdge == Edge::Bottom)
        frame.setTop(frame.bottom() + 1 - size.height());
    else
        frame.setHeight(size.height());
    frame.setLeft(frame.center().x() - size.width() / 2);
    frame.setWidth(size.width());
    if (!m_available.isEmpty()) {
        frame.moveLeft(
            std::clamp(frame.left(), m_available.left(), std::max(m_available.left(), m_available.right() + 1 - frame.width())));
        frame.moveTop(
            std::clamp(frame.top(), m_available.top(), std::max(m_available.top(), m_available.bottom() + 1 - frame.height())));
    }
    setGeometry(frame);
}
