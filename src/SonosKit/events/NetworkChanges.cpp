// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/events/NetworkChanges.h"

#include "SonosKit/doctor/NetworkFacts.h"

#include <QNetworkInformation>
#include <QSocketNotifier>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>

namespace SonosKit {

namespace {

// Addresses and routes of both families: an IPv6 change is cheap to hear
// and often comes with an IPv4 one.
constexpr quint32 watchedGroups = RTMGRP_IPV4_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_IFADDR | RTMGRP_IPV6_ROUTE;
// Notifications are a few hundred bytes each; the kernel packs several into
// one datagram at most up to a page or two.
constexpr std::size_t messageBufferBytes = 16 * 1024;

} // namespace

NetworkChanges::NetworkChanges(QObject *parent)
    : QObject(parent)
    , m_socket(std::make_unique<NetworkFacts::NetlinkSocket>(watchedGroups))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleTime);
    connect(&m_settle, &QTimer::timeout, this, &NetworkChanges::changed);

    if (m_socket->fd() >= 0) {
        m_notifier = new QSocketNotifier(m_socket->fd(), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &NetworkChanges::readKernel);
    }

    if (QNetworkInformation::loadDefaultBackend())
        connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this, &NetworkChanges::noteChange);
}

NetworkChanges::~NetworkChanges()
{
    // The notifier goes while its socket is still open.
    delete m_notifier;
}

void NetworkChanges::readKernel()
{
    std::array<char, messageBufferBytes> buffer;
    for (int read = 0; read < readsPerWakeUp; ++read) {
        sockaddr_nl sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t received = ::recvfrom(
            m_socket->fd(), buffer.data(), buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr *>(&sender), &senderLength);
        if (received > 0) {
            // Another process may write to this socket too: only the
            // kernel's word counts. What it said matters only as "something
            // changed".
            if (sender.nl_pid == 0)
                noteChange();
            continue;
        }
        if (received < 0 && errno == ENOBUFS) {
            // The kernel dropped notifications for want of room: something
            // changed, whatever it was.
            noteChange();
            continue;
        }
        return;
    }
}

void NetworkChanges::noteChange()
{
    // Not restarted by what follows: a steady stream of notifications still
    // gives a change every settleTime.
    if (!m_settle.isActive())
        m_settle.start();
}

} // namespace SonosKit
