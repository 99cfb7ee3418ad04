// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/doctor/NetworkFacts.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace SonosKit {

// One check the connection doctor ran: what it found and how long it took.
struct DoctorCheck {
    enum class Outcome { passed, failed, skipped };

    QString name; // stable, English: "network", "avahi", "search", …
    Outcome outcome = Outcome::skipped;
    QString detail; // what was seen, in English, for a bug report
    std::chrono::milliseconds duration{0};
};

// What the connection doctor concluded: the most likely reason no speaker is
// found, what to do about it, and everything it saw on the way.
class Diagnosis
{
    // The texts a person reads come in the language the program installed a
    // translation for (none in a program that installs none, like zonescout).
    Q_DECLARE_TR_FUNCTIONS(SonosKit::Diagnosis)

public:
    enum class Cause {
        none, // speakers answered and may be controlled
        noNetwork,
        firewall,
        noSpeakerOnNetwork,
        upnpOff,
    };

    enum class Firewall { none, ufw, firewalld };

    // What to do: a command line to copy, or a setting to change.
    struct Fix {
        enum class Kind { none, command, setting };
        Kind kind = Kind::none;
        QString text;
    };

    Cause cause = Cause::none;
    Fix fix;
    // Not the cause, but worth knowing: Avahi missing; a VPN when nothing
    // else was found.
    QStringList hints;
    bool vpnActive = false;
    bool avahiRunning = false;
    Firewall firewall = Firewall::none;
    QList<DoctorCheck> checks;
    QList<NetworkFacts::Interface> interfaces;
    // Of those, the one that leads to the speakers (NetworkFacts::
    // speakerInterface()); empty when none was found.
    QString speakerInterface;
    std::optional<QString> manualHost;

    // The sentence for the cause, followed by the VPN warning when a VPN is
    // active; empty for Cause::none (the doctor then hints at the VPN).
    QString causeText() const;
    // The sentence for a cause alone; empty for Cause::none.
    static QString textFor(Cause cause);
    static QString vpnHint();
    static QString avahiHint();
    // The subnet the speakers' answers and events come in from: the one of
    // speakerInterface, or of the first usable interface when none is named.
    // One at most: every other network stays shut.
    QStringList localSubnets() const;
    // The fix for a firewall that drops the answers, for the firewall found:
    // it opens Quillo's ports to `subnets` alone, refusing any wider than a
    // /16 with words on what to open instead. ufw is told the ports rather
    // than the profile when no profile is installed at `ufwProfilePath`.
    static Fix firewallFix(Firewall firewall, const QStringList &subnets,
        const QString &ufwProfilePath = QString::fromLatin1(NetworkFacts::defaultUfwProfile));
    static Fix fixFor(Cause cause);

    // A plain English summary for a bug report: the program's version, the
    // OS, the interface toward the speakers with its address (the others by
    // name only), Avahi, the firewall, each check with its result and timing,
    // and the manual address. Nothing else about the user.
    QString diagnosticsText(const QString &programVersion) const;

    // Stable English names, for reports and JSON.
    static QString causeName(Cause cause);
    static QString firewallName(Firewall firewall);
    static QString outcomeName(DoctorCheck::Outcome outcome);
};

} // namespace SonosKit
