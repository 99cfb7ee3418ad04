// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosKit/SonosError.h"

#include "SonosKit/Text.h"

namespace SonosKit {

SonosError::SonosError(Kind kind)
    : m_kind(kind)
{ }

SonosError SonosError::roomNotFound(QString name)
{
    SonosError e(Kind::roomNotFound);
    e.m_text = std::move(name);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::network(NetworkFailure underlying)
{
    SonosError e(Kind::network);
    e.m_code = underlying.code;
    e.m_underlying = std::move(underlying);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::httpStatus(int status, QString body)
{
    SonosError e(Kind::httpStatus);
    e.m_code = status;
    e.m_text = std::move(body);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::upnpFault(qint64 code, QString description, QString action)
{
    SonosError e(Kind::upnpFault);
    e.m_code = code;
    e.m_text = std::move(description);
    e.m_action = std::move(action);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::malformedResponse(QString detail)
{
    SonosError e(Kind::malformedResponse);
    e.m_text = std::move(detail);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::notPlayable(QString title)
{
    SonosError e(Kind::notPlayable);
    e.m_text = std::move(title);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::noPlayersFound()
{
    SonosError e(Kind::noPlayersFound);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::sleepTimerOutOfRange(qint64 seconds)
{
    SonosError e(Kind::sleepTimerOutOfRange);
    e.m_code = seconds;
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::playModeNotAllowed(QString action)
{
    SonosError e(Kind::playModeNotAllowed);
    e.m_code = playModeFault;
    e.m_action = std::move(action);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::queueChanged(QString action)
{
    SonosError e(Kind::queueChanged);
    e.m_action = std::move(action);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::playlistTitleMissing()
{
    SonosError e(Kind::playlistTitleMissing);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

SonosError SonosError::alarmTimeTaken(QString action)
{
    SonosError e(Kind::alarmTimeTaken);
    e.m_code = alarmTimeTakenFault;
    e.m_action = std::move(action);
    e.m_what = e.errorDescription().toUtf8();
    return e;
}

QString SonosError::hint(qint64 faultCode)
{
    switch (faultCode) {
    case 401:
        return tr("The player rejected the request — check the third-party control setting in the Sonos app.");
    case 402:
        return tr("Invalid arguments — likely hand-built DIDL-Lite metadata; pass back what Browse returned.");
    case 701:
        return tr("Transition not available. Either the command went to a non-coordinator, or the loaded URI is not "
                  "playable — a station whose streaming service is no longer authorized returns 701 on Play even though "
                  "SetAVTransportURI succeeded.");
    case 714:
        return tr("Illegal MIME type — the URI is not playable as given.");
    case 800:
        return tr("Command refused. On a favorite this usually means it points at a music service account that no longer "
                  "exists — compare the `sn=` in its URI with a favorite that works. Otherwise, check it went to the group "
                  "coordinator.");
    default:
        return {};
    }
}

QString SonosError::errorDescription() const
{
    switch (m_kind) {
    case Kind::roomNotFound:
        //: %1 is the room name given on the command line.
        return tr("No room named \"%1\". Run `zonescout topology` to list rooms.").arg(m_text);
    case Kind::network:
        //: %1 says what failed, e.g. that the player did not answer in time.
        return tr("Network error talking to the player: %1").arg(m_underlying.description);
    case Kind::httpStatus:
        //: %1 is an HTTP status code, %2 the start of the player's answer.
        return tr("Player returned HTTP %1. Body: %2").arg(QString::number(m_code), Text::leadingCharacters(m_text, 400));
    case Kind::upnpFault:
        //: %1 is the request (e.g. "Play"), %2 the error number, %3 the player's words, %4 advice.
        return tr("%1 failed: UPnP error %2 %3. %4").arg(m_action, QString::number(m_code), m_text, hint(m_code));
    case Kind::malformedResponse:
        return tr("Could not parse the player's response: %1").arg(m_text);
    case Kind::notPlayable:
        //: %1 is the title of a favorite.
        return tr("\"%1\" is a browse shortcut, not a playable item — the player returns no URI for it. Open it in the Sonos "
                  "app instead.")
            .arg(m_text);
    case Kind::noPlayersFound:
        return tr("No Sonos players found on this network. Check that this computer is on the same Wi-Fi/LAN as the "
                  "speakers, and that a firewall isn't blocking the search.");
    case Kind::sleepTimerOutOfRange:
        //: %1 is the length asked for, in seconds.
        return tr("A sleep timer runs for at most 23 hours, 59 minutes and 59 seconds; %1 seconds cannot be set.").arg(m_code);
    case Kind::playModeNotAllowed:
        return tr("What plays now cannot be shuffled, repeated or crossfaded: radio, line-in and TV play as they come.");
    case Kind::queueChanged:
        return tr("The queue changed on the speaker; it has been read again.");
    case Kind::playlistTitleMissing:
        return tr("A playlist needs a title.");
    case Kind::alarmTimeTaken:
        return tr("Another alarm is already set for that time in that room.");
    }
    return {};
}

const char *SonosError::what() const noexcept
{
    return m_what.constData();
}

} // namespace SonosKit
