// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "TextOutput.h"

#include "Table.h"

#include <algorithm>

namespace zonescout::TextOutput {

QString topology(const QList<SonosKit::ZoneGroup> &groups)
{
    if (groups.isEmpty())
        return QStringLiteral("No groups.\n");
    Table table({QStringLiteral("GROUP"), QStringLiteral("ROOM"), QStringLiteral("HOST"), QStringLiteral("ROLE"),
        QStringLiteral("UUID"), QStringLiteral("SOFTWARE")});
    for (const SonosKit::ZoneGroup &group : groups) {
        bool first = true;
        for (const SonosKit::SonosDevice &member : group.members) {
            const bool leads = member == group.coordinator;
            table.addRow({first ? group.displayName() : QString(), member.roomName, member.host,
                leads ? QStringLiteral("coordinator") : QStringLiteral("member"), member.uuid,
                member.modelName.value_or(QStringLiteral("-"))
                    + (member.softwareGeneration ? QStringLiteral(" (S%1)").arg(*member.softwareGeneration) : QString())});
            first = false;
        }
    }
    return table.text();
}

QString services(const QHash<qint64, QString> &names)
{
    if (names.isEmpty())
        return QStringLiteral("No music services.\n");
    QList<qint64> ids = names.keys();
    std::sort(ids.begin(), ids.end());
    Table table({QStringLiteral("ID"), QStringLiteral("NAME")});
    for (const qint64 id : ids)
        table.addRow({QString::number(id), names.value(id)});
    return table.text();
}

QString items(const QList<SonosKit::ContentItem> &items, const QHash<qint64, QString> &serviceNames)
{
    if (items.isEmpty())
        return QStringLiteral("Nothing here.\n");
    Table table({QStringLiteral("#"), QStringLiteral("TITLE"), QStringLiteral("ARTIST"), QStringLiteral("PROVIDER"),
        QStringLiteral("KIND"), QStringLiteral("ID")});
    int number = 0;
    for (const SonosKit::ContentItem &item : items) {
        const QString kind = !item.isPlayable() ? QStringLiteral("shortcut (not playable)")
            : item.isContainer                  ? QStringLiteral("container")
                                                : QStringLiteral("item");
        table.addRow({QString::number(++number), item.title, item.artist.value_or(QString()), item.providerName(serviceNames),
            kind, item.id});
    }
    return table.text();
}

QString clock(qint64 seconds)
{
    const qint64 s = std::max<qint64>(seconds, 0);
    if (s >= 3600)
        return QString::asprintf("%lld:%02lld:%02lld", s / 3600, (s % 3600) / 60, s % 60);
    return QString::asprintf("%lld:%02lld", s / 60, s % 60);
}

QString state(const SonosKit::PlaybackState &state, const SonosKit::ZoneGroup &group)
{
    QString transport;
    switch (state.transportState) {
    case SonosKit::TransportState::playing:
        transport = QStringLiteral("playing");
        break;
    case SonosKit::TransportState::paused:
        transport = QStringLiteral("paused");
        break;
    case SonosKit::TransportState::stopped:
        transport = QStringLiteral("stopped");
        break;
    case SonosKit::TransportState::transitioning:
        transport = QStringLiteral("transitioning");
        break;
    case SonosKit::TransportState::noMediaPresent:
        transport = QStringLiteral("nothing loaded");
        break;
    }
    Table table({QStringLiteral("Group"), group.displayName()});
    table.addRow({QStringLiteral("State"), transport});
    const auto addOptional = [&](const QString &label, const std::optional<QString> &value) {
        if (value)
            table.addRow({label, *value});
    };
    addOptional(QStringLiteral("Title"), state.title);
    addOptional(QStringLiteral("Artist"), state.artist);
    addOptional(QStringLiteral("Album"), state.album);
    if (state.positionSeconds || state.durationSeconds) {
        const QString position = state.positionSeconds ? clock(*state.positionSeconds) : QStringLiteral("-");
        table.addRow({QStringLiteral("Position"),
            state.durationSeconds ? position + QStringLiteral(" / ") + clock(*state.durationSeconds) : position});
    }
    table.addRow(
        {QStringLiteral("Volume"), QString::number(state.volume) + (state.isMuted ? QStringLiteral(" (muted)") : QString())});
    addOptional(QStringLiteral("Cover art"), state.albumArtURI);
    return table.text();
}

} // namespace zonescout::TextOutput
