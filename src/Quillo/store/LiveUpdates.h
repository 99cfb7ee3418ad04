// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/FirewallCheck.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// Whether the players' own events keep the panel current, or polls stand
// in for them.
class LiveUpdates : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns its live updates.")
    // Every subscription of the selected group hears its player: no
    // playback reads are needed while the panel is closed.
    Q_PROPERTY(bool flowing READ isFlowing NOTIFY flowingChanged)
    // The players accepted the subscriptions, yet their events never
    // arrived: something on the way (a firewall, a VPN) keeps them out, and
    // polls stand in until a retry gets through.
    Q_PROPERTY(bool eventsBlocked READ eventsBlocked NOTIFY eventsBlockedChanged)
    // While they are blocked: the firewall on this computer and its rule.
    Q_PROPERTY(FirewallCheck *firewallCheck READ firewallCheckObject CONSTANT)

public:
    using QObject::QObject;

    bool isFlowing() const { return m_flowing; }
    bool eventsBlocked() const { return m_blocked; }

    void setFlowing(bool flowing);
    void setEventsBlocked(bool blocked);

    FirewallCheck &firewallCheck() { return m_firewallCheck; }
    const FirewallCheck &firewallCheck() const { return m_firewallCheck; }

Q_SIGNALS:
    void flowingChanged();
    void eventsBlockedChanged();

private:
    FirewallCheck *firewallCheckObject() { return &m_firewallCheck; }

    FirewallCheck m_firewallCheck;
    bool m_flowing = false;
    bool m_blocked = false;
};
