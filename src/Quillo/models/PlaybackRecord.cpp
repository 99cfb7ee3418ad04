// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/models/PlaybackRecord.h"

#include "SonosKit/PlayerInputs.h"

#include <QCoreApplication>

bool PlaybackRecord::hasProgress() const
{
    return m_state.positionSeconds && m_state.durationSeconds && *m_state.durationSeconds >= 1;
}

QString PlaybackRecord::progressText() const
{
    if (!hasProgress())
        return {};
    //: Read by screen readers for the progress bar, e.g. "1:23 of 4:05".
    return QCoreApplication::translate("PlaybackRecord", "%1 of %2")
        .arg(clock(*m_state.positionSeconds), clock(*m_state.durationSeconds));
}

QString PlaybackRecord::inputKind() const
{
    const std::optional<SonosKit::InputSource> input = SonosKit::InputSource::fromURI(m_state.sourceURI.value_or(QString()));
    if (!input)
        return {};
    return input->kind == SonosKit::InputSource::Kind::tv ? QStringLiteral("tv") : QStringLiteral("lineIn");
}

QString PlaybackRecord::clock(qint64 seconds)
{
    seconds = std::max<qint64>(seconds, 0);
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 % 60;
    const QString secondsText = QString::number(seconds % 60).rightJustified(2, u'0');
    if (hours > 0)
        return QStringLiteral("%1:%2:%3").arg(hours).arg(QString::number(minutes).rightJustified(2, u'0'), secondsText);
    return QStringLiteral("%1:%2").arg(minutes).arg(secondsText);
}
