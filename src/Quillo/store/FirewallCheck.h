// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SonosKit/Diagnosis.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

// What lets the players' events in while they are blocked: the firewall
// found on this computer, the rule that opens the listener's ports to the
// local networks, and the report to paste into a bug. Empty until this
// computer has been examined.
class FirewallCheck : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store examines the firewall.")
    Q_PROPERTY(bool isExamining READ isExamining NOTIFY isExaminingChanged)
    Q_PROPERTY(bool hasDiagnosis READ hasDiagnosis NOTIFY diagnosisChanged)
    Q_PROPERTY(QString fixText READ fixText NOTIFY diagnosisChanged)
    // The fix is a command line to copy (ufw, firewalld) rather than words
    // for a firewall Quillo does not know.
    Q_PROPERTY(bool fixIsCommand READ fixIsCommand NOTIFY diagnosisChanged)

public:
    using QObject::QObject;

    // `listener` names where the players' events are awaited ("address:port"),
    // for the report; empty when nothing listens.
    void setDiagnosis(std::optional<SonosKit::Diagnosis> diagnosis, QString listener = {});
    void setExamining(bool examining);

    bool isExamining() const { return m_examining; }
    bool hasDiagnosis() const { return m_diagnosis.has_value(); }
    QString fixText() const { return m_fix.text; }
    bool fixIsCommand() const { return m_fix.kind == SonosKit::Diagnosis::Fix::Kind::command; }
    // The plain-text report for a bug: the doctor's, and where the events
    // were awaited.
    Q_INVOKABLE QString diagnosticsText() const;

Q_SIGNALS:
    void isExaminingChanged();
    void diagnosisChanged();

private:
    std::optional<SonosKit::Diagnosis> m_diagnosis;
    SonosKit::Diagnosis::Fix m_fix;
    QString m_listener;
    bool m_examining = false;
};
