// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/app/SingleInstance.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace {

const QString applicationInterface = QStringLiteral("org.freedesktop.Application");
// A running instance that does not answer within this long is not waited for.
constexpr int activationTimeoutMs = 5000;

// org.freedesktop.Application, as desktop launchers call it.
class ApplicationAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationAdaptor(SingleInstance *instance)
        : QDBusAbstractAdaptor(instance)
        , m_instance(instance)
    { }

public Q_SLOTS:
    void Activate(const QVariantMap &platformData)
    {
        Q_UNUSED(platformData);
        Q_EMIT m_instance->activated();
    }
    void Open(const QStringList &uris, const QVariantMap &platformData)
    {
        // Quillo opens no files; opening is activating.
        Q_UNUSED(uris);
        Activate(platformData);
    }
    void ActivateAction(const QString &name, const QVariantList &parameters, const QVariantMap &platformData)
    {
        Q_UNUSED(name);
        Q_UNUSED(parameters);
        Activate(platformData);
    }

private:
    SingleInstance *m_instance;
};

} // namespace

SingleInstance::SingleInstance(QString applicationID, QObject *parent)
    : QObject(parent)
    , m_applicationID(std::move(applicationID))
{ }

SingleInstance::~SingleInstance()
{
    if (!m_registered)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(objectPath(m_applicationID));
    bus.unregisterService(m_applicationID);
}

QString SingleInstance::objectPath(const QString &applicationID)
{
    QString path = QLatin1Char('/') + applicationID;
    path.replace(QLatin1Char('.'), QLatin1Char('/'));
    path.replace(QLatin1Char('-'), QLatin1Char('_'));
    return path;
}

bool SingleInstance::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return true;
    // The object is there before the name, so a call that follows the name
    // at once finds it.
    new ApplicationAdaptor(this);
    bus.registerObject(objectPath(m_applicationID), this);
    const auto reply = bus.interface()->registerService(
        m_applicationID, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_registered = true;
        return true;
    }
    bus.unregisterObject(objectPath(m_applicationID));
    if (!reply.isValid())
        return true;
    QDBusMessage activate = QDBusMessage::createMethodCall(
        m_applicationID, objectPath(m_applicationID), applicationInterface, QStringLiteral("Activate"));
    activate << QVariantMap();
    bus.call(activate, QDBus::Block, activationTimeoutMs);
    return false;
}

#include "SingleInstance.moc"
