// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// Internal to GroupController: the requests its operations share. Every
// coroutine here takes what it needs by value, so that nothing it reads after
// its first suspension belongs to a caller that may be gone.

#include "CancellationToken.h"
#include "SOAPClient.h"
#include "SonosDevice.h"
#include "ZoneGroup.h"

#include <QCoroTask>

namespace SonosKit::GroupControllerDetail {

// Port 1400 and six seconds, as for every player the system talks to.
SOAPClient clientFor(const SonosDevice &device);

SOAPClient::Arguments instance();
SOAPClient::Arguments masterChannel();

// One request whose answer carries nothing the caller needs.
QCoro::Task<void> send(SOAPClient client, SOAPClient::Service service, QString action, SOAPClient::Arguments arguments,
    CancellationToken cancel = {});

QCoro::Task<int> deviceVolume(SonosDevice device, CancellationToken cancel);
QCoro::Task<int> groupVolume(ZoneGroup group, CancellationToken cancel);
QCoro::Task<bool> coordinatorMuted(ZoneGroup group, CancellationToken cancel);

} // namespace SonosKit::GroupControllerDetail
