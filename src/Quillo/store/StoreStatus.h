// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// Where discovery and the last operation stand. `Failed` carries the message
// shown to the user; two values are equal when their kinds are and, for
// `failed`, their messages too.
class StoreStatus
{
    Q_GADGET
    QML_VALUE_TYPE(storeStatus)
    QML_UNCREATABLE("Statuses come from the store.")
    Q_PROPERTY(Kind kind MEMBER kind CONSTANT)
    Q_PROPERTY(QString message MEMBER message CONSTANT)

public:
    // QML reads enumerators only when they start with a capital.
    enum class Kind { Failed, Idle, Searching, Ready, NoPlayersFound };
    Q_ENUM(Kind)

    Kind kind = Kind::Idle;
    QString message; // empty unless failed

    static StoreStatus failed(QString message) { return {Kind::Failed, std::move(message)}; }
    static StoreStatus idle() { return {Kind::Idle, {}}; }
    static StoreStatus searching() { return {Kind::Searching, {}}; }
    static StoreStatus ready() { return {Kind::Ready, {}}; }
    static StoreStatus noPlayersFound() { return {Kind::NoPlayersFound, {}}; }

    friend bool operator==(const StoreStatus &, const StoreStatus &) = default;
};
