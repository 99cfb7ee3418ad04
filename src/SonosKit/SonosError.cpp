// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "SonosError.h"

#include "Text.h"

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

QString SonosError::hint(qint64 faultCode)
{
    switch (faultCode) {
    case 401:
        return QStringLiteral("The player rejected the request \u2014 check the third-party control setting in the Sonos app.");
    case 402:
        return QStringLiteral("Invalid arguments \u2014 likely hand-built DIDL-Lite metadata; pass back what Browse returned.");
    case 701:
        return QStringLiteral(
            "Transition not available. Either the command went to a non-coordinator, or the loaded URI is not playable "
            "\u2014 a station whose streaming service is no longer authorized returns 701 on Play even though "
            "SetAVTransportURI succeeded.");
    case 714:
        return QStringLiteral("Illegal MIME type \u2014 the URI is not playable as given.");
    case 800:
        return QStringLiteral("Command refused. On a favorite this usually means it points at a music service account that no "
                              "longer exists \u2014 compare the `sn=` in its URI with a favorite that works. Otherwise, check it "
                              "went to the group coordinator.");
    default:
        return {};
    }
}

QString SonosError::errorDescription() const
{
    switch (m_kind) {
    case Kind::roomNotFound:
        return QStringLiteral("No room named \"") + m_text + QStringLiteral("\". Run `zonescout topology` to list rooms.");
    case Kind::network:
        return QStringLiteral("Network error talking to the player: ") + m_underlying.description;
    case Kind::httpStatus:
        return QStringLiteral("Player returned HTTP ") + QString::number(m_code) + QStringLiteral(". Body: ")
            + Text::leadingCharacters(m_text, 400);
    case Kind::upnpFault:
        return m_action + QStringLiteral(" failed: UPnP error ") + QString::number(m_code) + QLatin1Char(' ') + m_text
            + QStringLiteral(". ") + hint(m_code);
    case Kind::malformedResponse:
        return QStringLiteral("Could not parse the player's response: ") + m_text;
    case Kind::notPlayable:
        return QLatin1Char('"') + m_text
            + QStringLiteral("\" is a browse shortcut, not a playable item \u2014 the player returns no URI for it. "
                             "Open it in the Sonos app instead.");
    case Kind::noPlayersFound:
        return QStringLiteral("No Sonos players found on this network. Check that this computer is on the same Wi-Fi/LAN "
                              "as the speakers, and that a firewall isn't blocking the search.");
    }
    return {};
}

const char *SonosError::what() const noexcept
{
    return m_what.constData();
}

} // namespace SonosKit
