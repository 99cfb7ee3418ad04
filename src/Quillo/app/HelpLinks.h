// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// The help page, its sections, the problem-report link and the version they
// carry.
class HelpLinks : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QUrl pageURL READ pageURL CONSTANT)
    Q_PROPERTY(QUrl reportURL READ reportURL CONSTANT)
    Q_PROPERTY(QUrl discoveryHelpURL READ discoveryHelpURL CONSTANT)
    Q_PROPERTY(QUrl liveUpdatesHelpURL READ liveUpdatesHelpURL CONSTANT)
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
    // Its section on the speakers' events and the firewall rule they need.
    static QUrl liveUpdatesHelpURL();
    // Its troubleshooting section for a cause the connection check names
    // ("firewall", "upnpOff", …); the section on finding speakers for none.
    Q_INVOKABLE static QUrl troubleshootingURL(const QString &cause);

private:
    static QUrl sectionURL(const QString &section);
};
