// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QHashFunctions>
#include <QString>

#include <functional>
#include <optional>

namespace SonosKit {

// One player of the household, as the topology describes it.
struct SonosDevice {
    SonosDevice() = default;
    SonosDevice(QString host, QString uuid, QString roomName, std::optional<QString> modelName = std::nullopt,
        std::optional<int> softwareGeneration = std::nullopt)
        : host(std::move(host))
        , uuid(std::move(uuid))
        , roomName(std::move(roomName))
        , modelName(std::move(modelName))
        , softwareGeneration(softwareGeneration)
    { }

    QString host; // where SOAP calls go: the host of the member's Location
    QString uuid; // empty when the player did not say
    QString roomName; // empty when the player did not say
    std::optional<QString> modelName;
    // 1 for a player left on the previous generation (S1), 2 for a current
    // (S2) one; nothing when the player did not say.
    std::optional<int> softwareGeneration;

    // Identity in lists: the UUID, or the host for a player without one.
    QString id() const;

    friend bool operator==(const SonosDevice &, const SonosDevice &) = default;
};

size_t qHash(const SonosDevice &device, size_t seed = 0);

} // namespace SonosKit

template<>
struct std::hash<SonosKit::SonosDevice> {
    size_t operator()(const SonosKit::SonosDevice &device) const noexcept { return SonosKit::qHash(device); }
};
