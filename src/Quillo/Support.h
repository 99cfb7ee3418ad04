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
    static QUrl reportURL();
    static QString version();
};
