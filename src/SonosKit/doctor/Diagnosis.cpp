// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/doctor/Diagnosis.h"

#include "SonosKit/events/EventListener.h"

#include <QFileInfo>
#include <QSysInfo>

#include <algorithm>

namespace SonosKit {

namespace {

// Opening Quillo's ports to more than a /16 opens them to strangers: such a
// network is routed, or a VPN's.
constexpr int widestOpenedPrefix = 16;

// Quillo's ports as "1400-1409", or "1400:1409" for ufw.
QString portRange(QChar separator)
{
    return QStringLiteral("%1%2%3").arg(EventListener::firstPort).arg(separator).arg(EventListener::lastPort);
}

} // namespace

QString Diagnosis::textFor(Cause cause)
{
    switch (cause) {
    case Cause::none:
        return {};
    case Cause::noNetwork:
        return tr("This computer isn't connected to a network.");
    case Cause::firewall:
        return tr("Nothing on your network answered Quillo's search. A firewall on this computer is probably blocking the "
                  "answers.");
    case Cause::noSpeakerOnNetwork:
        return tr("Your network answers, but no Sonos speaker is on it. If your speakers are on another network (a guest "
                  "Wi-Fi, a separate VLAN or behind a VPN), enter a speaker's IP address.");
    case Cause::upnpOff:
        return tr("Your speakers have UPnP switched off, so no app on this computer may control them. In the Sonos app, "
                  "open Account → Privacy and Security and turn on UPnP.");
    }
    return {};
}

QString Diagnosis::vpnHint()
{
    return tr("A VPN is active; it may keep the search from reaching your speakers.");
}

QString Diagnosis::avahiHint()
{
    return tr("Avahi isn't running, so Quillo could only use its second way of searching. To enable it: sudo systemctl "
              "enable --now avahi-daemon");
}

QString Diagnosis::causeText() const
{
    const QString text = textFor(cause);
    return vpnActive && !text.isEmpty() ? text + u' ' + vpnHint() : text;
}

QStringList Diagnosis::localSubnets() const
{
    const auto named = std::find_if(interfaces.cbegin(), interfaces.cend(), [this](const NetworkFacts::Interface &each) {
        return speakerInterface.isEmpty() ? each.isUsable() : each.name == speakerInterface;
    });
    if (named == interfaces.cend() || named->subnet.isEmpty())
        return {};
    return {named->subnet};
}

Diagnosis::Fix Diagnosis::firewallFix(Firewall firewall, const QStringList &subnets, const QString &ufwProfilePath)
{
    const QString range = portRange(u'-');
    QStringList opened;
    QStringList tooWide;
    for (const QString &subnet : subnets)
        (subnet.section(u'/', 1).toInt() < widestOpenedPrefix ? tooWide : opened).append(subnet);
    if (opened.isEmpty() && !tooWide.isEmpty()) {
        return {Fix::Kind::setting,
            //: %1 is a network such as "10.0.0.0/8", %2 a port range such as "1400-1409".
            tr("%1 is too wide a network to open to. Allow UDP and TCP to ports %2 only from your speakers' addresses (Sonos "
               "app → Settings → System → About My System).")
                .arg(tooWide.join(QStringLiteral(", ")), range)};
    }
    // One rule per protocol and network: the events come over TCP, the
    // search's answers over UDP.
    QStringList commands;
    for (const QString &subnet : std::as_const(opened)) {
        switch (firewall) {
        case Firewall::ufw:
            if (QFileInfo::exists(ufwProfilePath)) {
                commands.append(QStringLiteral("sudo ufw allow from %1 to any app Quillo").arg(subnet));
            } else {
                for (const char *protocol : {"tcp", "udp"}) {
                    commands.append(QStringLiteral("sudo ufw allow from %1 to any port %2 proto %3")
                                        .arg(subnet, portRange(u':'), QLatin1String(protocol)));
                }
            }
            break;
        case Firewall::firewalld:
            for (const char *protocol : {"tcp", "udp"}) {
                commands.append(QStringLiteral("sudo firewall-cmd --permanent --add-rich-rule='rule family=\"ipv4\" source "
                                               "address=\"%1\" port port=\"%2\" protocol=\"%3\" accept'")
                                    .arg(subnet, range, QLatin1String(protocol)));
            }
            break;
        case Firewall::none:
            break;
        }
    }
    if (commands.isEmpty()) {
        return {Fix::Kind::setting,
            opened.isEmpty()
                //: %1 is a port range such as "1400-1409".
                ? tr("In your firewall (nftables or iptables), allow UDP and TCP to ports %1 from the local network.").arg(range)
                //: %1 is a port range such as "1400-1409", %2 a network such as "192.168.1.0/24".
                : tr("In your firewall (nftables or iptables), allow UDP and TCP to ports %1 from %2.")
                      .arg(range, opened.join(QStringLiteral(", ")))};
    }
    if (firewall == Firewall::firewalld)
        commands.append(QStringLiteral("sudo firewall-cmd --reload"));
    return {Fix::Kind::command, commands.join(QStringLiteral(" && "))};
}

Diagnosis::Fix Diagnosis::fixFor(Cause cause)
{
    switch (cause) {
    case Cause::none:
    case Cause::firewall: // depends on the firewall: see firewallFix()
        return {};
    case Cause::noNetwork:
        return {Fix::Kind::setting, tr("Connect this computer to the network your speakers are on.")};
    case Cause::noSpeakerOnNetwork:
        return {Fix::Kind::setting, tr("Enter a speaker's IP address.")};
    case Cause::upnpOff:
        return {Fix::Kind::setting, tr("Sonos app → Account → Privacy and Security → UPnP: on")};
    }
    return {};
}

QString Diagnosis::causeName(Cause cause)
{
    switch (cause) {
    case Cause::none:
        return QStringLiteral("none");
    case Cause::noNetwork:
        return QStringLiteral("noNetwork");
    case Cause::firewall:
        return QStringLiteral("firewall");
    case Cause::noSpeakerOnNetwork:
        return QStringLiteral("noSpeakerOnNetwork");
    case Cause::upnpOff:
        return QStringLiteral("upnpOff");
    }
    return {};
}

QString Diagnosis::firewallName(Firewall firewall)
{
    switch (firewall) {
    case Firewall::none:
        return QStringLiteral("none found");
    case Firewall::ufw:
        return QStringLiteral("ufw");
    case Firewall::firewalld:
        return QStringLiteral("firewalld");
    }
    return {};
}

QString Diagnosis::outcomeName(DoctorCheck::Outcome outcome)
{
    switch (outcome) {
    case DoctorCheck::Outcome::passed:
        return QStringLiteral("passed");
    case DoctorCheck::Outcome::failed:
        return QStringLiteral("failed");
    case DoctorCheck::Outcome::skipped:
        return QStringLiteral("skipped");
    }
    return {};
}

QString Diagnosis::diagnosticsText(const QString &programVersion) const
{
    // English on purpose: whoever reads the bug report reads English.
    QStringList lines;
    lines << QStringLiteral("Quillo %1").arg(programVersion);
    lines << QStringLiteral("OS: %1 (kernel %2 %3)")
                 .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion());
    lines << QStringLiteral("Cause: %1").arg(causeName(cause));
    lines << QStringLiteral("VPN active: %1").arg(vpnActive ? u"yes" : u"no");
    lines << QStringLiteral("Avahi: %1").arg(avahiRunning ? u"yes" : u"no");
    lines << QStringLiteral("Firewall: %1").arg(firewallName(firewall));
    lines << QStringLiteral("Manual address: %1").arg(manualHost.value_or(QStringLiteral("none")));
    // The others by name only: their addresses say where the user works or
    // which VPN they use, and tell nothing about the speakers.
    QStringList others;
    QString toward = QStringLiteral("none found");
    for (const NetworkFacts::Interface &each : interfaces) {
        if (each.name != speakerInterface) {
            others.append(each.name);
            continue;
        }
        QStringList flags;
        flags << (each.up ? QStringLiteral("up") : QStringLiteral("down"));
        if (each.running)
            flags << QStringLiteral("running");
        if (each.multicast)
            flags << QStringLiteral("multicast");
        if (each.loopback)
            flags << QStringLiteral("loopback");
        toward = QStringLiteral("%1 %2 %3 [%4]")
                     .arg(each.name, each.address.isEmpty() ? QStringLiteral("no IPv4") : each.address,
                         each.subnet.isEmpty() ? QStringLiteral("-") : each.subnet, flags.join(u','));
    }
    lines << QStringLiteral("Interface toward the speakers: %1").arg(toward);
    lines << QStringLiteral("Other interfaces: %1").arg(others.isEmpty() ? QStringLiteral("none") : others.join(u", "));
    lines << QStringLiteral("Checks:");
    for (const DoctorCheck &check : checks) {
        lines << QStringLiteral("  %1: %2 in %3 ms%4")
                     .arg(check.name, outcomeName(check.outcome))
                     .arg(check.duration.count())
                     .arg(check.detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(check.detail));
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace SonosKit
