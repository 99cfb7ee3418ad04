// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "JsonOutput.h"

#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>
#include <optional>

namespace zonescout::JsonOutput {

namespace {

QJsonValue optional(const std::optional<QString> &text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

// JSON numbers are doubles: integers beyond 2^53 lose digits, but every value
// a player reports for these fields is far below that.
QJsonValue optional(const std::optional<qint64> &number)
{
    return number ? QJsonValue(*number) : QJsonValue(QJsonValue::Null);
}

} // namespace

QJsonObject device(const SonosKit::SonosDevice &device)
{
    return {{"host", device.host}, {"uuid", device.uuid}, {"roomName", device.roomName},
        {"modelName", optional(device.modelName)},
        {"softwareGeneration", device.softwareGeneration ? QJsonValue(*device.softwareGeneration) : QJsonValue()}};
}

QJsonObject group(const SonosKit::ZoneGroup &group)
{
    QJsonArray members;
    for (const SonosKit::SonosDevice &member : group.members)
        members.append(device(member));
    return {{"id", group.id}, {"displayName", group.displayName()}, {"roomNames", QJsonArray::fromStringList(group.roomNames())},
        {"coordinator", device(group.coordinator)}, {"members", members}};
}

QJsonArray topology(const QList<SonosKit::ZoneGroup> &groups)
{
    QJsonArray array;
    for (const SonosKit::ZoneGroup &entry : groups)
        array.append(group(entry));
    return array;
}

QJsonArray services(const QHash<qint64, QString> &names)
{
    QList<qint64> ids = names.keys();
    std::sort(ids.begin(), ids.end());
    QJsonArray array;
    for (const qint64 id : ids)
        array.append(QJsonObject{{"id", id}, {"name", names.value(id)}});
    return array;
}

QJsonObject item(const SonosKit::ContentItem &item, const QHash<qint64, QString> &serviceNames)
{
    return {{"id", item.id}, {"title", item.title}, {"uri", item.uri}, {"metadata", item.metadata},
        {"albumArtURI", optional(item.albumArtURI)}, {"artist", optional(item.artist)}, {"isContainer", item.isContainer},
        {"serviceID", optional(item.serviceID)}, {"browseID", optional(item.browseID())},
        {"provider", item.providerName(serviceNames)}};
}

QJsonArray items(const QList<SonosKit::ContentItem> &items, const QHash<qint64, QString> &serviceNames)
{
    QJsonArray array;
    for (const SonosKit::ContentItem &entry : items)
        array.append(item(entry, serviceNames));
    return array;
}

QJsonObject state(const SonosKit::PlaybackState &state)
{
    return {{"transportState", SonosKit::rawValue(state.transportState)}, {"title", optional(state.title)},
        {"artist", optional(state.artist)}, {"album", optional(state.album)}, {"albumArtURI", optional(state.albumArtURI)},
        {"positionSeconds", optional(state.positionSeconds)}, {"durationSeconds", optional(state.durationSeconds)},
        {"sourceURI", optional(state.sourceURI)}, {"volume", state.volume}, {"isMuted", state.isMuted}};
}

QByteArray document(const QJsonArray &array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

QByteArray document(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace zonescout::JsonOutput
