// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Diagnosis.h"

#include <QSysInfo>

namespace SonosKit {

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
    if (!vpnActive)
        return text;
    return text.isEmpty() ? vpnHint() : text + u' ' + vpnHint();
}

QStringList Diagnosis::localSubnets() const
{
    QStringList subnets;
    for (const NetworkFacts::Interface &each : interfaces) {
        if (each.isUsable() && !subnets.contains(each.subnet))
            subnets.append(each.subnet);
    }
    return subnets;
}

Diagnosis::Fix Diagnosis::firewallFix(Firewall firewall, const QStringList &subnets)
{
    switch (firewall) {
    case Firewall::ufw: {
        // One rule per network searched: the answers come from each.
        QStringList commands;
        for (const QString &subnet : subnets)
            commands.append(QStringLiteral("sudo ufw allow from %1 to any app Quillo").arg(subnet));
        if (commands.isEmpty())
            commands.append(QStringLiteral("sudo ufw allow to any app Quillo"));
        return {Fix::Kind::command, commands.join(QStringLiteral(" && "))};
    }
    case Firewall::firewalld:
        return {Fix::Kind::command,
            QStringLiteral("sudo firewall-cmd --permanent --add-service=quillo && sudo firewall-cmd --reload")};
    case Firewall::none:
        break;
    }
    return {Fix::Kind::setting,
        tr("In your firewall (nftables or iptables), allow UDP and TCP to ports 1400-1499 from the local network.")};
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
    lines << QStringLiteral("Interfaces:");
    for (const NetworkFacts::Interface &each : interfaces) {
        QStringList flags;
        flags << (each.up ? QStringLiteral("up") : QStringLiteral("down"));
        if (each.running)
            flags << QStringLiteral("running");
        if (each.multicast)
            flags << QStringLiteral("multicast");
        if (each.loopback)
            flags << QStringLiteral("loopback");
        lines << QStringLiteral("  %1: %2 %3 [%4]")
                     .arg(each.name, each.address.isEmpty() ? QStringLiteral("no IPv4") : each.address,
                         each.subnet.isEmpty() ? QStringLiteral("-") : each.subnet, flags.join(u','));
    }
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
