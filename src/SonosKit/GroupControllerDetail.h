// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

// Internal to GroupController: the requests its operations share. Every
// coroutine here takes what it needs by value, so that nothing it reads after
// its first suspension belongs to a caller that may be gone.

#include "SonosKit/CancellationToken.h"
#include "SonosKit/SOAPClient.h"
#include "SonosKit/SonosDevice.h"
#include "SonosKit/ZoneGroup.h"

#include <QCoroTask>

#include <exception>
#include <optional>

namespace SonosKit::GroupControllerDetail {

// A child's result or its failure, so that every child can be awaited without
// one failure unwinding past the others.
template<typename T>
struct Settled {
    std::optional<T> value;
    std::exception_ptr failure;
};

template<typename T>
QCoro::Task<Settled<T>> settle(QCoro::Task<T> task)
{
    Settled<T> settled;
    try {
        settled.value.emplace(co_await std::move(task));
    } catch (...) {
        settled.failure = std::current_exception();
    }
    co_return settled;
}

// Port 1400 and six seconds, as for every player the system talks to.
SOAPClient clientFor(const SonosDevice &device);

SOAPClient::Arguments instance();
SOAPClient::Arguments masterChannel();

// One request whose answer carries nothing the caller needs.
QCoro::Task<void> send(SOAPClient client, SOAPClient::Service service, QString action, SOAPClient::Arguments arguments,
    CancellationToken cancel = {});

QCoro::Task<int> deviceVolume(SonosDevice device, CancellationToken cancel);
// The players' own group volume, or the members' average where the
// coordinator has no group rendering service.
QCoro::Task<int> groupVolume(ZoneGroup group, CancellationToken cancel);
// The player lacks the action or the address asked for (rather than
// refusing the request).
bool isUnsupported(const std::exception_ptr &failure);
QCoro::Task<bool> coordinatorMuted(ZoneGroup group, CancellationToken cancel);

} // namespace SonosKit::GroupControllerDetail
