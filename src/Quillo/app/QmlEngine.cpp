// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/QmlEngine.h"

#include <QCoreApplication>
#include <QQmlEngine>
#include <QQuickStyle>

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
