// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installTranslations(QCoreApplication &application, const QLocale &locale)
{
    // Owned by the application: translators must outlive every text.
    auto *quillo = new QTranslator(&application);
    if (quillo->load(locale, QStringLiteral("quillo"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(quillo);
    else
        delete quillo;
    auto *qt = new QTranslator(&application);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}
