// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <exception>

namespace SonosKit {

// The transport failure behind SonosError::network: a code from the layer that
// failed (a QNetworkReply::NetworkError, or an errno for sockets) and a sentence
// a person can read. `cancelled` marks a request ended by its caller's
// CancellationToken: Qt reports that with the same code as a timeout.
struct NetworkFailure {
    enum class Source { http, posix };
    Source source = Source::http;
    int code = 0;
    QString description;
    bool cancelled = false;

    friend bool operator==(const NetworkFailure &, const NetworkFailure &) = default;
};

// The one error of the library. Every failing operation throws one of these;
// errorDescription() is the text the application shows.
class SonosError : public std::exception
{
    // The texts a person reads come in the language the program installed a
    // translation for (none in a program that installs none, like zonescout).
    Q_DECLARE_TR_FUNCTIONS(SonosKit::SonosError)

public:
    enum class Kind {
        roomNotFound,
        network,
        httpStatus,
        upnpFault,
        malformedResponse,
        notPlayable,
        noPlayersFound,
        sleepTimerOutOfRange,
        playModeNotAllowed,
        queueChanged,
        playlistTitleMissing,
        alarmTimeTaken,
    };

    static SonosError roomNotFound(QString name);
    static SonosError network(NetworkFailure underlying);
    static SonosError httpStatus(int status, QString body);
    static SonosError upnpFault(qint64 code, QString description, QString action);
    static SonosError malformedResponse(QString detail);
    static SonosError notPlayable(QString title);
    static SonosError noPlayersFound();
    static SonosError sleepTimerOutOfRange(qint64 seconds);
    // UPnP error 712 to SetPlayMode or SetCrossfadeMode: what plays (radio,
    // line-in, TV) cannot be shuffled, repeated or crossfaded.
    static SonosError playModeNotAllowed(QString action);
    // A queue edit was refused because the queue changed since the version
    // it named (another controller edited it): read it again.
    static SonosError queueChanged(QString action);
    // Saving the queue as a Sonos Playlist needs a title.
    static SonosError playlistTitleMissing();
    // A player refused an alarm (UPnP error 801 to CreateAlarm or
    // UpdateAlarm) because its room already has one at that time.
    static SonosError alarmTimeTaken(QString action);

    Kind kind() const { return m_kind; }
    // The request was given up because its CancellationToken was cancelled,
    // not because anything failed: callers that cancelled have nothing to report.
    bool isCancellation() const { return m_kind == Kind::network && m_underlying.cancelled; }
    // The player refused to play because the item's music service must be
    // signed in to again in the Sonos app (UPnP error 701 on Play).
    bool needsReauthorization() const { return m_kind == Kind::upnpFault && m_code == reauthorizationFault; }

    // Payload accessors; each is meaningful only for the cases named.
    const QString &roomName() const { return m_text; } // roomNotFound
    const NetworkFailure &underlying() const { return m_underlying; } // network
    int status() const { return int(m_code); } // httpStatus
    qint64 seconds() const { return m_code; } // sleepTimerOutOfRange
    const QString &body() const { return m_text; } // httpStatus
    qint64 code() const { return m_code; } // upnpFault
    const QString &faultDescription() const { return m_text; } // upnpFault
    const QString &action() const { return m_action; } // upnpFault, playModeNotAllowed, queueChanged, alarmTimeTaken
    const QString &detail() const { return m_text; } // malformedResponse
    const QString &title() const { return m_text; } // notPlayable

    QString errorDescription() const;
    const char *what() const noexcept override;

    // Advice for a UPnP error code; empty for codes without advice.
    static QString hint(qint64 faultCode);
    // The UPnP error a player answers for a play mode its source refuses.
    static constexpr qint64 playModeFault = 712;

    friend bool operator==(const SonosError &a, const SonosError &b)
    {
        return a.m_kind == b.m_kind && a.m_code == b.m_code && a.m_text == b.m_text && a.m_action == b.m_action
            && a.m_underlying == b.m_underlying;
    }

private:
    explicit SonosError(Kind kind);

    static constexpr qint64 reauthorizationFault = 701;
    static constexpr qint64 alarmTimeTakenFault = 801;

    Kind m_kind;
    qint64 m_code = 0;
    QString m_text;
    QString m_action;
    NetworkFailure m_underlying;
    QByteArray m_what;
};

} // namespace SonosKit
