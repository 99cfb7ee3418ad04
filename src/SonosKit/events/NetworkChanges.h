// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

class QSocketNotifier;

namespace SonosKit {

namespace NetworkFacts {
class NetlinkSocket;
} // namespace NetworkFacts

// Tells when this computer's addresses or routes may have moved: a new DHCP
// lease, Wi-Fi given up for Ethernet, a VPN coming up. Hears the kernel's
// address and route notifications and, where a backend loads, what
// QNetworkInformation says of reachability. A burst (an interface going down
// drops its addresses and routes one message each) is one change. Says
// nothing of what changed: the owner looks again at what it depends on.
// Main-thread only.
class NetworkChanges : public QObject
{
    Q_OBJECT
public:
    // The first notification of a burst is answered this long after it,
    // whatever follows: long enough to take in a whole burst, short enough
    // that the events' way is back well within seconds.
    static constexpr std::chrono::milliseconds settleTime{300};
    // Messages read at one wake-up: a flood of them never holds the event
    // loop; what is left wakes it again.
    static constexpr int readsPerWakeUp = 16;

    explicit NetworkChanges(QObject *parent = nullptr);
    ~NetworkChanges() override;

    // Whether the kernel's notifications are heard (a sandbox may refuse
    // them).
    bool hearsKernel() const { return m_notifier != nullptr; }

Q_SIGNALS:
    // Addresses, routes or reachability changed, once per burst.
    void changed();

private:
    void readKernel();
    void noteChange();

    std::unique_ptr<NetworkFacts::NetlinkSocket> m_socket;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_settle;
};

} // namespace SonosKit
