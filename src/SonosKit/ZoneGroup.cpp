#include "ZoneGroup.h"

namespace SonosKit {

namespace {

// Case and accents are both dropped: decompose, throw away the combining
// marks, then fold case. QCollator cannot ignore accents for equality.
QString folded(const QString &name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_KD);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            stripped += c;
    }
    return stripped.toCaseFolded();
}

} // namespace

QString ZoneGroup::displayName() const
{
    if (members.size() <= 1)
        return coordinator.roomName;
    return coordinator.roomName + QStringLiteral(" + ") + QString::number(members.size() - 1);
}

QStringList ZoneGroup::roomNames() const
{
    QStringList names{coordinator.roomName};
    for (const SonosDevice &member : members) {
        if (member.uuid != coordinator.uuid)
            names += member.roomName;
    }
    return names;
}

size_t qHash(const ZoneGroup &group, size_t seed)
{
    seed = qHashMulti(seed, group.id, group.coordinator);
    return qHashRange(group.members.cbegin(), group.members.cend(), seed);
}

std::optional<ZoneGroup> groupForRoom(const QList<ZoneGroup> &groups, const QString &name)
{
    const QString wanted = folded(name);
    for (const ZoneGroup &group : groups) {
        const QStringList rooms = group.roomNames();
        for (const QString &room : rooms) {
            if (folded(room) == wanted)
                return group;
        }
    }
    return std::nullopt;
}

} // namespace SonosKit
