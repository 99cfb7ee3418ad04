// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/tray/WelcomeWindow.h"

#include "Quillo/app/QmlEngine.h"
#include "Quillo/tray/ContentSize.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>

WelcomeWindow::WelcomeWindow(QQmlEngine *engine, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
{ }

WelcomeWindow::~WelcomeWindow() = default;

void WelcomeWindow::show()
{
    if (m_window) {
        m_window->show();
        m_window->raise();
        m_window->requestActivate();
        return;
    }
    auto window = std::make_unique<QQuickView>(m_engine, nullptr);
    window->setTitle(tr("Getting the most out of Quillo"));
    // Titled and closable only: no minimising, no resizing.
    window->setFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    window->setResizeMode(QQuickView::SizeRootObjectToView);
    loadView(*window, QUrl(QStringLiteral("qrc:/Quillo/qml/WelcomeView.qml")));
    QQuickView *view = window.get();
    followContentSize(view, [view](QSize size) { holdSize(view, size); });
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const QSize size = view->size();
        window->setPosition(available.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    if (QQuickItem *root = window->rootObject())
        connect(root, SIGNAL(dismissed()), this, SLOT(dismiss()), Qt::QueuedConnection);
    m_window = std::move(window);
    m_window->show();
    m_window->requestActivate();
}

void WelcomeWindow::dismiss()
{
    // Reached through a queued connection, so the view is not destroyed
    // while its own content is still emitting.
    if (m_window) {
        m_window->close();
        m_window.reset();
    }
    Q_EMIT dismissed();
}
