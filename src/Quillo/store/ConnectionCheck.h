// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/Diagnosis.h"

#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <optional>

// Why no speaker was found, as the setup screen tells it: the most likely
// cause, what to do about it, hints, and the report to paste into a bug.
// Empty until a failed search has been examined.
class ConnectionCheck : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store examines the connection.")
    Q_PROPERTY(bool isExamining READ isExamining NOTIFY isExaminingChanged)
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
    Q_PROPERTY(bool hasDiagnostics READ hasDiagnostics NOTIFY diagnosisChanged)

public:
    using QObject::QObject;

    const std::optional<SonosKit::Diagnosis> &diagnosis() const { return m_diagnosis; }
    void setDiagnosis(std::optional<SonosKit::Diagnosis> diagnosis);
    void setExamining(bool examining);

    bool isExamining() const { return m_examining; }
    bool hasCause() const { return m_diagnosis && m_diagnosis->cause != SonosKit::Diagnosis::Cause::none; }
    QString causeName() const;
    QString causeText() const { return hasCause() ? m_diagnosis->causeText() : QString(); }
    bool explainsAddress() const { return m_diagnosis && m_diagnosis->cause == SonosKit::Diagnosis::Cause::upnpOff; }
    QString fixText() const { return hasCause() ? m_diagnosis->fix.text : QString(); }
    bool fixIsCommand() const { return hasCause() && m_diagnosis->fix.kind == SonosKit::Diagnosis::Fix::Kind::command; }
    QStringList hints() const { return m_diagnosis ? m_diagnosis->hints : QStringList(); }
    bool hasDiagnostics() const { return m_diagnosis.has_value(); }
    // The plain-text report for a bug: versions, interfaces, each check.
    Q_INVOKABLE QString diagnosticsText() const;

Q_SIGNALS:
    void isExaminingChanged();
    void diagnosisChanged();

private:
    std::optional<SonosKit::Diagnosis> m_diagnosis;
    bool m_examining = false;
};
