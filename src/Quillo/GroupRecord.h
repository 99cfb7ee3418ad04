#pragma once

#include "SonosKit/ZoneGroup.h"

#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

// A zone group as QML reads it.
class GroupRecord
{
    Q_GADGET
    QML_VALUE_TYPE(groupRecord)
    QML_UNCREATABLE("Groups come from the store.")
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString displayName READ displayName CONSTANT)
    Q_PROPERTY(QStringList roomNames READ roomNames CONSTANT)
    Q_PROPERTY(QString coordinatorHost READ coordinatorHost CONSTANT)

public:
    GroupRecord() = default;
    explicit GroupRecord(SonosKit::ZoneGroup group) : m_group(std::move(group)) {}

    const SonosKit::ZoneGroup &group() const { return m_group; }
    QString id() const { return m_group.id; }
    QString displayName() const { return m_group.displayName(); }
    QStringList roomNames() const { return m_group.roomNames(); }
    QString coordinatorHost() const { return m_group.coordinator.host; }

    friend bool operator==(const GroupRecord &, const GroupRecord &) = default;

private:
    SonosKit::ZoneGroup m_group;
};
