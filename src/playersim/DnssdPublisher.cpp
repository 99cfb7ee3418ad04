// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "DnssdPublisher.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/address.h>
#include <avahi-common/error.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>

namespace playersim {

DnssdPublisher::DnssdPublisher(QList<DnssdPlayer> players)
    : m_players(std::move(players))
{ }

DnssdPublisher::~DnssdPublisher()
{
    stop();
}

QString DnssdPublisher::instanceName(const DnssdPlayer &player)
{
    return player.uuid + u'@' + player.roomName;
}

QString DnssdPublisher::hostName(const DnssdPlayer &player)
{
    if (player.unresolvableHostName)
        return *player.unresolvableHostName;
    // Labels with underscores are legal in mDNS but not in every resolver.
    return QStringLiteral("sonos-%1.local").arg(player.uuid.toLower().replace(u'_', u'-'));
}

bool DnssdPublisher::start(QString *error)
{
    m_poll = avahi_threaded_poll_new();
    if (!m_poll) {
        if (error)
            *error = QStringLiteral("no Avahi event loop");
        return false;
    }
    int code = 0;
    // The client reports "running" from inside avahi_client_new already, and
    // publishing starts from that callback.
    m_client = avahi_client_new(avahi_threaded_poll_get(m_poll), AvahiClientFlags(0),
        reinterpret_cast<AvahiClientCallback>(&DnssdPublisher::onClientState), this, &code);
    if (!m_client) {
        if (error)
            *error = QStringLiteral("no Avahi daemon: %1").arg(QString::fromUtf8(avahi_strerror(code)));
        avahi_threaded_poll_free(m_poll);
        m_poll = nullptr;
        return false;
    }
    if (avahi_threaded_poll_start(m_poll) < 0) {
        if (error)
            *error = QStringLiteral("the Avahi event loop did not start");
        stop();
        return false;
    }
    return true;
}

void DnssdPublisher::stop()
{
    if (m_poll)
        avahi_threaded_poll_stop(m_poll);
    if (m_client)
        avahi_client_free(m_client); // withdraws and frees the entry groups
    if (m_poll)
        avahi_threaded_poll_free(m_poll);
    m_client = nullptr;
    m_poll = nullptr;
    std::lock_guard guard(m_mutex);
    m_groups.clear();
}

bool DnssdPublisher::waitUntilEstablished(std::chrono::milliseconds limit, QString *error)
{
    std::unique_lock lock(m_mutex);
    const bool settled = m_changed.wait_for(
        lock, limit, [this] { return !m_failure.isEmpty() || m_established == m_players.size(); });
    if (settled && m_failure.isEmpty())
        return true;
    if (error)
        *error = m_failure.isEmpty() ? QStringLiteral("publishing did not finish in time") : m_failure;
    return false;
}

void DnssdPublisher::onClientState(AvahiClient *client, int state, void *context)
{
    auto *self = static_cast<DnssdPublisher *>(context);
    if (state == AVAHI_CLIENT_S_RUNNING)
        self->publish(client);
    else if (state == AVAHI_CLIENT_FAILURE)
        self->fail(QStringLiteral("the Avahi daemon went away"));
}

void DnssdPublisher::onGroupState(AvahiEntryGroup *, int state, void *context)
{
    auto *self = static_cast<DnssdPublisher *>(context);
    if (state == AVAHI_ENTRY_GROUP_ESTABLISHED) {
        std::lock_guard guard(self->m_mutex);
        ++self->m_established;
        self->m_changed.notify_all();
    } else if (state == AVAHI_ENTRY_GROUP_COLLISION) {
        self->fail(QStringLiteral("a name collided with another publisher"));
    } else if (state == AVAHI_ENTRY_GROUP_FAILURE) {
        self->fail(QStringLiteral("the daemon refused an entry group"));
    }
}

void DnssdPublisher::fail(QString reason)
{
    std::lock_guard guard(m_mutex);
    if (m_failure.isEmpty())
        m_failure = std::move(reason);
    m_changed.notify_all();
}

void DnssdPublisher::publish(AvahiClient *client)
{
    {
        std::lock_guard guard(m_mutex);
        if (!m_groups.isEmpty())
            return; // the daemon restarted its registration; ours stand
    }
    for (const DnssdPlayer &player : m_players) {
        AvahiEntryGroup *group = avahi_entry_group_new(
            client, reinterpret_cast<AvahiEntryGroupCallback>(&DnssdPublisher::onGroupState), this);
        if (!group) {
            fail(QStringLiteral("no entry group: %1").arg(QString::fromUtf8(avahi_strerror(avahi_client_errno(client)))));
            return;
        }
        {
            std::lock_guard guard(m_mutex);
            m_groups.append(group);
        }
        const QByteArray host = hostName(player).toUtf8();
        const QByteArray name = instanceName(player).toUtf8();
        const QByteArray address = player.address.toLatin1();

        int result = 0;
        if (!player.unresolvableHostName) {
            AvahiAddress parsed{};
            if (!avahi_address_parse(address.constData(), AVAHI_PROTO_INET, &parsed)) {
                fail(QStringLiteral("not an IPv4 address: ") + player.address);
                return;
            }
            // Several test players may share an address: no reverse record.
            result = avahi_entry_group_add_address(
                group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AVAHI_PUBLISH_NO_REVERSE, host.constData(), &parsed);
        }
        AvahiStringList *txt = nullptr;
        if (player.withLocation) {
            const QByteArray location = "location=http://" + address + ":1400/xml/device_description.xml";
            txt = avahi_string_list_add(txt, location.constData());
        }
        txt = avahi_string_list_add(txt, "vers=3");
        if (!player.household.isEmpty())
            txt = avahi_string_list_add(txt, ("hhid=" + player.household.toUtf8()).constData());
        if (result >= 0) {
            result = avahi_entry_group_add_service_strlst(group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                name.constData(), "_sonos._tcp", nullptr, host.constData(), 1400, txt);
        }
        avahi_string_list_free(txt);
        if (result >= 0)
            result = avahi_entry_group_commit(group);
        if (result < 0) {
            fail(QStringLiteral("publishing %1 failed: %2")
                     .arg(QString::fromUtf8(name), QString::fromUtf8(avahi_strerror(result))));
            return;
        }
    }
}

} // namespace playersim
