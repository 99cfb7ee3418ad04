// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/store/ConnectionCheck.h"

#include "Quillo/app/HelpLinks.h"
#include "Quillo/models/Notify.h"
#include "Quillo/store/StoreContext.h"

ConnectionCheck::ConnectionCheck(StoreContext &context, Question question, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_question(question)
{ }

QCoro::Task<void> ConnectionCheck::examine(
    SonosKit::ConnectionDoctor::Options options, std::function<bool()> stillWanted, QString listener)
{
    return examineTask(std::move(options), std::move(stillWanted), std::move(listener));
}

StoreTask<void> ConnectionCheck::examineTask(
    SonosKit::ConnectionDoctor::Options options, std::function<bool()> stillWanted, QString listener)
{
    const auto &doctor = m_context.settings().examineConnection;
    if (!doctor || m_examining)
        co_return;
    assignNotifying(this, m_examining, true, &ConnectionCheck::isExaminingChanged);
    const Attempt<SonosKit::Diagnosis> found = co_await m_context.attempt(doctor(std::move(options)));
    assignNotifying(this, m_examining, false, &ConnectionCheck::isExaminingChanged);
    if (!found) {
        m_context.report(found.failure());
        co_return;
    }
    // What was to be explained may have cleared up while the doctor looked.
    if (stillWanted())
        setDiagnosis(*found, std::move(listener));
}

void ConnectionCheck::setDiagnosis(std::optional<SonosKit::Diagnosis> diagnosis, QString listener)
{
    // A diagnosis has no equality of its own: the timings differ each run.
    // What the screen shows decides.
    const auto shown = [this] {
        return std::tuple(hasDiagnosis(), causeName(), causeText(), fixText(), fixIsCommand(), hints());
    };
    const auto before = shown();
    m_diagnosis = std::move(diagnosis);
    m_listener = std::move(listener);
    if (!m_diagnosis)
        m_fix = {};
    else if (m_question == Question::firewall)
        // The events come in over TCP from every network the players may be
        // on: the rule for the firewall found opens the listener's ports to each.
        m_fix = SonosKit::Diagnosis::firewallFix(m_diagnosis->firewall, m_diagnosis->localSubnets());
    else
        m_fix = hasCause() ? m_diagnosis->fix : SonosKit::Diagnosis::Fix();
    if (shown() != before)
        Q_EMIT diagnosisChanged();
}

QString ConnectionCheck::causeName() const
{
    return hasCause() ? SonosKit::Diagnosis::causeName(m_diagnosis->cause) : QString();
}

QString ConnectionCheck::diagnosticsText() const
{
    if (!m_diagnosis)
        return {};
    // English, as the rest of the report.
    QString text = m_diagnosis->diagnosticsText(HelpLinks::version());
    if (m_question == Question::firewall)
        text += QStringLiteral("Live updates: blocked, awaited at %1\n")
                    .arg(m_listener.isEmpty() ? QStringLiteral("no listener") : m_listener);
    return text;
}
