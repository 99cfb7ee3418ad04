// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include "Quillo/models/GroupListModel.h"
#include "Quillo/store/StoreStatus.h"

#include "SonosKit/ZoneGroup.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The household's groups, the one the panel controls, and where finding
// them stands. The selected group is the one holding the remembered room,
// else the first group.
class Household : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The store owns the household.")
    Q_PROPERTY(GroupListModel *groups READ groupsModel CONSTANT)
    Q_PROPERTY(bool hasSelectedGroup READ hasSelectedGroup NOTIFY selectedGroupChanged)
    // Follows the list as well as the choice: a group appearing before the
    // selected one moves its row.
    Q_PROPERTY(int selectedGroupIndex READ selectedGroupIndex NOTIFY selectedGroupIndexChanged)
    Q_PROPERTY(StoreStatus::Kind statusKind READ statusKind NOTIFY statusChanged)
    // The failure to show; empty unless the status is a failure.
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusChanged)
    Q_PROPERTY(bool isSearching READ isSearching NOTIFY statusChanged)

public:
    using QObject::QObject;

    const QList<SonosKit::ZoneGroup> &groups() const { return m_groups.items(); }
    const std::optional<SonosKit::ZoneGroup> &selectedGroup() const { return m_selectedGroup; }
    const StoreStatus &status() const { return m_status; }

    void setGroups(QList<SonosKit::ZoneGroup> groups);
    void setSelectedRoomName(const std::optional<QString> &room);
    void setStatus(StoreStatus status);

    GroupListModel *groupsModel() { return &m_groups; }
    bool hasSelectedGroup() const { return m_selectedGroup.has_value(); }
    int selectedGroupIndex() const { return m_selectedGroupIndex; }
    StoreStatus::Kind statusKind() const { return m_status.kind; }
    QString statusMessage() const { return m_status.message; }
    bool isSearching() const { return m_status.kind == StoreStatus::Kind::Searching; }

Q_SIGNALS:
    void groupsChanged();
    void selectedGroupChanged();
    void selectedGroupIndexChanged();
    void statusChanged();

private:
    void updateSelection();

    GroupListModel m_groups;
    std::optional<QString> m_selectedRoomName;
    std::optional<SonosKit::ZoneGroup> m_selectedGroup;
    int m_selectedGroupIndex = -1;
    StoreStatus m_status;
};
