// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

// One Quillo per session, through the desktop's own convention: the first
// instance owns the application id on the session bus and answers
// org.freedesktop.Application; a later start asks it to Activate (show its
// panel) and ends. Independent of the media-player name, so a second start
// reaches the first even when that one could not become a media player.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QString applicationID, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance (or there is no session
    // bus to agree on one); false when another instance holds the id and
    // has been asked to activate.
    bool claim();

    // org.freedesktop.Application's object path for an id:
    // "io.github.quillo.Quillo" → "/io/github/quillo/Quillo".
    static QString objectPath(const QString &applicationID);

Q_SIGNALS:
    // Another start, or the desktop (a launcher, a notification), asks for
    // the program.
    void activated();

private:
    QString m_applicationID;
    bool m_registered = false;
};
