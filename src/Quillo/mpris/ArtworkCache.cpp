// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#include "Quillo/mpris/ArtworkCache.h"

#include "SonosKit/BoundedRead.h"

#include <QCoroTask>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

constexpr int httpOk = 200;

} // namespace

ArtworkCache::ArtworkCache(QDir directory, QObject *parent)
    : QObject(parent)
    , m_directory(std::move(directory))
{
    m_directory.mkpath(QStringLiteral("."));
}

QDir ArtworkCache::defaultDirectory()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/quillo/artwork"));
}

QString ArtworkCache::fileFor(const QUrl &remote) const
{
    const QByteArray key = QCryptographicHash::hash(remote.toEncoded(), QCryptographicHash::Sha256).toHex();
    return m_directory.filePath(QString::fromLatin1(key.left(32)));
}

QUrl ArtworkCache::localURL(const QUrl &remote)
{
    if (!remote.isValid() || (remote.scheme() != u"http" && remote.scheme() != u"https"))
        return QUrl();
    const QString path = fileFor(remote);
    if (QFileInfo::exists(path))
        return QUrl::fromLocalFile(path);
    if (!m_fetching.contains(remote) && !m_refused.contains(remote))
        fetch(remote);
    return QUrl();
}

void ArtworkCache::fetch(const QUrl &remote)
{
    m_fetching.insert(remote);
    // Refused when it is too large, too slow or sent elsewhere: nothing of it
    // is kept.
    QCoro::connect(
        SonosKit::BoundedRead::send(SonosKit::BoundedRead::request(remote), QByteArray("GET"), {},
            SonosKit::BoundedRead::Limits{.maximumBytes = maximumImageBytes, .deadline = fetchLimit, .statusOnly = false}),
        this, [this, remote](const SonosKit::BoundedRead::Result &answer) {
            m_fetching.remove(remote);
            const bool whole = answer.outcome == SonosKit::BoundedRead::Outcome::answered && answer.status == httpOk
                && answer.error == QNetworkReply::NoError;
            if (!whole || answer.body.isEmpty()) {
                refuse(remote);
                return;
            }
            QSaveFile file(fileFor(remote));
            if (!file.open(QIODevice::WriteOnly) || file.write(answer.body) != answer.body.size() || !file.commit())
                return;
            trim();
            Q_EMIT stored(remote);
        });
}

qint64 ArtworkCache::bytesOnDisk() const
{
    qint64 total = 0;
    for (const QFileInfo &info : m_directory.entryInfoList(QDir::Files))
        total += info.size();
    return total;
}

void ArtworkCache::trim()
{
    // Oldest first, until the folder fits.
    QFileInfoList files = m_directory.entryInfoList(QDir::Files, QDir::Time | QDir::Reversed);
    qint64 total = 0;
    for (const QFileInfo &info : files)
        total += info.size();
    for (const QFileInfo &info : files) {
        if (total <= maximumBytes)
            break;
        total -= info.size();
        QFile::remove(info.filePath());
    }
}

void ArtworkCache::refuse(const QUrl &remote)
{
    // A player that names a new failing address for every track must not
    // grow the list for as long as the program runs; forgetting the old
    // refusals only costs one more attempt each.
    if (m_refused.size() >= maximumRefused)
        m_refused.clear();
    m_refused.insert(remote);
}
