// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <SonosKit/ContentItem.h>
#include <SonosKit/PlaybackState.h>
#include <SonosKit/ZoneGroup.h>

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>

// The shapes scripts read with --json. Absent values are null, never left
// out, so that every document of a kind has the same keys.
namespace zonescout::JsonOutput {

QJsonObject device(const SonosKit::SonosDevice &device);
QJsonObject group(const SonosKit::ZoneGroup &group);
QJsonArray topology(const QList<SonosKit::ZoneGroup> &groups);
// Ascending by service number.
QJsonArray services(const QHash<qint64, QString> &names);
QJsonObject item(const SonosKit::ContentItem &item, const QHash<qint64, QString> &serviceNames);
QJsonArray items(const QList<SonosKit::ContentItem> &items, const QHash<qint64, QString> &serviceNames);
QJsonObject state(const SonosKit::PlaybackState &state);

// One UTF-8 document, ending in a line break.
QByteArray document(const QJsonArray &array);
QByteArray document(const QJsonObject &object);

} // namespace zonescout::JsonOutput
