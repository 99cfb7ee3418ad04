#pragma once

#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// The help page, the problem-report link and the version they carry.
class Support : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QUrl pageURL READ pageURL CONSTANT)
    Q_PROPERTY(QUrl reportURL READ reportURL CONSTANT)
    Q_PROPERTY(QString version READ version CONSTANT)

public:
    using QObject::QObject;

    static QUrl pageURL();
    // Built on every use: the page with "version" and "os" and the fragment
    // "report".
    static QUrl reportURL();
    static QString version();
    // The operating system's version as major.minor.patch, zeros where the
    // system gives fewer parts.
    static QString operatingSystemVersion();
    static QString threePartVersion(const QString &text);
    // The help page's section on finding speakers.
    static QUrl discoveryHelpURL();

    // Links open in the desktop's default handler.
    Q_INVOKABLE static void openURL(const QUrl &url);
    // There is no local-network permission page on this desktop: the help
    // page's section on finding speakers stands in for it.
    Q_INVOKABLE static void openLocalNetworkSettings();
};
