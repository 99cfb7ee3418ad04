// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

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

public:
    using QObject::QObject;

    bool isFlowing() const { return m_flowing; }
    bool eventsBlocked() const { return m_blocked; }

    void setFlowing(bool flowing);
    void setEventsBlocked(bool blocked);

Q_SIGNALS:
    void flowingChanged();
    void eventsBlockedChanged();

private:
    bool m_flowing = false;
    bool m_blocked = false;
};
