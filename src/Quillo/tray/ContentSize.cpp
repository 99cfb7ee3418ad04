// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/tray/ContentSize.h"

#include <QQuickItem>
#include <QQuickView>
#include <QtMath>

QSize contentSize(const QQuickView &view)
{
    const QQuickItem *root = view.rootObject();
    if (!root)
        return {};
    return {qCeil(root->implicitWidth()), qCeil(root->implicitHeight())};
}

void followContentSize(QQuickView *view, std::function<void(QSize)> apply)
{
    QQuickItem *root = view->rootObject();
    if (!root)
        return;
    const auto follow = [view, apply = std::move(apply)] {
        const QSize size = contentSize(*view);
        if (!size.isEmpty())
            apply(size);
    };
    QObject::connect(root, &QQuickItem::implicitWidthChanged, view, follow);
    QObject::connect(root, &QQuickItem::implicitHeightChanged, view, follow);
    follow();
}

void holdSize(QWindow *window, QSize size)
{
    window->setMinimumSize(size);
    window->setMaximumSize(size);
    window->resize(size);
}
