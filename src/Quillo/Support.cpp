#include "Support.h"

QUrl Support::pageURL()
{
    static const QUrl url(QStringLiteral("https://" QUILLO_SUPPORT_HOST "/quillo/"));
    return url;
}

QUrl Support::reportURL()
{
    return pageURL();
}

QString Support::version()
{
    return QStringLiteral(QUILLO_VERSION);
}
