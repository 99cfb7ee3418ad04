// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/HouseholdListModel.h"

#include "SonosKit/SonosHousehold.h"
#include "SonosKit/ZoneGroup.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

class Preferences;

// The households found on the network and the one the panel shows. The
// user's choice is remembered; while the remembered household is not found,
// the one shown stays (at first the one with the most rooms), and the choice
// comes back when it reappears. Only a pick or a typed address is
// remembered; a second system set up later does not take the panel over, as
// the one shown stays.
class HouseholdChoice : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The household owns its choice.")
    Q_PROPERTY(HouseholdListModel *list READ listModel CONSTANT)
    // More than one household found: the panel offers the choice.
    Q_PROPERTY(bool hasSeveral READ hasSeveral NOTIFY hasSeveralChanged)
    Q_PROPERTY(int shownIndex READ shownIndex NOTIFY shownIndexChanged)

public:
    explicit HouseholdChoice(Preferences &preferences, QObject *parent = nullptr);

    // Every household there is, as a search found them (or none after the
    // search started over).
    void setFound(QList<SonosKit::SonosHousehold> households);
    // One household read again at one of its players; the others stay as
    // last found.
    void update(SonosKit::SonosHousehold household);
    // Every household a search in the background found; the shown one stays
    // as its own players last told it, found or not.
    void merge(QList<SonosKit::SonosHousehold> households);
    // The shown household's groups as its players told them since.
    void setShownGroups(const QList<SonosKit::ZoneGroup> &groups);
    // The user picks the household with this id, and it is remembered.
    Q_INVOKABLE void select(const QString &id);

    const QList<SonosKit::SonosHousehold> &households() const { return m_households; }
    // None before anything was found.
    const SonosKit::SonosHousehold *shown() const;
    QString shownID() const { return m_shownID; }
    // Another household stands in for the remembered one, not found.
    bool standsIn() const;

    HouseholdListModel *listModel() { return &m_list; }
    bool hasSeveral() const { return m_households.size() > 1; }
    int shownIndex() const { return m_shownIndex; }

Q_SIGNALS:
    void hasSeveralChanged();
    void shownIndexChanged();
    // The user picked another household.
    void chosen();

private:
    QList<SonosKit::SonosHousehold>::const_iterator withID(const QString &id) const;
    void reselect();

    Preferences &m_preferences;
    QList<SonosKit::SonosHousehold> m_households;
    HouseholdListModel m_list;
    QString m_shownID;
    int m_shownIndex = -1;
};
