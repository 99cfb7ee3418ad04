// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/HelpLinks.h"

#include <QRegularExpression>
#include <QSysInfo>
#include <QUrlQuery>

QUrl HelpLinks::pageURL()
{
    static const QUrl url(QStringLiteral("https://" QUILLO_SUPPORT_HOST "/quillo/"));
    return url;
}

QUrl HelpLinks::reportURL()
{
    QUrl url = pageURL();
    if (!url.isValid())
        return pageURL();
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("version"), version());
    query.addQueryItem(QStringLiteral("os"), operatingSystemVersion());
    url.setQuery(query);
    url.setFragment(QStringLiteral("report"));
    return url.isValid() ? url : pageURL();
}

QString HelpLinks::version()
{
    const QString value = QStringLiteral(QUILLO_VERSION);
    return value.isEmpty() ? QStringLiteral("?") : value;
}

QString HelpLinks::threePartVersion(const QString &text)
{
    // Leading numbers only: "24.04" is 24.4.0, "6.1.0-18-amd64" is 6.1.0.
    static const QRegularExpression leading(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = leading.match(text.trimmed());
    qulonglong parts[3] = {0, 0, 0};
    if (match.hasMatch()) {
        for (int i = 0; i < 3; ++i) {
            bool ok = false;
            const qulonglong value = match.captured(i + 1).toULongLong(&ok);
            parts[i] = ok ? value : 0;
        }
    }
    return QStringLiteral("%1.%2.%3").arg(parts[0]).arg(parts[1]).arg(parts[2]);
}

QString HelpLinks::operatingSystemVersion()
{
    // The distribution's release where it names one (Debian 12, Ubuntu
    // 24.04), the kernel's otherwise (rolling releases have no number).
    const QString product = QSysInfo::productVersion();
    if (!product.isEmpty() && product.front().isDigit())
        return threePartVersion(product);
    return threePartVersion(QSysInfo::kernelVersion());
}

QUrl HelpLinks::sectionURL(const QString &section)
{
    QUrl url = pageURL();
    url.setFragment(section);
    return url;
}

QUrl HelpLinks::discoveryHelpURL()
{
    return sectionURL(QStringLiteral("discovery"));
}

QUrl HelpLinks::liveUpdatesHelpURL()
{
    return sectionURL(QStringLiteral("live-updates"));
}

QUrl HelpLinks::troubleshootingURL(const QString &cause)
{
    return cause.isEmpty() ? discoveryHelpURL() : sectionURL(QStringLiteral("discovery-") + cause);
}
