// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <chrono>

// Cover art on disk for desktop media widgets that load remote images
// unreliably: each picture fetched once into a folder under the user's cache,
// which never holds more than `maximumBytes` in all; a picture larger than
// `maximumImageBytes`, slower than its deadline or redirected is refused, so a
// hostile player can neither fill the disk nor hold a fetch open.
class ArtworkCache : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 maximumImageBytes = 4 * 1024 * 1024;
    static constexpr qint64 maximumBytes = 32 * 1024 * 1024;
    // Addresses that failed are not asked again, up to this many.
    static constexpr qsizetype maximumRefused = 256;
    // A picture not whole this long after it was asked for is given up; the
    // next track asks again.
    static constexpr std::chrono::milliseconds fetchLimit{10000};

    explicit ArtworkCache(QDir directory, QObject *parent = nullptr);
    static QDir defaultDirectory();

    // The file for `remote` when it is on disk; otherwise empty, and the
    // picture is fetched (`stored` tells when it arrives).
    QUrl localURL(const QUrl &remote);
    qint64 bytesOnDisk() const;
    qsizetype refusedCount() const { return m_refused.size(); }

Q_SIGNALS:
    void stored(const QUrl &remote);

private:
    QString fileFor(const QUrl &remote) const;
    void fetch(const QUrl &remote);
    void trim();
    void refuse(const QUrl &remote);

    QDir m_directory;
    QSet<QUrl> m_fetching;
    QSet<QUrl> m_refused;
};
