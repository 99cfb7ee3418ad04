// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

// Tells when this computer wakes from a suspend, through logind's
// PrepareForSleep on the system bus: the players dropped our subscriptions
// while it slept, and it may wake on another network. DBUS_SYSTEM_BUS_ADDRESS
// names another bus, as a test's own. Without a bus or logind it never
// tells, and says so once in the log.
class ResumeWatch : public QObject
{
    Q_OBJECT
public:
    explicit ResumeWatch(QObject *parent = nullptr);
    ~ResumeWatch() override;

    // Whether the signal is being listened for.
    bool isWatching() const { return m_watching; }

Q_SIGNALS:
    void resumed();

private Q_SLOTS:
    void prepareForSleep(bool starting);

private:
    QString m_connectionName;
    bool m_watching = false;
};
