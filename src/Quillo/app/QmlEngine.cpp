// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/QmlEngine.h"

#include "Quillo/app/Logging.h"

#include <QCoreApplication>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QQuickView>

std::unique_ptr<QQmlEngine> makeQmlEngine()
{
    // Once per process, before any QML imports the controls.
    static const bool styled = [] {
        QQuickStyle::setStyle(QStringLiteral("Fusion"));
        return true;
    }();
    Q_UNUSED(styled);
    auto engine = std::make_unique<QQmlEngine>();
    engine->addImportPath(QStringLiteral("qrc:/"));
    QObject::connect(
        engine.get(), &QQmlEngine::quit, QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    return engine;
}

bool loadView(QQuickView &view, const QUrl &source)
{
    view.setSource(source);
    if (view.status() != QQuickView::Error)
        return true;
    qCCritical(lcApp).noquote() << "Could not load" << source.toString() << "- the Qt Quick modules it imports may be missing "
                                << "(Debian packages qml6-module-*):";
    for (const QQmlError &error : view.errors())
        qCCritical(lcApp).noquote() << error.toString();
    return false;
}
