// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <SonosKit/ContentItem.h>
#include <SonosKit/PlaybackState.h>
#include <SonosKit/ZoneGroup.h>

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// What a person reads: aligned columns, display names, provider names.
namespace zonescout::TextOutput {

QString topology(const QList<SonosKit::ZoneGroup> &groups);
QString services(const QHash<qint64, QString> &names);
// Numbered from 1, the numbers `play-track` takes for the queue.
QString items(const QList<SonosKit::ContentItem> &items, const QHash<qint64, QString> &serviceNames);
QString state(const SonosKit::PlaybackState &state, const SonosKit::ZoneGroup &group);

// "1:02:05" or "3:07".
QString clock(qint64 seconds);

} // namespace zonescout::TextOutput
