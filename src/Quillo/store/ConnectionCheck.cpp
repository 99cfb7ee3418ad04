// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/ConnectionCheck.h"

#include "Quillo/app/HelpLinks.h"

void ConnectionCheck::setDiagnosis(std::optional<SonosKit::Diagnosis> diagnosis)
{
    // A diagnosis has no equality of its own: the timings differ each run.
    // What the screen shows decides.
    const auto shown = [this] {
        return std::tuple(causeName(), causeText(), fixText(), fixIsCommand(), hints(), hasDiagnostics());
    };
    const auto before = shown();
    m_diagnosis = std::move(diagnosis);
    if (shown() != before)
        Q_EMIT diagnosisChanged();
}

void ConnectionCheck::setExamining(bool examining)
{
    if (examining == m_examining)
        return;
    m_examining = examining;
    Q_EMIT isExaminingChanged();
}

QString ConnectionCheck::causeName() const
{
    return hasCause() ? SonosKit::Diagnosis::causeName(m_diagnosis->cause) : QString();
}

QString ConnectionCheck::diagnosticsText() const
{
    return m_diagnosis ? m_diagnosis->diagnosticsText(HelpLinks::version()) : QString();
}
