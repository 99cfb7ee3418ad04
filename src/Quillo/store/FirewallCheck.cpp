// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/FirewallCheck.h"

#include "Quillo/app/HelpLinks.h"

void FirewallCheck::setDiagnosis(std::optional<SonosKit::Diagnosis> diagnosis, QString listener)
{
    // As for the connection check: what the screen shows decides.
    const auto shown = [this] { return std::tuple(hasDiagnosis(), fixText(), fixIsCommand()); };
    const auto before = shown();
    m_diagnosis = std::move(diagnosis);
    m_listener = std::move(listener);
    // The events come in over TCP from every network the players may be on:
    // the rule for the firewall found opens the listener's ports to each.
    m_fix = m_diagnosis ? SonosKit::Diagnosis::firewallFix(m_diagnosis->firewall, m_diagnosis->localSubnets())
                        : SonosKit::Diagnosis::Fix();
    if (shown() != before)
        Q_EMIT diagnosisChanged();
}

void FirewallCheck::setExamining(bool examining)
{
    if (examining == m_examining)
        return;
    m_examining = examining;
    Q_EMIT isExaminingChanged();
}

QString FirewallCheck::diagnosticsText() const
{
    if (!m_diagnosis)
        return {};
    // English, as the rest of the report.
    return m_diagnosis->diagnosticsText(HelpLinks::version())
        + QStringLiteral("Live updates: blocked, awaited at %1\n")
              .arg(m_listener.isEmpty() ? QStringLiteral("no listener") : m_listener);
}
