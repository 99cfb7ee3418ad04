// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/tray/AlarmsWindow.h"

#include "Quillo/app/QmlEngine.h"
#include "Quillo/store/Alarms.h"
#include "Quillo/tray/ContentSize.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>

AlarmsWindow::AlarmsWindow(QQmlEngine *engine, Alarms &alarms, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_alarms(alarms)
{ }

AlarmsWindow::~AlarmsWindow() = default;

void AlarmsWindow::show()
{
    m_alarms.windowOpened();
    if (!m_window) {
        auto window = std::make_unique<QQuickView>(m_engine, nullptr);
        window->setTitle(tr("Alarms"));
        window->setResizeMode(QQuickView::SizeRootObjectToView);
        loadView(*window, QUrl(QStringLiteral("qrc:/Quillo/qml/AlarmsView.qml")));
        // Its content's size to begin with and at least; larger at will.
        const QSize size = contentSize(*window);
        window->setMinimumSize(size);
        window->resize(size);
        if (QScreen *screen = QGuiApplication::primaryScreen())
            window->setPosition(screen->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
        if (QQuickItem *root = window->rootObject())
            connect(root, SIGNAL(closeRequested()), this, SLOT(hide()), Qt::QueuedConnection);
        m_window = std::move(window);
    }
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
}

void AlarmsWindow::hide()
{
    if (m_window)
        m_window->hide();
}
