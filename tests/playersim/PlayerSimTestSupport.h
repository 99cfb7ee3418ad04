// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "TestAddresses.h"

#include "SonosKit/SOAPClient.h"
#include "SonosKit/SonosError.h"
#include "SonosKit/XMLText.h"
#include "playersim/Household.h"

#include <QString>

#include <optional>

namespace playersimtest {

using Service = SonosKit::SOAPClient::Service;

using testsupport::firstAddress;
using testsupport::startedHousehold;
using testsupport::waitUntil;

// One action on one player, waited for on the event loop.
SonosKit::XMLNode call(
    const QString &address, Service service, const QString &action, const SonosKit::SOAPClient::Arguments &arguments = {});
// The UPnP error code the action fails with; nothing when it succeeds or
// fails in another way.
std::optional<qint64> faultCode(
    const QString &address, Service service, const QString &action, const SonosKit::SOAPClient::Arguments &arguments = {});
// The text of the first element called `name` below `node`; empty when none.
QString text(const SonosKit::XMLNode &node, const QString &name);

// A household of one group of two players and a standalone one, with short
// tracks so tests can watch them end.
QByteArray smallHouseholdJson(int trackSeconds = 1, int tracks = 3);

} // namespace playersimtest
