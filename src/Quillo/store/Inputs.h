// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/InputListModel.h"
#include "Quillo/store/StoreTask.h"

#include "SonosKit/PlayerInputs.h"
#include "SonosKit/ZoneGroup.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QtQml/qqmlregistration.h>

#include <optional>

class Household;
class StoreContext;

// The household's inputs the selected group can play, each one click away:
// every player's line-in, and the TV of a soundbar that leads the group.
// Which inputs a player has is read from its description once, the first
// time the player shows up, each player's on its own.
class Inputs : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the inputs.")
    Q_PROPERTY(InputListModel *list READ listModel CONSTANT)

public:
    Inputs(StoreContext &context, Household &household, QObject *parent = nullptr);

    // The entry at `index` plays on the selected group; a refusal shows in
    // the status line.
    Q_INVOKABLE void play(int index);

    const QList<InputRecord> &items() const { return m_list.items(); }
    // What a player has, once read.
    std::optional<SonosKit::PlayerInputs> inputsOf(const QString &uuid) const;

    // "TV (Living Room)", "Line-In (Office)".
    static QString nameFor(SonosKit::InputSource::Kind kind, const QString &room);
    // "TV", "Line-In": what plays while an input does.
    static QString titleFor(SonosKit::InputSource::Kind kind);

private:
    // Reads the description of every player not read yet.
    void readUnknownPlayers();
    StoreTask<void> readTask(SonosKit::SonosDevice player);
    void update();
    InputListModel *listModel() { return &m_list; }

    StoreContext &m_context;
    Household &m_household;
    InputListModel m_list;
    QHash<QString, SonosKit::PlayerInputs> m_known; // by player UUID
    QSet<QString> m_reading;
    // The address each player did not answer at, by UUID.
    QHash<QString, QString> m_failedAt;
};
