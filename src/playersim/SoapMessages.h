// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "SimTypes.h"

#include <optional>

namespace playersim {

// Envelopes in the shape real players send them (see the captured answers):
// one line, `s:` prefix, encodingStyle on the envelope, `u:` for the action.
Answer soapResponse(const QString &serviceUrn, const QString &action, const Arguments &outArguments);
// An HTTP 500 fault as players send it: faultcode s:Client, faultstring
// "UPnPError" and only an errorCode unless a description is given.
Answer soapFault(int errorCode, const std::optional<QString> &description = std::nullopt);
// Text content escaped for an element (&, <, >).
QString escapeText(const QString &text);

// The action and its arguments from a request; nothing when the body is no
// SOAP envelope.
std::optional<SoapCall> parseSoapRequest(const QByteArray &soapActionHeader, const QByteArray &body);

} // namespace playersim
