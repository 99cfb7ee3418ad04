// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/store/StoreTask.h"

#include "SonosKit/doctor/ConnectionDoctor.h"
#include "SonosKit/doctor/Diagnosis.h"

#include <QCoroTask>
#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

class StoreContext;

// The connection doctor's findings as a screen tells them: the most likely
// cause, what to do about it, hints, and the report to paste into a bug.
// One presenter serves both questions the store asks: why no speaker was
// found (the setup screen), and while the players' events are blocked,
// which firewall on this computer keeps them out (the footer's explanation,
// whose fix is that firewall's rule). Empty until examined.
class ConnectionCheck : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store examines the connection.")
    Q_PROPERTY(bool isExamining READ isExamining NOTIFY isExaminingChanged)
    Q_PROPERTY(bool hasDiagnosis READ hasDiagnosis NOTIFY diagnosisChanged)
    Q_PROPERTY(bool hasCause READ hasCause NOTIFY diagnosisChanged)
    // A stable name for the cause ("firewall", "upnpOff", …); empty for none.
    Q_PROPERTY(QString causeName READ causeName NOTIFY diagnosisChanged)
    Q_PROPERTY(QString causeText READ causeText NOTIFY diagnosisChanged)
    // The cause also explains why a typed address refused: speakers that
    // refuse every app.
    Q_PROPERTY(bool explainsAddress READ explainsAddress NOTIFY diagnosisChanged)
    Q_PROPERTY(QString fixText READ fixText NOTIFY diagnosisChanged)
    // The fix is a command line to copy rather than a setting to change.
    Q_PROPERTY(bool fixIsCommand READ fixIsCommand NOTIFY diagnosisChanged)
    Q_PROPERTY(QStringList hints READ hints NOTIFY diagnosisChanged)
    // A VPN may keep the players' answers and events away whatever else is
    // found.
    Q_PROPERTY(bool vpnActive READ vpnActive NOTIFY diagnosisChanged)
    Q_PROPERTY(bool hasDiagnostics READ hasDiagnosis NOTIFY diagnosisChanged)

public:
    enum class Question {
        // Why the search found nothing.
        search,
        // Why the players' events do not arrive: this computer's firewall.
        firewall,
    };

    ConnectionCheck(StoreContext &context, Question question, QObject *parent = nullptr);

    // Runs the doctor unless it runs already; its findings are shown only if
    // `stillWanted` holds when it is done. `listener` names where the
    // players' events are awaited ("address:port"), for the report.
    QCoro::Task<void> examine(
        SonosKit::ConnectionDoctor::Options options, std::function<bool()> stillWanted, QString listener = {});
    void setDiagnosis(std::optional<SonosKit::Diagnosis> diagnosis, QString listener = {});

    const std::optional<SonosKit::Diagnosis> &diagnosis() const { return m_diagnosis; }
    bool isExamining() const { return m_examining; }
    bool hasDiagnosis() const { return m_diagnosis.has_value(); }
    bool hasCause() const { return m_diagnosis && m_diagnosis->cause != SonosKit::Diagnosis::Cause::none; }
    QString causeName() const;
    QString causeText() const { return hasCause() ? m_diagnosis->causeText() : QString(); }
    bool explainsAddress() const { return m_diagnosis && m_diagnosis->cause == SonosKit::Diagnosis::Cause::upnpOff; }
    QString fixText() const { return m_fix.text; }
    bool fixIsCommand() const { return m_fix.kind == SonosKit::Diagnosis::Fix::Kind::command; }
    QStringList hints() const { return m_diagnosis ? m_diagnosis->hints : QStringList(); }
    bool vpnActive() const { return m_diagnosis && m_diagnosis->vpnActive; }
    // The plain-text report for a bug: versions, interfaces, each check, and
    // for the events, where they were awaited.
    Q_INVOKABLE QString diagnosticsText() const;

Q_SIGNALS:
    void isExaminingChanged();
    void diagnosisChanged();

private:
    StoreTask<void> examineTask(SonosKit::ConnectionDoctor::Options options, std::function<bool()> stillWanted, QString listener);

    StoreContext &m_context;
    Question m_question;
    std::optional<SonosKit::Diagnosis> m_diagnosis;
    SonosKit::Diagnosis::Fix m_fix;
    QString m_listener;
    bool m_examining = false;
};
