// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/tray/FallbackWindow.h"

#include "Quillo/app/QmlEngine.h"
#include "Quillo/tray/ContentSize.h"

#include <QCoreApplication>

FallbackWindow::FallbackWindow(QQmlEngine *engine, const QUrl &content, std::function<bool()> hasTrayIcon)
    : QQuickView(engine, nullptr)
    , m_hasTrayIcon(std::move(hasTrayIcon))
{
    setTitle(QStringLiteral("Quillo"));
    setResizeMode(QQuickView::SizeRootObjectToView);
    setInitialProperties({{QStringLiteral("notice"), tr("No tray here: on GNOME, add the AppIndicator extension.")}});
    loadView(*this, content);
    followContentSize(this, [this](QSize size) { resize(size); });
}

bool FallbackWindow::event(QEvent *event)
{
    if (event->type() == QEvent::Close && !m_hasTrayIcon())
        QCoreApplication::quit();
    return QQuickView::event(event);
}
